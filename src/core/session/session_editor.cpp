// Export of the current EVP and the hand-off to an external WAV editor.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/session/session_controller.h"
#include "core/session/session_export.h"

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

}  // namespace

std::string SessionController::exportFileName() const {
  return voxloom::exportFileName(session);
}

int SessionController::writeEvpWavFile(const std::string& path) {
  const EvpRecord* record = session.current();
  if (record == nullptr) return 1;
  const WavWriteStatus status = [&] {
    BusyGuard busy(host_.prompter);
    return writeEvpWav(path, host_.document, *record, session.wavPath, fadeMode ? fadeMode() : 0);
  }();
  switch (status) {
    case WavWriteStatus::Written:
      return 0;
    case WavWriteStatus::CannotOpen:
      host_.prompter.error(cannotOpenForWritingText(path));
      return 1;
    case WavWriteStatus::WriteFailed:
      host_.prompter.error(cannotWriteText(path));
      return 1;
  }
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
  writeEvpWavFile(*chosen);
}

std::string SessionController::scratchFolder() const {
  const std::string user = withSlash(host_.programFolder) + "user";
  if (!host_.programFolder.empty() && isFolder(user)) return user + "/";
  std::error_code error;
  const std::string temp = std::filesystem::temp_directory_path(error).string();
  if (!error && isFolder(temp)) return withSlash(temp);
  return {};  // the working folder
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
