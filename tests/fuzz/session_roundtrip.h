#pragma once

#include <string>
#include <string_view>

#include "core/session/session_file.h"

namespace voxloom::test {

// Whether saving what was read from `text` keeps every record and entry with its
// numbers, and whether a second save changes nothing more. Texts may change once:
// line breaks become blanks, the reader drops blanks and a label can read as a fade tag.
inline bool sessionSurvivesSaving(std::string_view text) {
  const SessionFileContent read = parseSessionText(text);
  if (!read.valid) return true;
  const std::string saved = formatSessionText(read.wavPath, read.records);
  const SessionFileContent reread = parseSessionText(saved);
  if (!reread.valid || reread.version != SessionVersion::V2_0 ||
      reread.records.size() != read.records.size())
    return false;
  for (std::size_t r = 0; r < read.records.size(); ++r) {
    const auto& before = read.records[r].segments;
    const auto& after = reread.records[r].segments;
    if (before.size() != after.size()) return false;
    for (std::size_t e = 0; e < before.size(); ++e) {
      if (before[e].start != after[e].start || before[e].length != after[e].length ||
          before[e].serial != after[e].serial || before[e].segmentNumber != after[e].segmentNumber)
        return false;
    }
  }
  const std::string savedAgain = formatSessionText(reread.wavPath, reread.records);
  const SessionFileContent third = parseSessionText(savedAgain);
  return formatSessionText(third.wavPath, third.records) == savedAgain;
}

}  // namespace voxloom::test
