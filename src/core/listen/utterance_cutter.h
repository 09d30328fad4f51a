#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace voxloom {

// Where long sound is cut into utterances for a recogniser: a recogniser keeps every
// hypothesis of an utterance until its end, so an hour in one piece would hold an hour
// of lattice. Each utterance is cut at the quietest stretch between `minSamples` and
// `maxSamples`, where a word is least likely to be split.
struct UtteranceCutOptions {
  std::size_t minSamples = 16000 * 4;
  std::size_t maxSamples = 16000 * 12;
  std::size_t window = 320;  // samples whose energy is compared (20 ms at 16 kHz)
};

class UtteranceCutter {
 public:
  // `start` counts samples from the beginning of all that was pushed.
  using Emit = std::function<void(std::span<const std::int16_t> samples, std::int64_t start)>;

  explicit UtteranceCutter(UtteranceCutOptions options = {});

  // Takes mono samples; hands on every utterance that is complete.
  void push(std::span<const std::int16_t> samples, const Emit& emit);
  // Hands on what is left (nothing when nothing is).
  void finish(const Emit& emit);

  // Samples held at most at any time: bounded by the options, whatever the length.
  std::size_t peakHeld() const { return peakHeld_; }

 private:
  std::size_t quietestCut() const;

  UtteranceCutOptions options_;
  std::vector<std::int16_t> held_;
  std::int64_t heldStart_ = 0;
  std::size_t peakHeld_ = 0;
};

}  // namespace voxloom
