#pragma once

#include <cstdint>

namespace voxloom {

// What TFormWriteRN shows: how many values to write. Keeps its value between uses.
struct WriteRnDialogState {
  static constexpr std::int32_t kMin = 1;
  static constexpr std::int32_t kMax = 1000000;
  static constexpr std::int32_t kStep = 1000;
  std::int32_t samples = 1000;  // CSpinEditSamples

  void timesTen();     // Button10 "x 10"
  void divideByTen();  // Button01 ": 10"
  // A value typed into the spin edit, brought into its range.
  void setSamples(std::int64_t value);
};

// TFormWriteRN shown modally; true when closed with OK.
class WriteRnDialog {
 public:
  virtual ~WriteRnDialog() = default;
  virtual bool askWriteRn(WriteRnDialogState& state) = 0;
};

}  // namespace voxloom
