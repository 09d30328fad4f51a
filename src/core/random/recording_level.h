#pragma once

#include <cstdint>
#include <functional>

#include "core/ports/timer.h"

namespace voxloom {

enum class LampColour { Yellow, Red };

// What TFormRecLevel ("Input Level") shows: the peak bar, the clipping lamp and the
// boost controls. The sound-card random source uses the same boost.
struct RecLevelState {
  static constexpr int kBarMax = 300;           // CGaugeLevel maximum
  static constexpr int kBoostPositionMax = 90;  // TrackBarBoostDecibels 0..90, 90 at the bottom

  int bar = 0;   // CGaugeLevel position 0..300
  int lamp = 0;  // CGaugeClipping position: 1 lit, 0 dark
  LampColour lampColour = LampColour::Yellow;
  bool boostChecked = false;              // CheckBoxBoost "Boost by:"
  int boostPosition = kBoostPositionMax;  // TrackBarBoostDecibels
  bool visible = false;                   // the tool window is shown

  int boostDecibels() const { return kBoostPositionMax - boostPosition; }
  // trunc(10^(dB / 20)): 6 dB gives 1, 7 dB 2, 20 dB 10, 90 dB 31622.
  std::int32_t boostGain() const;

  // A returned buffer's peak (after boost) can only raise the bar; the lamp lights from
  // 90 % of the bar on, red at full scale.
  void showLevel(std::int32_t peak, int bitsPerSample);
  // One 10 ms decay step: the bar falls by 1 % of its range. Returns false when the bar
  // was already down: the lamp went dark and the decay ends.
  bool decayStep();
};

// The level state with its decay timer (the form's Timer, 10 ms). `changed` tells the
// window to show the state again.
class LevelMeter {
 public:
  static constexpr int kDecayMs = 10;

  RecLevelState state;
  std::function<void()> changed;

  void setTimer(OneShotTimer* timer) { timer_ = timer; }
  void showLevel(std::int32_t peak, int bitsPerSample);
  void setVisible(bool visible);
  bool decayRunning() const { return timer_ != nullptr && timer_->isActive(); }

 private:
  void armDecay();
  void tell() {
    if (changed) changed();
  }

  OneShotTimer* timer_ = nullptr;
};

}  // namespace voxloom
