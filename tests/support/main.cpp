// The main program of every Windows test executable.
#include <gtest/gtest.h>

#include "classlib/Win.h"

int main(int argc, char** argv) {
  // No error boxes that would wait for a click on a display nobody watches.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
