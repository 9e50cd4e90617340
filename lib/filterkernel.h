#ifndef TONVERA_FILTERKERNEL_H
#define TONVERA_FILTERKERNEL_H

// Internal: the low-pass filter's inner loop, in builds for several x86-64
// instruction sets chosen at run time, so one binary runs on any x86-64 and
// uses the widest vectors the machine has.

#include <cstdint>

namespace Tonvera {
namespace detail {

enum class KernelLevel { Generic, Avx2, Avx512 };

bool kernelLevelSupported(KernelLevel level);
KernelLevel bestKernelLevel();

// out[m] = sum over k of c[k] * taps[k][m], for m < count, each sum formed
// from 0.0 in increasing k with the product rounded before it is added: the
// same bits as the one-output-at-a-time loop, whatever the level. taps[k]
// points at the inputs that tap k meets, one per output.
void keptOutputs(KernelLevel level, const double* c, std::uint32_t tapCount,
                 const double* const* taps, std::uint32_t count, double* out);

} // namespace detail
} // namespace Tonvera

#endif
