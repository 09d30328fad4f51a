#pragma once

#include <string>
#include <vector>

namespace voxloom {

// What TFormParallelPort shows and the user edits.
struct ParallelPortDialogState {
  std::vector<std::string> portList;      // ComboBoxPortAddress items, hexadecimal, sorted
  std::string portAddressText;            // ComboBoxPortAddress text
  int inputLineIndex = 3;                 // ComboBoxInputLine, "13 - Select"
  std::string sampleRateText = "100000";  // EditSampleRate
  int unbiasMethod = 0;                   // RadioGroupUnbias
  bool noPortsText = true;                // LabelErrortext shows "No parallel printer ports found."
};

// TFormParallelPort shown modally; true when closed with OK (the state is kept either way,
// since the dialog's controls are the settings).
class ParallelPortDialog {
 public:
  virtual ~ParallelPortDialog() = default;
  virtual bool askParallelPort(ParallelPortDialogState& state) = 0;
};

}  // namespace voxloom
