// The number of GDI objects the process holds, for tests that check that repeated work leaves none
// behind.
#pragma once

namespace qvtest {

// The process's GDI objects: GetGuiResources where it counts, else every handle value GetObjectType
// knows (GetGuiResources answers 0 under Wine).
int GdiHandleCount();

}  // namespace qvtest
