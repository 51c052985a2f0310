// The number of GDI objects the process holds, for tests that check that repeated work leaves none
// behind.
#pragma once

namespace qvtest {

// The process's GDI objects: GetGuiResources where it counts, else every handle value GetObjectType
// knows (GetGuiResources answers 0 under Wine). With a type (OBJ_DC ...), the objects of that type.
int GdiHandleCount(unsigned long type = 0);

}  // namespace qvtest
