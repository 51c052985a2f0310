// Compiler-specific spellings used by the pixel kernels, kept in this one header.
//
// Kernels for a processor level above the build's baseline are compiled into the same program
// and chosen at start-up. GCC and Clang need a target attribute on each such function (and on
// every inline helper it uses); MSVC accepts any intrinsic anywhere and takes no attribute. The
// processor's features are read with CPUID and, for AVX, XGETBV (the system must save the wide
// registers).
#pragma once

#include <cstdint>

#if defined(__i386__) || defined(__x86_64__) || defined(_M_IX86) || defined(_M_X64)
#define QV_X86 1
#else
#define QV_X86 0
#endif

#if defined(__GNUC__) || defined(__clang__)
#define QV_TARGET_SSE2 __attribute__((target("sse2")))
#define QV_TARGET_SSE41 __attribute__((target("sse2,ssse3,sse4.1")))
#define QV_TARGET_AVX2 __attribute__((target("sse2,ssse3,sse4.1,avx,avx2,bmi,bmi2")))
#define QV_TARGET_AVX512 __attribute__((target("sse2,ssse3,sse4.1,avx,avx2,bmi,bmi2,avx512f,avx512bw,avx512vl")))
#define QV_ALWAYS_INLINE inline __attribute__((always_inline))
#define QV_NOINLINE __attribute__((noinline))
#elif defined(_MSC_VER)
#define QV_TARGET_SSE2
#define QV_TARGET_SSE41
#define QV_TARGET_AVX2
#define QV_TARGET_AVX512
#define QV_ALWAYS_INLINE __forceinline
#define QV_NOINLINE __declspec(noinline)
#else
#error "unknown compiler: add its spellings to acCompiler.h"
#endif

#if QV_X86
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace qv::cpu {

struct TFeatures {
  bool Sse2 = false;
  bool Ssse3 = false;
  bool Sse41 = false;
  bool Avx2 = false;    // with BMI1/BMI2 and the system saving the YMM registers
  bool Avx512 = false;  // AVX-512 F, BW and VL with AVX2, the system saving the mask and ZMM registers
};

inline TFeatures Detect() {
  TFeatures f;
#if QV_X86
  unsigned r1[4] = {}, r7[4] = {};
#if defined(_MSC_VER) && !defined(__clang__)
  int a[4];
  __cpuid(a, 0);
  const unsigned maxLeaf = unsigned(a[0]);
  __cpuidex(a, 1, 0);
  for (int i = 0; i < 4; ++i) r1[i] = unsigned(a[i]);
  if (maxLeaf >= 7) {
    __cpuidex(a, 7, 0);
    for (int i = 0; i < 4; ++i) r7[i] = unsigned(a[i]);
  }
#else
  const unsigned maxLeaf = __get_cpuid_max(0, nullptr);
  if (maxLeaf >= 1) __cpuid_count(1, 0, r1[0], r1[1], r1[2], r1[3]);
  if (maxLeaf >= 7) __cpuid_count(7, 0, r7[0], r7[1], r7[2], r7[3]);
#endif
  const unsigned ecx1 = r1[2], edx1 = r1[3], ebx7 = r7[1];
  f.Sse2 = (edx1 >> 26) & 1;
  f.Ssse3 = f.Sse2 && ((ecx1 >> 9) & 1);
  f.Sse41 = f.Ssse3 && ((ecx1 >> 19) & 1);
  const bool osxsave = (ecx1 >> 27) & 1, avx = (ecx1 >> 28) & 1;
  if (f.Sse41 && osxsave && avx) {
#if defined(_MSC_VER) && !defined(__clang__)
    const std::uint64_t xcr0 = _xgetbv(0);
#else
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    const std::uint64_t xcr0 = (std::uint64_t(hi) << 32) | lo;
#endif
    const bool ymmSaved = (xcr0 & 6) == 6;
    const bool avx2 = (ebx7 >> 5) & 1, bmi1 = (ebx7 >> 3) & 1, bmi2 = (ebx7 >> 8) & 1;
    f.Avx2 = ymmSaved && avx2 && bmi1 && bmi2;
    const bool zmmSaved = (xcr0 & 0xE6) == 0xE6;
    const bool avx512 = ((ebx7 >> 16) & 1) && ((ebx7 >> 30) & 1) && ((ebx7 >> 31) & 1);
    f.Avx512 = f.Avx2 && zmmSaved && avx512;
  }
#endif
  return f;
}

}  // namespace qv::cpu
