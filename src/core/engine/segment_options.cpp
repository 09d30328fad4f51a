#include "core/engine/segment_options.h"

#include <algorithm>

namespace voxloom {

bool cueListInUse(const SegmentOptions& options, Frames cueCount) {
  return cueCount > 0 && options.useCueList.on();
}

void updateSegmentControls(SegmentOptions& o, int mode, Frames cueCount) {
  auto colourOf = [](bool enabled) {
    return enabled ? ControlColour::Window : ControlColour::ButtonFace;
  };
  if (mode == 0) {
    const bool cueMode = cueCount > 0 && o.useCueList.checked;
    o.useCueList.enabled = cueCount > 0;
    o.segTo.enabled = !cueMode;
    o.overlap.enabled = !cueMode;
    o.crossFade.enabled = !cueMode;
    o.duration.enabled = !cueMode;
    o.zeroCrossAdjust.enabled = !o.crossFade.checked || cueMode;
    o.duration2.enabled = o.segTo.checked && !cueMode;
  } else if (mode == 1) {
    o.useCueList.enabled = o.segTo.enabled = o.overlap.enabled = false;
    o.crossFade.enabled = o.zeroCrossAdjust.enabled = false;
    o.duration.enabled = o.duration2.enabled = false;
  } else {
    return;
  }
  o.duration.colour = colourOf(o.duration.enabled);
  o.duration2.colour = colourOf(o.duration2.enabled);
}

int snapSpinValue(int previous, int entered) {
  if (entered == previous - 1) {
    const int s = previous <= 25     ? 1
                  : previous <= 100  ? 5
                  : previous <= 250  ? 10
                  : previous <= 1000 ? 50
                  : previous <= 2500 ? 100
                                     : 500;
    return s * (entered / s);
  }
  if (entered == previous + 1) {
    const int s = previous < 25     ? 1
                  : previous < 100  ? 5
                  : previous < 250  ? 10
                  : previous < 1000 ? 50
                  : previous < 2500 ? 100
                                    : 500;
    return s * (previous / s + 1);
  }
  return entered;
}

int applySpinChange(SegmentSpin& spin, int entered, int low, int high) {
  spin.value = std::clamp(snapSpinValue(spin.previous, entered), low, high);
  spin.previous = spin.value;
  return spin.value;
}

}  // namespace voxloom
