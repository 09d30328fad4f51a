#include "cli/session_append.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "core/session/session_file.h"
#include "core/session/session_file_lock.h"
#include "core/util/text_line_reader.h"

namespace voxloom::cli {

namespace {

// Paths compare after making them absolute, so "a.wav" and "./a.wav" are one file.
std::string normalPath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

bool SessionAppend::readRecords(const std::string& path, const std::string& wavPath,
                                std::vector<EvpRecord>& records, std::string& storedWavPath) {
  records.clear();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;  // a new session under this name

  std::string text;
  // An existing file that cannot be read must not be replaced by a new session.
  const TextFileStatus read = readTextFile(path, text, kMaxSessionLineBytes);
  if (read == TextFileStatus::CannotOpen) {
    prompter_.error("Can't open session file '" + path + "'.");
    return false;
  }
  SessionFileContent content;
  if (read == TextFileStatus::Read) content = parseSessionText(text);
  if (!content.valid) {
    prompter_.error(kInvalidSessionText);
    return false;
  }
  // A session lists segments of its own signal only; a session whose records were all
  // removed again has no WAV file yet.
  if (!content.wavPath.empty() && !content.records.empty() &&
      normalPath(content.wavPath) != normalPath(wavPath)) {
    prompter_.error("The session file '" + path + "' belongs to the WAV file '" + content.wavPath +
                    "'.");
    return false;
  }
  if (!content.records.empty()) storedWavPath = content.wavPath;
  records = std::move(content.records);
  return true;
}

bool SessionAppend::open(const std::string& path, const std::string& wavPath) {
  Session& session = sessions_.session;
  session.fileName = path;
  session.wavPath = normalPath(wavPath);
  if (!readRecords(path, wavPath, session.records, session.wavPath)) return false;
  recordsRead_ = session.records.size();
  return true;
}

bool SessionAppend::begin() {
  sessions_.session.recordMode = true;
  return sessions_.beginEvpCapture();
}

void SessionAppend::finish(const std::vector<OfflineEvpEntry>& entries) {
  std::int32_t serial = 0;
  for (const OfflineEvpEntry& e : entries) {
    sessions_.appendSegmentEntry(e.start, e.length, e.serial, e.label, e.fade, e.segmentNumber);
    serial = e.serial;
  }
  // Offline no block is in flight when the run ends: a queue depth of 1 keeps them all.
  sessions_.finishEvpCapture(serial, 1);
}

bool SessionAppend::save() {
  Session& session = sessions_.session;
  const std::string cannotWrite = "Can't open session file '" + session.fileName + "' for writing.";
  SessionFileLock lock;
  if (!lock.lock(session.fileName, kSessionLockTimeout)) {
    prompter_.error(cannotWrite);
    return false;
  }
  // The file as it is now, with what this run added after it.
  std::vector<EvpRecord> records;
  std::string wavPath = session.wavPath;
  if (!readRecords(session.fileName, session.wavPath, records, wavPath)) return false;
  for (std::size_t i = std::min(recordsRead_, session.records.size()); i < session.records.size();
       ++i)
    records.push_back(std::move(session.records[i]));
  session.records = std::move(records);
  session.wavPath = wavPath;
  recordsRead_ = session.records.size();
  if (writeFileAtomically(session.fileName, formatSessionText(session.wavPath, session.records)))
    return true;
  prompter_.error(cannotWrite);
  return false;
}

}  // namespace voxloom::cli
