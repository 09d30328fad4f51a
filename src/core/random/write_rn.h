#pragma once

#include <cstdint>
#include <string>

namespace voxloom {

class RandomSources;

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

enum class WriteRnResult {
  Written,    // every value was written
  Cancelled,  // a dialog or the Retry/Cancel question was cancelled; nothing written
  Stopped,    // the source failed during the run; the lines drawn before are in the file
};

// "&Write RN to a file...": asks for the count and the file, then writes.
WriteRnResult writeRandomNumbers(RandomSources& sources, WriteRnDialogState& state,
                                 WriteRnDialog& dialog, bool useSeparateFolders);
// Draws `total` values into `path`, one raw value a line, as the log writes them. The
// file takes the target's place only when the run ends (Written or Stopped); a run ended
// by a signal, or a file that could not be written whole, leaves the target as it was.
WriteRnResult writeRandomNumbersTo(RandomSources& sources, const std::string& path,
                                   std::int32_t total);

inline constexpr const char* kWriteRnTitle = "Write random numbers to file...";
std::string cannotOpenWriteRnText(const std::string& path);

}  // namespace voxloom
