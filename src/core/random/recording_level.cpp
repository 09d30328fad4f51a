#include "core/random/recording_level.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace voxloom {

std::int32_t RecLevelState::boostGain() const {
  // Extended precision and a division by 20 keep the whole decades exact (20 dB is 10,
  // not 9.999...).
  const long double factor = std::pow(10.0L, static_cast<long double>(boostDecibels()) / 20.0L);
  return static_cast<std::int32_t>(std::trunc(factor));
}

void RecLevelState::showLevel(std::int32_t peak, int bitsPerSample) {
  if (bitsPerSample < 8 || bitsPerSample > 16) return;
  const std::int64_t magnitude = std::llabs(static_cast<long long>(peak));
  const std::int64_t full = std::int64_t{1} << (bitsPerSample - 1);
  const int v = static_cast<int>(std::min<std::int64_t>(magnitude * kBarMax / full, kBarMax));
  bar = std::max(bar, v);
  lamp = bar >= kBarMax * 9 / 10 ? 1 : 0;
  lampColour = bar >= kBarMax ? LampColour::Red : LampColour::Yellow;
}

bool RecLevelState::decayStep() {
  if (bar < 1) {
    lamp = 0;
    return false;
  }
  bar -= std::min(bar, kBarMax / 100);
  return true;
}

void LevelMeter::showLevel(std::int32_t peak, int bitsPerSample) {
  state.showLevel(peak, bitsPerSample);
  tell();
  if (timer_ != nullptr && !timer_->isActive()) armDecay();
}

void LevelMeter::setVisible(bool visible) {
  state.visible = visible;
  tell();
}

void LevelMeter::armDecay() {
  timer_->start(kDecayMs, [this] {
    const bool more = state.decayStep();
    tell();
    if (more) armDecay();
  });
}

}  // namespace voxloom
