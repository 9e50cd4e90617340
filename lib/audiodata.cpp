#include "audiodata.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "exception.h"
#include "messages.h"

namespace Tonvera {

AudioData::AudioData() : channels(0), frameRate(0), readIterator(0), writeIterator(0) {}

void AudioData::setChannels(std::uint32_t newChannels) {
  if (newChannels == 0) throw Exception("New channel count must be > 0");
  channels = newChannels;
}

void AudioData::setFrameRate(std::uint32_t newFrameRate) {
  if (newFrameRate == 0) throw Exception("New frame rate must be > 0");
  frameRate = newFrameRate;
}

std::uint32_t AudioData::getFrameCount() const {
  if (channels == 0) throw Exception("Channels must be > 0");
  return getSampleCount() / channels;
}

void AudioData::ensureRoomFor(std::uint64_t extra) const {
  if (extra > MAX_SAMPLES - samples.size())
    throw Exception("Audio data cannot hold more than 4294967295 samples");
}

void AudioData::addToSampleCount(std::uint32_t n) {
  ensureRoomFor(n);
  samples.appendZeros(n);
}

void AudioData::addToFrameCount(std::uint32_t n) {
  if (channels == 0) throw Exception("Channels must be > 0");
  const std::uint64_t extra = static_cast<std::uint64_t>(n) * channels;
  ensureRoomFor(extra);
  samples.appendZeros(static_cast<std::size_t>(extra));
}

double AudioData::getSample(std::uint32_t index) const {
  if (index >= samples.size())
    detail::throwBounds("Cannot get out-of-bounds sample (", index, samples.size());
  return samples[index];
}

void AudioData::setSample(std::uint32_t index, double value) {
  if (index >= samples.size())
    detail::throwBounds("Cannot set out-of-bounds sample (", index, samples.size());
  if (!detail::isFinite(value)) throw Exception("Cannot set sample to NaN");
  samples[index] = value;
}

void AudioData::appendSamples(const float* values, std::uint32_t count) {
  ensureRoomFor(count);
  // One pass converts and tests: a float is an infinity or a NaN when its
  // magnitude bits exceed those of the largest finite float, a test that runs
  // in vectors. A refused block is taken back out before the exception.
  const std::size_t before = samples.size();
  std::uint32_t largest = 0;
  const float* next = values;
  samples.growBack(count, [&next, &largest](double* out, std::size_t run) {
    const float* in = next;
    std::uint32_t top = 0;
    for (std::size_t i = 0; i < run; ++i) {
      std::uint32_t bits;
      std::memcpy(&bits, &in[i], sizeof bits);
      top = std::max(top, bits & 0x7fffffffu);
      out[i] = static_cast<double>(in[i]);
    }
    largest = std::max(largest, top);
    next = in + run;
  });
  if (largest > 0x7f7fffffu) {
    samples.truncate(before);
    throw Exception("Cannot set sample to NaN");
  }
}

double AudioData::getSampleByFrame(std::uint32_t frame, std::uint32_t channel) const {
  if (channels == 0) throw Exception("Channels must be > 0");
  const std::uint32_t frames = getSampleCount() / channels;
  if (frame >= frames) detail::throwBounds("Cannot get out-of-bounds frame (", frame, frames);
  if (channel >= channels)
    detail::throwBounds("Cannot get out-of-bounds channel (", channel, channels);
  return getSample(frame * channels + channel);
}

void AudioData::setSampleByFrame(std::uint32_t frame, std::uint32_t channel, double value) {
  if (channels == 0) throw Exception("Channels must be > 0");
  const std::uint32_t frames = getSampleCount() / channels;
  if (frame >= frames) detail::throwBounds("Cannot set out-of-bounds frame (", frame, frames);
  if (channel >= channels)
    detail::throwBounds("Cannot set out-of-bounds channel (", channel, channels);
  setSample(frame * channels + channel, value);
}

void AudioData::append(const AudioData& that) {
  join(that, false, "Cannot append audio data with a different number of channels",
       "Cannot append audio data with a different frame rate");
}

void AudioData::prepend(const AudioData& that) {
  join(that, true, "Cannot prepend audio data with a different number of channels",
       "Cannot prepend audio data with a different frame rate");
}

void AudioData::join(const AudioData& that, bool front, const char* channelMessage,
                     const char* rateMessage) {
  // The format a formatless buffer would adopt is worked out first and only
  // committed once every test has passed, so a failing call changes nothing.
  const bool adopt = channels == 0 && frameRate == 0;
  const std::uint32_t newChannels = adopt ? that.channels : channels;
  const std::uint32_t newFrameRate = adopt ? that.frameRate : frameRate;
  if (that.channels != newChannels) throw Exception(channelMessage);
  if (that.frameRate != newFrameRate) throw Exception(rateMessage);
  ensureRoomFor(that.samples.size());
  channels = newChannels;
  frameRate = newFrameRate;
  if (&that == this) {
    // A buffer joined to itself, at either end, is the buffer twice over.
    appendOwnSamples();
    return;
  }
  std::size_t from = 0;
  auto copy = [&](double* p, std::size_t run) {
    that.samples.copyOut(from, run, p);
    from += run;
  };
  if (front)
    samples.growFront(that.samples.size(), copy);
  else
    samples.growBack(that.samples.size(), copy);
}

void AudioData::resetIterators() {
  readIterator = 0;
  writeIterator = 0;
}

double AudioData::getSampleAtReadIterator() const {
  if (readIterator >= samples.size())
    detail::throwBounds("Cannot get out-of-bounds sample (", readIterator, samples.size());
  return samples[static_cast<std::size_t>(readIterator)];
}

void AudioData::setSampleAtWriteIterator(double value) {
  if (writeIterator >= samples.size())
    detail::throwBounds("Cannot set out-of-bounds sample (", writeIterator, samples.size());
  samples[static_cast<std::size_t>(writeIterator)] = value;
}

std::uint32_t AudioData::readSamplesAtReadIterator(double* out, std::uint32_t count) {
  if (readIterator >= samples.size()) return 0;
  const std::uint64_t available = samples.size() - readIterator;
  const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, available));
  samples.copyOut(static_cast<std::size_t>(readIterator), n, out);
  readIterator += n;
  return n;
}

std::uint32_t AudioData::writeSamplesAtWriteIterator(const double* values, std::uint32_t count,
                                                     std::uint32_t stride) {
  std::uint32_t stored = 0;
  while (stored < count && writeIterator < samples.size()) {
    samples[static_cast<std::size_t>(writeIterator)] = values[stored++];
    writeIterator += stride;
  }
  return stored;
}

void AudioData::appendOwnSamples() {
  // The copy comes from the first half while the second half is added; the
  // blocks holding the first half never move.
  const std::size_t n = samples.size();
  std::size_t from = 0;
  samples.growBack(n, [&](double* p, std::size_t run) {
    samples.copyOut(from, run, p);
    from += run;
  });
}

// Editing operations: they change the buffer's shape.

void AudioData::reduceToMono() {
  if (channels < 2) return;
  const std::uint32_t k = channels;
  const std::size_t frames = samples.size() / k;
  const double divisor = static_cast<double>(k);
  // In place, front to back: output i is written after frame i was read and
  // lies at or before it.
  samples.ownAll();
  const detail::SampleQueue& in = samples;
  for (std::size_t i = 0; i < frames; ++i) {
    double sum = 0.0;
    for (std::uint32_t c = 0; c < k; ++c) sum += in[i * k + c];
    samples.unsharedAt(i) = sum / divisor;
  }
  samples.truncate(frames);
  channels = 1;
}

void AudioData::downsample(std::uint32_t factor, bool shortcut) {
  if (factor == 0) throw Exception("Downsampling factor must be > 0");
  if (factor == 1) return;
  if (channels >= 2) throw Exception("Apply to monophonic only");
  // Tested before the samples are touched, so that a failure never leaves
  // decimated samples labelled with the old rate.
  const std::uint32_t newFrameRate = frameRate / factor;
  if (newFrameRate == 0) throw Exception("New frame rate must be > 0");

  const std::size_t count = samples.size();
  const std::size_t groups = count / factor + (count % factor != 0 ? 1 : 0);
  // Output i is written after its group was read, at or before it: a forward
  // pass in place.
  samples.ownAll();
  const detail::SampleQueue& in = samples;
  if (shortcut) {
    for (std::size_t i = 0; i < groups; ++i) samples.unsharedAt(i) = in[i * factor];
  } else {
    const double divisor = static_cast<double>(factor);
    for (std::size_t i = 0; i < groups; ++i) {
      const std::size_t begin = i * factor;
      const std::size_t end = std::min(count, begin + factor);
      double sum = 0.0;
      for (std::size_t j = begin; j < end; ++j) sum += in[j];
      samples.unsharedAt(i) = sum / divisor;
    }
  }
  samples.truncate(groups);
  frameRate = newFrameRate;
}

void AudioData::discardFramesFromFront(std::uint32_t n) {
  if (channels == 0) throw Exception("Channels must be > 0");
  const std::uint32_t frames = getSampleCount() / channels;
  if (n > frames) detail::throwCounts("Cannot discard ", n, " frames of ", frames);
  const std::size_t removed = static_cast<std::size_t>(n) * channels;
  samples.eraseFront(removed);
}

std::unique_ptr<AudioData> AudioData::sliceSamplesFromBack(std::uint32_t n) {
  if (n > samples.size()) detail::throwCounts("Cannot slice ", n, " samples of ", samples.size());
  auto slice = std::make_unique<AudioData>();
  slice->channels = channels;
  slice->setFrameRate(frameRate);
  const std::size_t kept = samples.size() - n;
  std::size_t from = kept;
  slice->samples.growBack(n, [&](double* p, std::size_t run) {
    samples.copyOut(from, run, p);
    from += run;
  });
  samples.truncate(kept);
  return slice;
}

} // namespace Tonvera
