#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/session/session.h"
#include "core/util/replace_file.h"  // writeFileAtomically

namespace voxloom {

enum class SessionVersion { V1_0, V1_6, V2_0 };

// "1.0", "1.6" or "2.0".
const char* versionText(SessionVersion version);

inline constexpr const char* kSessionHeader =
    "# Voxloom 2.0 session file - do not edit unless you know exactly what you do!";
inline constexpr const char* kNextSequenceMarker = "[NextSequence]";
inline constexpr const char* kFadeTag = "[FADE]";

struct SessionFileContent {
  bool valid = false;  // false: the header names no known version
  SessionVersion version = SessionVersion::V2_0;
  std::string wavPath;
  std::vector<EvpRecord> records;
};

// Takes a session file apart. Texts are returned as UTF-8 (bytes that are not valid
// UTF-8 are read as Windows-1252). Entry lines before the first marker belong to no
// record and are skipped.
SessionFileContent parseSessionText(std::string_view text);

// One entry line without its line feed, as the program writes it.
EvpSegmentEntry parseEntryLine(std::string_view line, SessionVersion version);

// The whole file in version 2.0, byte for byte as it is saved.
std::string formatSessionText(const std::string& wavPath, const std::vector<EvpRecord>& records);

}  // namespace voxloom
