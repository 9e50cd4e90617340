#ifndef TONVERA_TONVERA_H
#define TONVERA_TONVERA_H

#include <vector>

#include "audiodata.h"
#include "chromatransformfactory.h"
#include "keyclassifier.h"
#include "lowpassfilterfactory.h"
#include "temporalwindowfactory.h"
#include "workspace.h"

namespace Tonvera {

// The analysis facade. It owns the caches of filters, chroma transforms and
// windows, so each is built once and shared; all state of one stream lives in
// a caller-owned Workspace. A stream is fed with progressiveChromagram in
// blocks of any size and of one frame rate (at least 4348 Hz), finished once
// with finalChromagram, then classified.
//
// One facade may serve several threads at once provided each thread uses its
// own workspaces.
class Tonvera {
public:
  Tonvera() = default;
  Tonvera(const Tonvera&) = delete;
  Tonvera& operator=(const Tonvera&) = delete;

  // The key of a whole buffer, analysed on a workspace of its own; the
  // buffer is not changed.
  musical_key_t keyOfAudio(const AudioData& audio);
  // Analyses one block (taken by value: it is edited) as far as whole frames
  // reach, keeping the rest in the workspace for the next block.
  void progressiveChromagram(AudioData audio, Workspace& workspace);
  // Flushes the held-back samples and pads the buffered audio with silence
  // so that its last samples are analysed. Call once, after the last block.
  void finalChromagram(Workspace& workspace);
  // Throws Exception when the workspace has no chromagram yet.
  musical_key_t keyOfChromagram(const Workspace& workspace) const;
  musical_key_t keyOfChromaVector(const std::vector<double>& chroma) const;
  musical_key_t keyOfChromaVector(const std::vector<double>& chroma,
                                  const std::vector<double>& majorValues,
                                  const std::vector<double>& minorValues) const;

  // The steps behind the calls above.
  void preprocess(AudioData& audio, Workspace& workspace, bool flush);
  void chromagramOfBufferedAudio(Workspace& workspace);

  static constexpr std::uint32_t LOW_PASS_ORDER = 160;
  static constexpr std::uint32_t LOW_PASS_FFT_FRAME_SIZE = 2048;
  static constexpr std::uint32_t ANALYSIS_FRAME_SIZE = 16384;
  static constexpr std::uint32_t HOP_SIZE = 4096;

private:
  LowPassFilterFactory lowPassFilterFactory;
  ChromaTransformFactory chromaTransformFactory;
  TemporalWindowFactory temporalWindowFactory;
};

} // namespace Tonvera

#endif
