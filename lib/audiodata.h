#ifndef TONVERA_AUDIODATA_H
#define TONVERA_AUDIODATA_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include "samplequeue.h"

namespace Tonvera {

// Interleaved double samples with a channel count and a frame rate.
//
// Sample c of frame f stands at index f * channels + c. A buffer whose channel
// count and frame rate are both 0 has no format yet and adopts the format of
// the first buffer joined to it. A buffer never holds more than 4294967295
// samples; growth past that throws instead of wrapping.
//
// Two cursors serve sequential passes. Call resetIterators() before using
// them: their position is unspecified after construction, copying and any
// operation that changes the sample count. Reading or writing at a cursor that
// is not before the end throws, so a misused cursor can never touch memory
// outside the buffer.
//
// Every failing operation throws Exception before changing anything. A buffer
// is a value type used by one thread at a time.
class AudioData {
public:
  static constexpr std::uint64_t MAX_SAMPLES = 4294967295u;

  AudioData();

  std::uint32_t getChannels() const { return channels; }
  void setChannels(std::uint32_t newChannels);
  std::uint32_t getFrameRate() const { return frameRate; }
  void setFrameRate(std::uint32_t newFrameRate);

  std::uint32_t getSampleCount() const { return static_cast<std::uint32_t>(samples.size()); }
  std::uint32_t getFrameCount() const;
  void addToSampleCount(std::uint32_t n);
  void addToFrameCount(std::uint32_t n);

  double getSample(std::uint32_t index) const;
  void setSample(std::uint32_t index, double value);
  double getSampleByFrame(std::uint32_t frame, std::uint32_t channel) const;
  void setSampleByFrame(std::uint32_t frame, std::uint32_t channel, double value);

  void append(const AudioData& that);
  void prepend(const AudioData& that);

  void resetIterators();
  bool readIteratorWithinUpperBound() const { return readIterator < samples.size(); }
  bool writeIteratorWithinUpperBound() const { return writeIterator < samples.size(); }
  void advanceReadIterator(std::uint32_t n) { readIterator += n; }
  void advanceWriteIterator(std::uint32_t n) { writeIterator += n; }
  double getSampleAtReadIterator() const;
  // Stores without a finiteness test.
  void setSampleAtWriteIterator(double value);

  // Bulk form of the read cursor for long passes: copies up to count samples
  // from the read cursor into out, advances the cursor past them and returns
  // how many were copied (fewer only at the end of the buffer).
  std::uint32_t readSamplesAtReadIterator(double* out, std::uint32_t count);
  // Bulk form of the write cursor: stores values[0], values[1], ... at the
  // write cursor, advancing it by stride after each, and returns how many were
  // stored (fewer only when the cursor reaches the end). No finiteness test.
  std::uint32_t writeSamplesAtWriteIterator(const double* values, std::uint32_t count,
                                            std::uint32_t stride);

  // Editing operations.
  void reduceToMono();
  void downsample(std::uint32_t factor, bool shortcut);
  void discardFramesFromFront(std::uint32_t n);
  std::unique_ptr<AudioData> sliceSamplesFromBack(std::uint32_t n);

  // Bulk form of addToSampleCount and setSample for new samples: appends
  // values[0..count) widened to double. Throws if the buffer would pass
  // 4294967295 samples, then "Cannot set sample to NaN" if any value is not
  // finite; a failing call changes nothing.
  void appendSamples(const float* values, std::uint32_t count);

private:
  // Builds its decimated output directly, without a pass through indices.
  friend class LowPassFilterPrivate;

  void ensureRoomFor(std::uint64_t extra) const;
  void join(const AudioData& that, bool front, const char* channelMessage, const char* rateMessage);
  void appendOwnSamples();

  // A double-ended queue of samples, stored in large blocks.
  detail::SampleQueue samples;
  std::uint32_t channels;
  std::uint32_t frameRate;
  // Cursor positions as indices into samples rather than storage iterators, so
  // that a copied or moved buffer can never reach into another one.
  std::uint64_t readIterator;
  std::uint64_t writeIterator;
};

} // namespace Tonvera

#endif
