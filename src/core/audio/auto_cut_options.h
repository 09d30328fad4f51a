#pragma once

namespace voxloom {

// What TFormAutoCut ("Auto-cut parameters") holds for the whole run (settings section
// "AUTOCUT"). The window mirrors this state and forwards the user's changes to it.
struct AutoCutOptions {
  static constexpr int kManual = 0;     // item 0: "Set threshold to ... percent"
  static constexpr int kAutomatic = 1;  // item 1: "Determine threshold automatically"
  static constexpr int kThresholdMin = 0;
  static constexpr int kThresholdMax = 100;
  static constexpr int kFrameSizeMin = 1;
  static constexpr int kFrameSizeMax = 100;

  int thresholdPercent = 30;         // CSpinEditThreshold, "ThresholdPercent"
  int thresholdChoice = kAutomatic;  // RadioGroupThreshold item, "ThresholdAutomatically"
  int frameSizeMs = 15;              // CSpinEditFrameSize, "EnvelopeFrameSize"

  // CSpinEditThreshold's change: the value is kept within 0..100 and choosing a value
  // (or clicking the spin edit) selects item 0.
  void thresholdChange(int percent);
  void thresholdClick() { thresholdChoice = kManual; }
  void radioGroupThresholdClick(int item);
  void frameSizeChange(int ms);

  bool automatic() const { return thresholdChoice == kAutomatic; }
};

}  // namespace voxloom
