#include "fftadapter.h"

#include <cmath>
#include <cstring>
#include <new>

#include <fftw3.h>

#include "exception.h"
#include "messages.h"

namespace Tonvera {

std::mutex fftwPlanMutex;

struct FftAdapterPrivate {
  double* samples = nullptr;
  fftw_complex* spectrum = nullptr;
  fftw_plan plan = nullptr;
};

struct InverseFftAdapterPrivate {
  fftw_complex* spectrum = nullptr;
  double* samples = nullptr;
  fftw_plan plan = nullptr;
};

namespace {

void checkFrameSize(std::uint32_t frameSize) {
  // The planner's length is a signed int; a length of 0 has no transform.
  if (frameSize == 0 || frameSize > 0x7fffffffu) throw Exception("FFT frame size must be > 0");
}

template <typename T> T* allocate(std::uint32_t count) {
  void* memory = fftw_malloc(sizeof(T) * count);
  if (memory == nullptr) throw std::bad_alloc();
  return static_cast<T*>(memory);
}

void destroyPlan(fftw_plan plan) {
  if (plan == nullptr) return;
  std::lock_guard<std::mutex> lock(fftwPlanMutex);
  fftw_destroy_plan(plan);
}

} // namespace

FftAdapter::FftAdapter(std::uint32_t size) : frameSize(size), priv(std::make_unique<FftAdapterPrivate>()) {
  checkFrameSize(size);
  try {
    priv->samples = allocate<double>(size);
    priv->spectrum = allocate<fftw_complex>(size);
    std::memset(priv->spectrum, 0, sizeof(fftw_complex) * size);
    {
      std::lock_guard<std::mutex> lock(fftwPlanMutex);
      priv->plan = fftw_plan_dft_r2c_1d(static_cast<int>(size), priv->samples, priv->spectrum,
                                        FFTW_ESTIMATE);
    }
    if (priv->plan == nullptr) throw Exception("Cannot create FFT plan");
  } catch (...) {
    fftw_free(priv->samples);
    fftw_free(priv->spectrum);
    throw;
  }
}

FftAdapter::~FftAdapter() {
  destroyPlan(priv->plan);
  fftw_free(priv->samples);
  fftw_free(priv->spectrum);
}

void FftAdapter::setInput(std::uint32_t index, double value) {
  if (index >= frameSize) detail::throwBounds("Cannot set out-of-bounds sample (", index, frameSize);
  if (!detail::isFinite(value)) throw Exception("Cannot set sample to NaN");
  priv->samples[index] = value;
}

void FftAdapter::execute() { fftw_execute(priv->plan); }

double FftAdapter::getOutputReal(std::uint32_t index) const {
  if (index >= frameSize) detail::throwBounds("Cannot get out-of-bounds sample (", index, frameSize);
  return priv->spectrum[index][0];
}

double FftAdapter::getOutputImaginary(std::uint32_t index) const {
  if (index >= frameSize) detail::throwBounds("Cannot get out-of-bounds sample (", index, frameSize);
  return priv->spectrum[index][1];
}

double FftAdapter::getOutputMagnitude(std::uint32_t index) const {
  if (index >= frameSize) detail::throwBounds("Cannot get out-of-bounds sample (", index, frameSize);
  const double re = priv->spectrum[index][0];
  const double im = priv->spectrum[index][1];
  return std::sqrt(re * re + im * im);
}

double* FftAdapter::inputBuffer() { return priv->samples; }

const double* FftAdapter::spectrumBuffer() const { return &priv->spectrum[0][0]; }

InverseFftAdapter::InverseFftAdapter(std::uint32_t size)
    : frameSize(size), priv(std::make_unique<InverseFftAdapterPrivate>()) {
  checkFrameSize(size);
  try {
    priv->spectrum = allocate<fftw_complex>(size);
    priv->samples = allocate<double>(size);
    {
      std::lock_guard<std::mutex> lock(fftwPlanMutex);
      priv->plan = fftw_plan_dft_c2r_1d(static_cast<int>(size), priv->spectrum, priv->samples,
                                        FFTW_ESTIMATE);
    }
    if (priv->plan == nullptr) throw Exception("Cannot create FFT plan");
  } catch (...) {
    fftw_free(priv->spectrum);
    fftw_free(priv->samples);
    throw;
  }
}

InverseFftAdapter::~InverseFftAdapter() {
  destroyPlan(priv->plan);
  fftw_free(priv->spectrum);
  fftw_free(priv->samples);
}

void InverseFftAdapter::setInput(std::uint32_t index, double real, double imaginary) {
  if (index >= frameSize) detail::throwBounds("Cannot set out-of-bounds sample (", index, frameSize);
  if (!detail::isFinite(real) || !detail::isFinite(imaginary))
    throw Exception("Cannot set sample to NaN");
  priv->spectrum[index][0] = real;
  priv->spectrum[index][1] = imaginary;
}

void InverseFftAdapter::execute() { fftw_execute(priv->plan); }

double InverseFftAdapter::getOutput(std::uint32_t index) const {
  if (index >= frameSize) detail::throwBounds("Cannot get out-of-bounds sample (", index, frameSize);
  return priv->samples[index] / static_cast<double>(frameSize);
}

} // namespace Tonvera
