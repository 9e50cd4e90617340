// Differential fuzzing of AudioData: every operation is applied to the buffer
// and to a plain model of it, and after each step the samples, the format and
// the thrown message must agree.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "audiodata.h"
#include "exception.h"
#include "fuzzinput.h"

using Tonvera::AudioData;

namespace {

constexpr std::uint64_t MAX_SAMPLES = 4294967295u;
// Growth is only tried where it stays small or is refused outright.
constexpr std::uint64_t LARGEST_GROWTH = 9000;

struct Model {
  std::vector<double> s;
  std::uint32_t channels = 0, rate = 0;
  std::uint64_t read = 0, write = 0;
};

[[noreturn]] void fail(const std::string& m) { throw ModelFailure{m}; }

bool finite(double v) { return std::isfinite(v); }

// The model: what each operation is documented to do, written out plainly.
struct ModelOps {
  Model& m;
  void setChannels(std::uint32_t c) {
    if (c == 0) fail("New channel count must be > 0");
    m.channels = c;
  }
  void setFrameRate(std::uint32_t r) {
    if (r == 0) fail("New frame rate must be > 0");
    m.rate = r;
  }
  std::uint32_t frameCount() {
    if (m.channels == 0) fail("Channels must be > 0");
    return static_cast<std::uint32_t>(m.s.size() / m.channels);
  }
  void grow(std::uint64_t n) {
    if (m.s.size() + n > MAX_SAMPLES) fail("Audio data cannot hold more than 4294967295 samples");
    m.s.resize(m.s.size() + n, 0.0);
  }
  void addToFrameCount(std::uint32_t n) {
    if (m.channels == 0) fail("Channels must be > 0");
    grow(static_cast<std::uint64_t>(n) * m.channels);
  }
  double get(std::uint32_t i) {
    if (i >= m.s.size()) fail(boundsMessage("Cannot get out-of-bounds sample (", i, m.s.size()));
    return m.s[i];
  }
  void set(std::uint32_t i, double v) {
    if (i >= m.s.size()) fail(boundsMessage("Cannot set out-of-bounds sample (", i, m.s.size()));
    if (!finite(v)) fail("Cannot set sample to NaN");
    m.s[i] = v;
  }
  double getByFrame(std::uint32_t f, std::uint32_t c) {
    if (m.channels == 0) fail("Channels must be > 0");
    const std::uint32_t frames = static_cast<std::uint32_t>(m.s.size() / m.channels);
    if (f >= frames) fail(boundsMessage("Cannot get out-of-bounds frame (", f, frames));
    if (c >= m.channels) fail(boundsMessage("Cannot get out-of-bounds channel (", c, m.channels));
    return get(f * m.channels + c);
  }
  void setByFrame(std::uint32_t f, std::uint32_t c, double v) {
    if (m.channels == 0) fail("Channels must be > 0");
    const std::uint32_t frames = static_cast<std::uint32_t>(m.s.size() / m.channels);
    if (f >= frames) fail(boundsMessage("Cannot set out-of-bounds frame (", f, frames));
    if (c >= m.channels) fail(boundsMessage("Cannot set out-of-bounds channel (", c, m.channels));
    set(f * m.channels + c, v);
  }
  void join(const Model& that, bool front) {
    const bool adopt = m.channels == 0 && m.rate == 0;
    const std::uint32_t c = adopt ? that.channels : m.channels;
    const std::uint32_t r = adopt ? that.rate : m.rate;
    if (that.channels != c)
      fail(front ? "Cannot prepend audio data with a different number of channels"
                 : "Cannot append audio data with a different number of channels");
    if (that.rate != r)
      fail(front ? "Cannot prepend audio data with a different frame rate"
                 : "Cannot append audio data with a different frame rate");
    if (m.s.size() + that.s.size() > MAX_SAMPLES) fail("Audio data cannot hold more than 4294967295 samples");
    m.channels = c;
    m.rate = r;
    const std::vector<double> other = that.s;
    m.s.insert(front ? m.s.begin() : m.s.end(), other.begin(), other.end());
  }
  void reduceToMono() {
    if (m.channels < 2) return;
    const std::size_t k = m.channels, frames = m.s.size() / k;
    std::vector<double> out(frames);
    for (std::size_t i = 0; i < frames; ++i) {
      double sum = 0.0;
      for (std::size_t c = 0; c < k; ++c) sum += m.s[i * k + c];
      out[i] = sum / static_cast<double>(k);
    }
    m.s = out;
    m.channels = 1;
  }
  void downsample(std::uint32_t factor, bool shortcut) {
    if (factor == 0) fail("Downsampling factor must be > 0");
    if (factor == 1) return;
    if (m.channels >= 2) fail("Apply to monophonic only");
    if (m.rate / factor == 0) fail("New frame rate must be > 0");
    std::vector<double> out;
    for (std::size_t g = 0; g * factor < m.s.size(); ++g) {
      if (shortcut) {
        out.push_back(m.s[g * factor]);
      } else {
        double sum = 0.0;
        for (std::size_t j = g * factor; j < std::min(m.s.size(), (g + 1) * factor); ++j) sum += m.s[j];
        out.push_back(sum / static_cast<double>(factor));
      }
    }
    m.s = out;
    m.rate /= factor;
  }
  void discard(std::uint32_t n) {
    if (m.channels == 0) fail("Channels must be > 0");
    const std::uint32_t frames = static_cast<std::uint32_t>(m.s.size() / m.channels);
    if (n > frames) {
      std::ostringstream msg;
      msg << "Cannot discard " << n << " frames of " << frames;
      fail(msg.str());
    }
    m.s.erase(m.s.begin(), m.s.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(n) * m.channels));
  }
  Model slice(std::uint32_t n) {
    if (n > m.s.size()) {
      std::ostringstream msg;
      msg << "Cannot slice " << n << " samples of " << m.s.size();
      fail(msg.str());
    }
    if (m.rate == 0) fail("New frame rate must be > 0");
    Model out;
    out.channels = m.channels;
    out.rate = m.rate;
    out.s.assign(m.s.end() - n, m.s.end());
    m.s.resize(m.s.size() - n);
    return out;
  }
  double atRead() {
    if (m.read >= m.s.size()) fail(boundsMessage("Cannot get out-of-bounds sample (", m.read, m.s.size()));
    return m.s[m.read];
  }
  void atWrite(double v) {
    if (m.write >= m.s.size()) fail(boundsMessage("Cannot set out-of-bounds sample (", m.write, m.s.size()));
    m.s[m.write] = v;
  }
  std::vector<double> bulkRead(std::uint32_t n) {
    std::vector<double> out;
    while (out.size() < n && m.read < m.s.size()) out.push_back(m.s[m.read++]);
    return out;
  }
  std::uint32_t bulkWrite(const std::vector<double>& v, std::uint32_t stride) {
    std::uint32_t stored = 0;
    while (stored < v.size() && m.write < m.s.size()) {
      m.s[m.write] = v[stored++];
      m.write += stride;
    }
    return stored;
  }
  void appendFloats(const std::vector<float>& v) {
    if (m.s.size() + v.size() > MAX_SAMPLES) fail("Audio data cannot hold more than 4294967295 samples");
    for (float f : v)
      if (!std::isfinite(f)) fail("Cannot set sample to NaN");
    for (float f : v) m.s.push_back(f);
  }
};

void compare(const AudioData& a, const Model& m) {
  FUZZ_CHECK(a.getSampleCount() == m.s.size(), "sample count");
  FUZZ_CHECK(a.getChannels() == m.channels, "channels");
  FUZZ_CHECK(a.getFrameRate() == m.rate, "frame rate");
  for (std::uint32_t i = 0; i < m.s.size(); ++i) FUZZ_CHECK(sameBits(a.getSample(i), m.s[i]), "samples");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  // Two buffers and their models; operations may join one to the other or to itself.
  AudioData buffers[2];
  Model models[2];
  int steps = 0;
  while (!in.empty() && steps++ < 200) {
    const std::uint8_t op = in.byte();
    const int t = op & 1;
    AudioData& a = buffers[t];
    Model& m = models[t];
    ModelOps model{m};
    std::string real, expected;
    switch ((op >> 1) % 24) {
    case 0: {
      const std::uint32_t c = in.count() % 9;
      real = outcomeOf([&] { a.setChannels(c); });
      expected = outcomeOf([&] { model.setChannels(c); });
      break;
    }
    case 1: {
      const std::uint32_t r = in.count();
      real = outcomeOf([&] { a.setFrameRate(r); });
      expected = outcomeOf([&] { model.setFrameRate(r); });
      break;
    }
    case 2: {
      std::uint32_t x = 0, y = 0;
      real = outcomeOf([&] { x = a.getFrameCount(); });
      expected = outcomeOf([&] { y = model.frameCount(); });
      if (real.empty()) FUZZ_CHECK(x == y, "frame count");
      break;
    }
    case 3: {
      const std::uint32_t n = in.count();
      if (n > LARGEST_GROWTH && m.s.size() + n <= MAX_SAMPLES) break;
      real = outcomeOf([&] { a.addToSampleCount(n); });
      expected = outcomeOf([&] { model.grow(n); });
      break;
    }
    case 4: {
      const std::uint32_t n = in.count();
      const std::uint64_t extra = static_cast<std::uint64_t>(n) * m.channels;
      if (extra > LARGEST_GROWTH && m.s.size() + extra <= MAX_SAMPLES) break;
      real = outcomeOf([&] { a.addToFrameCount(n); });
      expected = outcomeOf([&] { model.addToFrameCount(n); });
      break;
    }
    case 5: {
      const std::uint32_t i = in.count();
      double x = 0, y = 0;
      real = outcomeOf([&] { x = a.getSample(i); });
      expected = outcomeOf([&] { y = model.get(i); });
      if (real.empty()) FUZZ_CHECK(sameBits(x, y), "getSample");
      break;
    }
    case 6: {
      const std::uint32_t i = in.count();
      const double v = in.value();
      real = outcomeOf([&] { a.setSample(i, v); });
      expected = outcomeOf([&] { model.set(i, v); });
      break;
    }
    case 7: {
      const std::uint32_t f = in.count(), c = in.count();
      double x = 0, y = 0;
      real = outcomeOf([&] { x = a.getSampleByFrame(f, c); });
      expected = outcomeOf([&] { y = model.getByFrame(f, c); });
      if (real.empty()) FUZZ_CHECK(sameBits(x, y), "getSampleByFrame");
      break;
    }
    case 8: {
      const std::uint32_t f = in.count(), c = in.count();
      const double v = in.value();
      real = outcomeOf([&] { a.setSampleByFrame(f, c, v); });
      expected = outcomeOf([&] { model.setByFrame(f, c, v); });
      break;
    }
    case 9:
    case 10: {
      const bool front = (op >> 1) % 24 == 10;
      const int from = in.byte() % 2; // the other buffer or this one
      const int source = from ? t : 1 - t;
      if (m.s.size() + models[source].s.size() > LARGEST_GROWTH) break;
      const Model that = models[source];
      real = outcomeOf([&] { front ? a.prepend(buffers[source]) : a.append(buffers[source]); });
      expected = outcomeOf([&] { model.join(that, front); });
      break;
    }
    case 11:
      a.reduceToMono();
      model.reduceToMono();
      break;
    case 12: {
      const std::uint32_t factor = in.count() % 13;
      const bool shortcut = in.byte() & 1;
      real = outcomeOf([&] { a.downsample(factor, shortcut); });
      expected = outcomeOf([&] { model.downsample(factor, shortcut); });
      break;
    }
    case 13: {
      const std::uint32_t n = in.count();
      real = outcomeOf([&] { a.discardFramesFromFront(n); });
      expected = outcomeOf([&] { model.discard(n); });
      break;
    }
    case 14: {
      const std::uint32_t n = in.count();
      std::unique_ptr<AudioData> cut;
      Model modelCut;
      real = outcomeOf([&] { cut = a.sliceSamplesFromBack(n); });
      expected = outcomeOf([&] { modelCut = model.slice(n); });
      if (real.empty() && expected.empty()) compare(*cut, modelCut);
      break;
    }
    case 15:
      a.resetIterators();
      m.read = m.write = 0;
      break;
    case 16: {
      const std::uint32_t n = in.count();
      a.advanceReadIterator(n);
      m.read += n;
      FUZZ_CHECK(a.readIteratorWithinUpperBound() == (m.read < m.s.size()), "read bound");
      break;
    }
    case 17: {
      const std::uint32_t n = in.count();
      a.advanceWriteIterator(n);
      m.write += n;
      FUZZ_CHECK(a.writeIteratorWithinUpperBound() == (m.write < m.s.size()), "write bound");
      break;
    }
    case 18: {
      double x = 0, y = 0;
      real = outcomeOf([&] { x = a.getSampleAtReadIterator(); });
      expected = outcomeOf([&] { y = model.atRead(); });
      if (real.empty()) FUZZ_CHECK(sameBits(x, y), "read cursor");
      break;
    }
    case 19: {
      const double v = in.value();
      real = outcomeOf([&] { a.setSampleAtWriteIterator(v); });
      expected = outcomeOf([&] { model.atWrite(v); });
      break;
    }
    case 20: {
      const std::uint32_t n = in.count() % 64;
      std::vector<double> x(n, -1.0);
      const std::uint32_t got = a.readSamplesAtReadIterator(x.data(), n);
      const std::vector<double> y = model.bulkRead(n);
      FUZZ_CHECK(got == y.size(), "bulk read count");
      for (std::uint32_t i = 0; i < got; ++i) FUZZ_CHECK(sameBits(x[i], y[i]), "bulk read");
      break;
    }
    case 21: {
      const std::uint32_t n = in.count() % 16, stride = 1 + in.byte() % 12;
      std::vector<double> v(n);
      for (double& d : v) d = in.value();
      FUZZ_CHECK(a.writeSamplesAtWriteIterator(v.data(), n, stride) == model.bulkWrite(v, stride), "bulk write");
      break;
    }
    case 22: {
      const std::uint32_t n = in.count() % 32;
      std::vector<float> v(n);
      for (float& f : v) {
        const std::uint32_t bits = in.byte() < 128 ? 0x3f800000u + in.byte() : in.u32();
        std::memcpy(&f, &bits, sizeof f);
      }
      real = outcomeOf([&] { a.appendSamples(v.data(), n); });
      expected = outcomeOf([&] { model.appendFloats(v); });
      break;
    }
    case 23: {
      // A copy is equal and independent.
      AudioData copy = a;
      compare(copy, m);
      copy.resetIterators();
      if (copy.getSampleCount() > 0) copy.setSampleAtWriteIterator(12345.0);
      copy.addToSampleCount(1);
      break;
    }
    }
    if (real != expected) {
      std::fprintf(stderr, "op %d: real \"%s\", model \"%s\"\n", (op >> 1) % 24, real.c_str(), expected.c_str());
      FUZZ_CHECK(false, "the thrown message agrees with the model");
    }
    compare(a, m);
  }
  return 0;
}
