#pragma once

#include <string>

#include "core/audio/echo_settings.h"

namespace voxloom {

// What TFormEcho ("Echo parameters") shows: the two scroll bars and their labels. The
// window mirrors this state and forwards the user's scroll bar changes to it.
struct EchoDialogState {
  static constexpr int kDelayMax = 1000;  // ScrollBarDelay 0..1000, steps 1 and 100
  static constexpr int kDelayLargeStep = 100;
  static constexpr int kDecayMax = 100;  // ScrollBarDecay 0..100, steps 1 and 10
  static constexpr int kDecayLargeStep = 10;
  static constexpr int kSmallStep = 1;

  int delayPosition = 0;  // ScrollBarDelay
  int decayPosition = 0;  // ScrollBarDecay
  std::string delayLabel = "Delay:";
  std::string decayLabel = "Decay:";

  // The scroll bars' change events: a position is kept within the bar's range, and a
  // label follows only when the position really changes.
  void scrollBarDelayChange(int position);
  void scrollBarDecayChange(int position);

  // Before the dialog is shown: the bars take the stored values.
  void showFor(const EchoSettings& stored);
  // After OK: the positions become the stored values.
  EchoSettings accepted() const { return {delayPosition, decayPosition}; }
};

// Left or top of a dialog centred over the main window: main + (main - dialog) / 2.
int centredOver(int mainOrigin, int mainExtent, int dialogExtent);

}  // namespace voxloom
