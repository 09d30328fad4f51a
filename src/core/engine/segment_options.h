#pragma once

#include "core/util/units.h"

namespace voxloom {

enum class ControlColour { Window, ButtonFace };

struct SegmentCheck {
  bool checked = false;
  bool enabled = true;
  bool on() const { return checked && enabled; }  // an option counts only then
};

struct SegmentSpin {
  int value = 0;
  bool enabled = true;
  ControlColour colour = ControlColour::Window;
  int previous = -1;  // last value set, for snapSpinValue; -1 until the first change
};

// The controls of the "Segments" group box as plain state: the window shows it and
// writes user changes back. Defaults are the program's start values.
struct SegmentOptions {
  static constexpr int kMinDuration = 1;
  static constexpr int kMaxDuration = 10000;

  SegmentSpin duration{80};                                      // CSpinEditSegDuration
  SegmentSpin duration2{120, false, ControlColour::ButtonFace};  // CSpinEditSegDuration2
  SegmentCheck segTo;                                            // CheckBoxSegTo
  SegmentCheck overlap;                                          // CheckBoxOverlap
  SegmentCheck zeroCrossAdjust{true};                            // CheckBoxZeroCrossAdjust
  SegmentCheck useCueList{false, false};                         // CheckBoxUseCueList
  SegmentCheck crossFade;                                        // CheckBoxCrossFade
  int fadeMode = 0;                                              // FadeMode, PopupMenuFade
};

// The cue list is in use: cues exist and its check box counts.
bool cueListInUse(const SegmentOptions& options, Frames cueCount);

// Enabling rules: mode 0 editable, mode 1 locked, any other value changes nothing.
void updateSegmentControls(SegmentOptions& options, int mode, Frames cueCount);

// Spin-button stepping: one step up or down from `previous` jumps to a round number;
// any other value passes unchanged.
int snapSpinValue(int previous, int entered);

// A change of a spin edit: snaps it, clamps it to [low, high] and remembers it. Returns
// the value that is set.
int applySpinChange(SegmentSpin& spin, int entered, int low, int high);

}  // namespace voxloom
