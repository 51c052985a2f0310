// Fuzz target: every case built from the input runs a fast pixel kernel, at every processor level
// the machine offers, and its reference twin on identical images, and stops the run at the first
// difference.
#include <cstdio>
#include <cstdlib>

#include "tests/support/core/KernelCases.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string err = qvtest::RunDifferentialCaseAtEveryLevel([&] { return qvtest::TByteSource(data, size); });
  if (!err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    std::abort();
  }
  return 0;
}
