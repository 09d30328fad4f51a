#pragma once

#include "core/engine/segment_options.h"

namespace voxloom {

// RadioGroupRandomPlay with CSpinEditRandomPlayTime as plain state.
struct PlayTimeControls {
  static constexpr int kMinSeconds = 1;
  static constexpr int kMaxSeconds = 999;

  int itemIndex = 0;     // 0 "continuously", 1 "for ... s"
  SegmentSpin time{15};  // seconds
  bool groupEnabled = true;

  bool stopsAfterTime() const { return itemIndex == 1; }
};

// Mode 0 enables both controls (window colour), mode 1 disables them (button face);
// any other value changes nothing.
inline void updatePlayTimeControls(PlayTimeControls& controls, int mode) {
  if (mode != 0 && mode != 1) return;
  controls.groupEnabled = mode == 0;
  controls.time.enabled = mode == 0;
  controls.time.colour = mode == 0 ? ControlColour::Window : ControlColour::ButtonFace;
}

// A change of the spin edit (typed or stepped) also selects item 1.
inline int changePlayTime(PlayTimeControls& controls, int entered) {
  controls.itemIndex = 1;
  return applySpinChange(controls.time, entered, PlayTimeControls::kMinSeconds,
                         PlayTimeControls::kMaxSeconds);
}

}  // namespace voxloom
