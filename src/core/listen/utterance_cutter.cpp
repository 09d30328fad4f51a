#include "core/listen/utterance_cutter.h"

#include <algorithm>
#include <limits>

namespace voxloom {

UtteranceCutter::UtteranceCutter(UtteranceCutOptions options) : options_(options) {
  options_.window = std::max<std::size_t>(options_.window, 1);
  options_.maxSamples = std::max(options_.maxSamples, 2 * options_.window);
  options_.minSamples = std::min(options_.minSamples, options_.maxSamples - options_.window);
  held_.reserve(options_.maxSamples);
}

std::size_t UtteranceCutter::quietestCut() const {
  // Windows are stepped by half their length; the cut falls in the middle of the
  // quietest one. The earliest of equally quiet windows wins, so silence cuts early.
  const std::size_t w = options_.window;
  const std::size_t step = std::max<std::size_t>(w / 2, 1);
  std::size_t best = options_.maxSamples;
  double bestEnergy = std::numeric_limits<double>::infinity();
  for (std::size_t at = options_.minSamples; at + w <= options_.maxSamples; at += step) {
    double energy = 0.0;
    for (std::size_t i = at; i < at + w; ++i) energy += static_cast<double>(held_[i]) * held_[i];
    if (energy < bestEnergy) {
      bestEnergy = energy;
      best = at + w / 2;
    }
  }
  return best;
}

void UtteranceCutter::push(std::span<const std::int16_t> samples, const Emit& emit) {
  while (!samples.empty()) {
    const std::size_t take = std::min(samples.size(), options_.maxSamples - held_.size());
    held_.insert(held_.end(), samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(take));
    samples = samples.subspan(take);
    peakHeld_ = std::max(peakHeld_, held_.size());
    if (held_.size() < options_.maxSamples) continue;
    const std::size_t cut = quietestCut();
    emit(std::span<const std::int16_t>(held_.data(), cut), heldStart_);
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(cut));
    heldStart_ += static_cast<std::int64_t>(cut);
  }
}

void UtteranceCutter::finish(const Emit& emit) {
  if (!held_.empty()) emit(held_, heldStart_);
  heldStart_ += static_cast<std::int64_t>(held_.size());
  held_.clear();
}

}  // namespace voxloom
