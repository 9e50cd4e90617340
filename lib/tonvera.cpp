#include "tonvera.h"

#include <cmath>

#include "constants.h"
#include "exception.h"
#include "spectrumanalyser.h"

namespace Tonvera {

namespace {

// The largest f for which (frameRate / 2) / f keeps 10% headroom above the
// highest band frequency.
std::uint32_t decimationFactorOf(std::uint32_t frameRate) {
  // The rate is halved in integers first: the factor table depends on it.
  const std::uint32_t halfRate = frameRate / 2;
  return static_cast<std::uint32_t>(
      std::floor(static_cast<double>(halfRate) / (getLastFrequency() * 1.1)));
}

} // namespace

void Tonvera::preprocess(AudioData& audio, Workspace& workspace, bool flush) {
  AudioData& heldBack = workspace.heldBackAudio;
  const bool prepending = heldBack.getChannels() != 0;
  // The rate the audio will have once the held-back samples are in front (a
  // formatless block adopts theirs), checked before anything is changed.
  const bool adopts = prepending && audio.getChannels() == 0 && audio.getFrameRate() == 0;
  const std::uint32_t rate = adopts ? heldBack.getFrameRate() : audio.getFrameRate();
  if (decimationFactorOf(rate) == 0) throw Exception("Frame rate must be >= 4348 to be analysed");

  audio.reduceToMono();
  if (prepending) {
    audio.prepend(heldBack);
    heldBack.discardFramesFromFront(heldBack.getFrameCount());
  }
  const std::uint32_t f = decimationFactorOf(audio.getFrameRate());
  const std::uint32_t remainder = audio.getSampleCount() % f;
  if (!flush && remainder != 0) {
    const std::unique_ptr<AudioData> slice = audio.sliceSamplesFromBack(remainder);
    heldBack.append(*slice);
  }
  const LowPassFilter* filter = lowPassFilterFactory.getLowPassFilter(
      LOW_PASS_ORDER, audio.getFrameRate(), getLastFrequency() * 1.012, LOW_PASS_FFT_FRAME_SIZE);
  // Filtering and then keeping every f-th sample, in one pass.
  filter->filterAndDecimate(audio, workspace, f);
}

void Tonvera::chromagramOfBufferedAudio(Workspace& workspace) {
  if (!workspace.analysisFft) workspace.analysisFft = std::make_unique<FftAdapter>(ANALYSIS_FRAME_SIZE);
  const SpectrumAnalyser analyser(workspace.decimatedAudio.getFrameRate(), &chromaTransformFactory,
                                  &temporalWindowFactory);
  std::unique_ptr<Chromagram> chromagram =
      analyser.chromagramOfWholeFrames(workspace.decimatedAudio, workspace.analysisFft.get());
  workspace.decimatedAudio.discardFramesFromFront(chromagram->getHops() * HOP_SIZE);
  if (!workspace.accumulatedChromagram)
    workspace.accumulatedChromagram = std::move(chromagram);
  else
    workspace.accumulatedChromagram->append(*chromagram);
}

void Tonvera::progressiveChromagram(AudioData audio, Workspace& workspace) {
  preprocess(audio, workspace, false);
  workspace.decimatedAudio.append(audio);
  chromagramOfBufferedAudio(workspace);
}

void Tonvera::finalChromagram(Workspace& workspace) {
  if (workspace.heldBackAudio.getSampleCount() > 0) {
    AudioData rest;
    preprocess(rest, workspace, true);
    workspace.decimatedAudio.append(rest);
  }
  const std::uint32_t n = workspace.decimatedAudio.getSampleCount();
  const double frames = std::ceil(n * (1.0 / 4096.0));
  const std::uint64_t target = static_cast<std::uint64_t>(frames) * HOP_SIZE + 12288;
  workspace.decimatedAudio.addToSampleCount(static_cast<std::uint32_t>(target - n));
  chromagramOfBufferedAudio(workspace);
}

musical_key_t Tonvera::keyOfChromagram(const Workspace& workspace) const {
  if (!workspace.accumulatedChromagram) throw Exception("Workspace has no chromagram to classify");
  const KeyClassifier classifier(toneProfileMajor(), toneProfileMinor());
  return classifier.classify(workspace.accumulatedChromagram->collapseToOneHop());
}

musical_key_t Tonvera::keyOfChromaVector(const std::vector<double>& chroma) const {
  return keyOfChromaVector(chroma, toneProfileMajor(), toneProfileMinor());
}

musical_key_t Tonvera::keyOfChromaVector(const std::vector<double>& chroma,
                                         const std::vector<double>& majorValues,
                                         const std::vector<double>& minorValues) const {
  const KeyClassifier classifier(majorValues, minorValues);
  return classifier.classify(chroma);
}

musical_key_t Tonvera::keyOfAudio(const AudioData& audio) {
  Workspace workspace;
  progressiveChromagram(audio, workspace);
  finalChromagram(workspace);
  return keyOfChromagram(workspace);
}

} // namespace Tonvera
