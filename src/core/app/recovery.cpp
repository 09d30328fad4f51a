#include "core/app/recovery.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/audio/wav_writer.h"
#include "core/session/session_file.h"
#include "core/util/text_line_reader.h"

namespace voxloom {

namespace {

// The origin file: one "document\t<path>" and/or "session\t<path>" line per copy.
constexpr const char* kDocumentKey = "document\t";
constexpr const char* kSessionKey = "session\t";

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool makePrivateFolder(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return false;
  // Other users must not read unsaved recordings.
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace, ec);
  return std::filesystem::is_directory(folder, ec);
}

// The next start may run elsewhere, and a restored session must find its WAV file under
// the same full path that the session stores.
std::string fullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error || path.empty() ? path : absolute.lexically_normal().string();
}

}  // namespace

std::string defaultRecoveryFolder(const char* xdgStateHome, const char* home) {
  if (xdgStateHome != nullptr && xdgStateHome[0] == '/')
    return std::string(xdgStateHome) + "/voxloom/recovery";
  if (home != nullptr && home[0] == '/')
    return std::string(home) + "/.local/state/voxloom/recovery";
  return {};
}

bool hasUnsavedWork(const AudioDocument& document, const Session& session) {
  return (document.isLoaded && document.isModified) || (session.count() > 0 && session.isModified);
}

bool RecoveryStore::save(AudioDocument& document, const Session& session) {
  const bool saveDocument = document.isLoaded && document.isModified;
  const bool saveSession = session.count() > 0 && session.isModified;
  if (!hasUnsavedWork(document, session)) return true;
  if (folder_.empty() || !makePrivateFolder(folder_)) return false;
  discard();

  bool ok = true;
  std::string origin;
  if (saveDocument) {
    if (writeDocumentWav(documentCopy(), document) == WavWriteStatus::Written)
      origin += kDocumentKey + fullPath(document.path) + "\n";
    else
      ok = false;
  }
  if (saveSession) {
    if (writeFileAtomically(sessionCopy(), formatSessionText(session.wavPath, session.records)))
      origin += kSessionKey + session.fileName + "\n";
    else
      ok = false;
  }
  // The origin file is written last: without it the copies are not offered.
  if (!origin.empty() && !writeFileAtomically(originFile(), origin)) ok = false;
  return ok;
}

RecoveryOrigin RecoveryStore::pending() const {
  RecoveryOrigin origin;
  std::string text;
  if (folder_.empty() || !readWholeTextFile(originFile(), text)) return origin;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(begin, end - begin);
    begin = end + 1;
    if (line.rfind(kDocumentKey, 0) == 0 && isRegularFile(documentCopy())) {
      origin.hasDocument = true;
      origin.documentPath = line.substr(std::char_traits<char>::length(kDocumentKey));
    } else if (line.rfind(kSessionKey, 0) == 0 && isRegularFile(sessionCopy())) {
      origin.hasSession = true;
      origin.sessionPath = line.substr(std::char_traits<char>::length(kSessionKey));
    }
  }
  return origin;
}

void RecoveryStore::discard() const {
  if (folder_.empty()) return;
  for (const std::string& path : {originFile(), documentCopy(), sessionCopy()})
    std::remove(path.c_str());
}

}  // namespace voxloom
