#ifndef TONVERA_WORKSPACE_H
#define TONVERA_WORKSPACE_H

#include <memory>
#include <vector>

#include "audiodata.h"
#include "chromagram.h"
#include "fftadapter.h"

namespace Tonvera {

// All state of one analysed stream. The caller owns it and passes it to every
// facade call for that stream; the facade and the low-pass filter use the
// fields directly. The three pointers start null, are created on first need
// and never replaced. Never copied; one thread at a time.
class Workspace {
public:
  Workspace();
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // Input-rate samples short of a whole decimation step, put in front of the
  // next block.
  AudioData heldBackAudio;
  // Filtered, decimated mono audio not yet consumed by the analyser.
  AudioData decimatedAudio;
  // Every hop analysed so far.
  std::unique_ptr<Chromagram> accumulatedChromagram;
  // The analyser's 16384-point forward transform.
  std::unique_ptr<FftAdapter> analysisFft;
  // The low-pass filter's delay line.
  std::unique_ptr<std::vector<double>> filterDelayLine;
};

} // namespace Tonvera

#endif
