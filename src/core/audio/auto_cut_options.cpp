#include "core/audio/auto_cut_options.h"

#include <algorithm>

namespace voxloom {

void AutoCutOptions::thresholdChange(int percent) {
  thresholdPercent = std::clamp(percent, kThresholdMin, kThresholdMax);
  thresholdChoice = kManual;
}

void AutoCutOptions::radioGroupThresholdClick(int item) {
  if (item == kManual || item == kAutomatic) thresholdChoice = item;
}

void AutoCutOptions::frameSizeChange(int ms) {
  frameSizeMs = std::clamp(ms, kFrameSizeMin, kFrameSizeMax);
}

}  // namespace voxloom
