// Export of the current EVP and the hand-off to an external WAV editor.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/ports/refuse_clash.h"
#include "core/session/session_controller.h"
#include "core/session/session_export.h"
#include "core/util/output_guard.h"

namespace voxloom {

namespace {

constexpr const char* kScratchFileName = "voxloom.wav";

bool isFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

// A folder that is this user's alone: nobody else can plant or replace a file in it.
bool isPrivateFolder(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
         (info.st_mode & 077) == 0;
}

}  // namespace

std::string SessionController::exportFileName() const {
  return voxloom::exportFileName(session);
}

int SessionController::writeEvpWavFile(const std::string& path) {
  const EvpRecord* record = session.current();
  if (record == nullptr) return 1;
  const WavWriteStatus status = [&] {
    BusyGuard busy(host_.prompter);
    return writeEvpWav(path, host_.document, *record, session.wavPath, host_.fadeMode);
  }();
  if (status == WavWriteStatus::Written) return 0;
  host_.prompter.error(wavWriteFailureText(status, path));
  return 1;
}

void SessionController::exportEvpAsWav() {
  if (session.count() == 0) return;
  FileDialogSpec spec;
  spec.title = "Export current sequence as WAV file...";
  spec.filter = "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*";
  spec.defaultExtension = "*.wav";
  spec.fileName = exportFileName();
  spec.confirmOverwrite = true;
  if (host_.useSeparateFolders) spec.initialFolder = outputWavFolder;
  const auto chosen = host_.prompter.chooseSaveFile(spec);
  if (!chosen) return;
  outputWavFolder = folderPart(*chosen);
  OutputGuard files;
  files.input("session", session.fileName);
  files.input("session's WAV file", session.wavPath);
  files.input("open WAV file", host_.document.path);
  files.output("exported WAV file", *chosen);
  if (refuseClash(files, host_.prompter)) return;
  writeEvpWavFile(*chosen);
}

std::string SessionController::scratchFolder() const {
  const std::string user = withSlash(host_.programFolder) + "user";
  if (!host_.programFolder.empty() && isFolder(user)) return user + "/";
  // Otherwise a folder of this user's own: a fixed name in the shared temporary folder
  // could be taken first by another user and make every hand-off fail.
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/') {
    const std::string folder = std::string(runtime) + "/voxloom";
    ::mkdir(folder.c_str(), 0700);  // there already is fine, if it is private
    if (isPrivateFolder(folder)) return folder + "/";
  }
  if (!isPrivateFolder(privateScratchFolder_)) {
    std::error_code error;
    const std::string temp = std::filesystem::temp_directory_path(error).string();
    if (error || !isFolder(temp)) return {};  // the working folder
    std::string pattern = withSlash(temp) + "voxloom-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return {};
    privateScratchFolder_ = pattern;  // kept: the editor may read the file after we end
  }
  return privateScratchFolder_ + "/";
}

void SessionController::openEvpInEditor() {
  if (session.count() == 0) return;
  const std::string path = scratchFolder() + kScratchFileName;
  if (writeEvpWavFile(path) != 0) return;
  // The editor gets the path as its one argument, never through a shell.
  if (!editorPath.empty())
    host_.shell.startProgram(editorPath, path);
  else
    host_.shell.openDocument(path);
}

void SessionController::selectEditor() {
  FileDialogSpec spec;
  spec.title = "Select WAV editor...";
  // Programs on Linux have no extension, so every file is offered.
  spec.filter = "All Files|*";
  spec.initialFolder = folderPart(editorPath);
  spec.fileName = fileNamePart(editorPath);
  if (const auto chosen = host_.prompter.chooseOpenFile(spec)) editorPath = *chosen;
}

}  // namespace voxloom
