#pragma once

#include <cstdint>
#include <string>

#include "core/engine/tool_window_state.h"
#include "core/util/units.h"

namespace voxloom {

// What TFormSpeedControlWindow ("Speed Control") shows: the slider, 200 % at the top
// (position 0), 100 % in the middle, 50 % at the bottom.
struct SpeedControl {
  static constexpr int kPositionMin = 0;
  static constexpr int kPositionMax = 100;
  static constexpr int kPositionDefault = 50;  // also "100 %"

  int sliderPosition = kPositionDefault;  // TrackBarSpeed
  ToolWindowState window;

  // The percentage of the slider's position: 50..99, 100, 102..200.
  int speedPercent() const;
  // LabelPercentage: the number followed by "%".
  std::string labelText() const;
};

// The percentage of a slider position (clamped to 0..100).
int speedPercentOf(int sliderPosition);
// The 16.16 fixed-point playback-rate factor of a percentage: 100 % is 0x10000.
std::uint32_t playbackRateFactor(int percent);
// The rate the playback device is opened at: nominalRate x percent / 100, truncated.
std::uint32_t speedAdjustedRate(Rate nominalRate, int percent);

}  // namespace voxloom
