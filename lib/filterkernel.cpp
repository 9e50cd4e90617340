#include "filterkernel.h"

#include <cstring>

namespace Tonvera {
namespace detail {

namespace {

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define TONVERA_MULTI_TARGET 1
#endif

// Eight outputs per vector, four vectors at a time: enough independent sums
// to hide the latency of the additions.
typedef double Lanes __attribute__((vector_size(64)));
constexpr std::uint32_t LANES = 8;
constexpr std::uint32_t BLOCK = 4 * LANES;

// Helpers take their vectors by reference: returning a vector type would tie
// the generic build to one calling convention.
__attribute__((always_inline)) inline void load(Lanes& v, const double* p) {
  std::memcpy(&v, p, sizeof v);
}

__attribute__((always_inline)) inline void store(double* p, const Lanes& v) {
  std::memcpy(p, &v, sizeof v);
}

__attribute__((always_inline)) inline void broadcast(Lanes& v, double x) {
  for (std::uint32_t i = 0; i < LANES; ++i) v[i] = x;
}

__attribute__((always_inline)) inline void body(const double* c, std::uint32_t tapCount,
                                                const double* const* taps, std::uint32_t count,
                                                double* out) {
  std::uint32_t m = 0;
  for (; m + BLOCK <= count; m += BLOCK) {
    Lanes a0 = {}, a1 = {}, a2 = {}, a3 = {};
    for (std::uint32_t k = 0; k < tapCount; ++k) {
      const double* x = taps[k] + m;
      Lanes ck, x0, x1, x2, x3;
      broadcast(ck, c[k]);
      load(x0, x);
      load(x1, x + LANES);
      load(x2, x + 2 * LANES);
      load(x3, x + 3 * LANES);
      a0 += ck * x0;
      a1 += ck * x1;
      a2 += ck * x2;
      a3 += ck * x3;
    }
    store(out + m, a0);
    store(out + m + LANES, a1);
    store(out + m + 2 * LANES, a2);
    store(out + m + 3 * LANES, a3);
  }
  for (; m + LANES <= count; m += LANES) {
    Lanes a = {};
    for (std::uint32_t k = 0; k < tapCount; ++k) {
      Lanes ck, x;
      broadcast(ck, c[k]);
      load(x, taps[k] + m);
      a += ck * x;
    }
    store(out + m, a);
  }
  for (; m < count; ++m) {
    double y = 0.0;
    for (std::uint32_t k = 0; k < tapCount; ++k) y += c[k] * taps[k][m];
    out[m] = y;
  }
}

void generic(const double* c, std::uint32_t tapCount, const double* const* taps,
             std::uint32_t count, double* out) {
  body(c, tapCount, taps, count, out);
}

#ifdef TONVERA_MULTI_TARGET
__attribute__((target("avx2"))) void avx2(const double* c, std::uint32_t tapCount,
                                          const double* const* taps, std::uint32_t count,
                                          double* out) {
  body(c, tapCount, taps, count, out);
}

__attribute__((target("avx512f"))) void avx512(const double* c, std::uint32_t tapCount,
                                               const double* const* taps, std::uint32_t count,
                                               double* out) {
  body(c, tapCount, taps, count, out);
}
#endif

} // namespace

bool kernelLevelSupported(KernelLevel level) {
  switch (level) {
  case KernelLevel::Generic:
    return true;
#ifdef TONVERA_MULTI_TARGET
  case KernelLevel::Avx2:
    return __builtin_cpu_supports("avx2");
  case KernelLevel::Avx512:
    return __builtin_cpu_supports("avx512f");
#endif
  default:
    return false;
  }
}

KernelLevel bestKernelLevel() {
  if (kernelLevelSupported(KernelLevel::Avx512)) return KernelLevel::Avx512;
  if (kernelLevelSupported(KernelLevel::Avx2)) return KernelLevel::Avx2;
  return KernelLevel::Generic;
}

void keptOutputs(KernelLevel level, const double* c, std::uint32_t tapCount,
                 const double* const* taps, std::uint32_t count, double* out) {
#ifdef TONVERA_MULTI_TARGET
  if (level == KernelLevel::Avx512) return avx512(c, tapCount, taps, count, out);
  if (level == KernelLevel::Avx2) return avx2(c, tapCount, taps, count, out);
#endif
  (void)level;
  generic(c, tapCount, taps, count, out);
}

} // namespace detail
} // namespace Tonvera
