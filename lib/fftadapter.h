#ifndef TONVERA_FFTADAPTER_H
#define TONVERA_FFTADAPTER_H

#include <cstdint>
#include <memory>
#include <mutex>

namespace Tonvera {

// Serialises FFT plan creation and destruction across the process: the FFT
// library's planner must not be entered by two threads at once. Executing
// distinct plans needs no lock.
extern std::mutex fftwPlanMutex;

struct FftAdapterPrivate;
struct InverseFftAdapterPrivate;

// Forward real-to-complex transform of a fixed length N; unscaled:
// X[k] = sum x[n] e^(-2 pi i k n / N). The transform writes bins 0 to N/2;
// bins above N/2 always read 0. Every index below N is accepted.
// Set all N inputs before each execute(). One thread at a time per instance.
class FftAdapter {
public:
  explicit FftAdapter(std::uint32_t frameSize);
  ~FftAdapter();
  FftAdapter(const FftAdapter&) = delete;
  FftAdapter& operator=(const FftAdapter&) = delete;

  std::uint32_t getFrameSize() const { return frameSize; }
  void setInput(std::uint32_t index, double value);
  void execute();
  double getOutputReal(std::uint32_t index) const;
  double getOutputImaginary(std::uint32_t index) const;
  double getOutputMagnitude(std::uint32_t index) const;

  // Unchecked access for inner loops that have validated their range: the N
  // input samples, and the spectrum as N (real, imaginary) pairs.
  double* inputBuffer();
  const double* spectrumBuffer() const;

private:
  std::uint32_t frameSize;
  std::unique_ptr<FftAdapterPrivate> priv;
};

// Inverse complex-to-real transform of a fixed length N. It reads bins 0 to
// N/2 as a Hermitian spectrum; getOutput() divides by N, so forward followed
// by inverse is the identity up to rounding. execute() may overwrite the
// spectrum: set the input again before every execute().
class InverseFftAdapter {
public:
  explicit InverseFftAdapter(std::uint32_t frameSize);
  ~InverseFftAdapter();
  InverseFftAdapter(const InverseFftAdapter&) = delete;
  InverseFftAdapter& operator=(const InverseFftAdapter&) = delete;

  std::uint32_t getFrameSize() const { return frameSize; }
  void setInput(std::uint32_t index, double real, double imaginary);
  void execute();
  double getOutput(std::uint32_t index) const;

private:
  std::uint32_t frameSize;
  std::unique_ptr<InverseFftAdapterPrivate> priv;
};

} // namespace Tonvera

#endif
