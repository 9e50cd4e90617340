#include "filterkernel.h"

#include <cstring>

namespace Tonvera {
namespace detail {

namespace {

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define TONVERA_MULTI_TARGET 1
#endif

// W outputs per vector, four vectors at a time: enough independent sums to
// hide the latency of the additions. W is the machine's vector width in
// doubles, so every vector operation is one instruction.
template <int W> struct Vector {
  typedef double Type __attribute__((vector_size(W * sizeof(double))));
};

template <int W>
__attribute__((always_inline)) inline void body(const double* c, std::uint32_t tapCount,
                                                const double* const* taps, std::uint32_t count,
                                                double* out) {
  typedef typename Vector<W>::Type Lanes;
  constexpr std::uint32_t BLOCK = 4 * W;
  std::uint32_t m = 0;
  for (; m + BLOCK <= count; m += BLOCK) {
    Lanes a0 = {}, a1 = {}, a2 = {}, a3 = {};
    for (std::uint32_t k = 0; k < tapCount; ++k) {
      const double* x = taps[k] + m;
      Lanes ck, x0, x1, x2, x3;
      for (int i = 0; i < W; ++i) ck[i] = c[k];
      // memcpy: the inputs are not aligned to the vector width.
      std::memcpy(&x0, x, sizeof x0);
      std::memcpy(&x1, x + W, sizeof x1);
      std::memcpy(&x2, x + 2 * W, sizeof x2);
      std::memcpy(&x3, x + 3 * W, sizeof x3);
      a0 += ck * x0;
      a1 += ck * x1;
      a2 += ck * x2;
      a3 += ck * x3;
    }
    std::memcpy(out + m, &a0, sizeof a0);
    std::memcpy(out + m + W, &a1, sizeof a1);
    std::memcpy(out + m + 2 * W, &a2, sizeof a2);
    std::memcpy(out + m + 3 * W, &a3, sizeof a3);
  }
  for (; m < count; ++m) {
    double y = 0.0;
    for (std::uint32_t k = 0; k < tapCount; ++k) y += c[k] * taps[k][m];
    out[m] = y;
  }
}

void generic(const double* c, std::uint32_t tapCount, const double* const* taps,
             std::uint32_t count, double* out) {
  body<2>(c, tapCount, taps, count, out);
}

#ifdef TONVERA_MULTI_TARGET
__attribute__((target("avx2"))) void avx2(const double* c, std::uint32_t tapCount,
                                          const double* const* taps, std::uint32_t count,
                                          double* out) {
  body<4>(c, tapCount, taps, count, out);
}

__attribute__((target("avx512f"))) void avx512(const double* c, std::uint32_t tapCount,
                                               const double* const* taps, std::uint32_t count,
                                               double* out) {
  body<8>(c, tapCount, taps, count, out);
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
