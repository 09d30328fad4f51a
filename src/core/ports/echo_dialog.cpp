#include "core/ports/echo_dialog.h"

#include <algorithm>

namespace voxloom {

void EchoDialogState::scrollBarDelayChange(int position) {
  position = std::clamp(position, 0, kDelayMax);
  if (position == delayPosition) return;
  delayPosition = position;
  delayLabel = "Delay: " + std::to_string(position) + " ms";
}

void EchoDialogState::scrollBarDecayChange(int position) {
  position = std::clamp(position, 0, kDecayMax);
  if (position == decayPosition) return;
  decayPosition = position;
  decayLabel = "Decay: " + std::to_string(position) + " %";
}

void EchoDialogState::showFor(const EchoSettings& stored) {
  scrollBarDelayChange(stored.delayMs);
  scrollBarDecayChange(stored.decayPercent);
}

int centredOver(int mainOrigin, int mainExtent, int dialogExtent) {
  return mainOrigin + (mainExtent - dialogExtent) / 2;
}

}  // namespace voxloom
