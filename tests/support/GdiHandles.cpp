#include "tests/support/GdiHandles.h"

#include "classlib/Win.h"

#include <cstdint>

namespace qvtest {

int GdiHandleCount(unsigned long type) {
  if (type == 0)
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return int(n);
  // Handle values whose upper half is 0 stand for the object at that index whatever its
  // generation, so one pass over the lower half finds every live object.
  int count = 0;
  for (std::uintptr_t v = 1; v < 0x10000; ++v)
    if (const DWORD t = GetObjectType(reinterpret_cast<HGDIOBJ>(v)); t != 0 && (type == 0 || t == type)) ++count;
  return count;
}

}  // namespace qvtest
