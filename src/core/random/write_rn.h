#pragma once

#include <cstdint>
#include <string>

#include "core/ports/write_rn_dialog.h"

namespace voxloom {

class RandomSources;

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
