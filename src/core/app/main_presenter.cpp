#include "core/app/main_presenter.h"

#include <sys/stat.h>

namespace voxloom {

namespace {

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

MainPresenter::MainPresenter(AppServices& services, Prompter& prompter, Shell& shell)
    : services_(services), prompter_(prompter), shell_(shell) {
  services_.states.follow(*this);
}

void MainPresenter::startUp(const std::vector<std::string>& files) {
  enterIdle();
  openStartUpFiles(files);
}

void MainPresenter::enterIdle() {
  services_.loadSettings();  // ends by selecting the stored random source
  services_.playback.startUpToolWindows();
  services_.states.set(kStateIdle);
  services_.sessions.sessions.refreshSessionDisplay();
}

void MainPresenter::openStartUpFiles(const std::vector<std::string>& files) {
  const bool restored = offerRecovery();
  for (const std::string& file : files) {
    if (!mainWindowOpen) return;  // ended by a signal meanwhile
    services_.openFileByType(file);
  }
  const RememberedFolders& folders = services_.document.folders;
  // Reopening the last file would ask to throw restored work away.
  if (!restored && mainWindowOpen && folders.autoOpenLastWavFile && !folders.lastWavFile.empty() &&
      fileExists(folders.lastWavFile))
    services_.openWavFile(folders.lastWavFile);
}

bool MainPresenter::closeQuery() {
  services_.playback.stopAndDrain();
  services_.playback.leaveLiveMode();
  services_.document.folders.lastWavFile = services_.document.document.path;
  if (services_.discardDocumentIfAllowed()) return false;
  mainWindowOpen = false;
  services_.playback.closeToolWindows();
  // A failure at exit is not reported.
  if (services_.settings.saveOnExit) services_.settings.save(false);
  return true;
}

void MainPresenter::saveSettingsNow() {
  services_.document.folders.lastWavFile = services_.document.document.path;
  services_.settings.save(true);
}

void MainPresenter::playSession() {
  const Session& session = services_.sessions.sessions.session;
  if (session.count() > 0) services_.playback.playRecords(session, 0, session.count());
}

void MainPresenter::playCurrentEvp() {
  const Session& session = services_.sessions.sessions.session;
  if (session.count() > 0) services_.playback.playRecords(session, session.currentIndex, 1);
}

// Beside the program in a build tree; under share/voxloom/help once installed (not
// share/doc, which an administrator may leave out).
static std::string helpFile(const std::string& programFolder, const std::string& name) {
  const std::string beside = programFolder + "/docs/" + name;
  const std::string installed = programFolder + "/../share/voxloom/help/" + name;
  return !fileExists(beside) && fileExists(installed) ? installed : beside;
}
std::string MainPresenter::manualPath() const {
  return helpFile(services_.programFolder, "manual.html");
}
std::string MainPresenter::quickstartPath() const {
  return helpFile(services_.programFolder, "quickstart.html");
}
void MainPresenter::showManual() {
  openHelp(manualPath(), manualPath());
}
void MainPresenter::showQuickstart() {
  openHelp(quickstartPath(), quickstartPath());
}
void MainPresenter::openWebSite() {
  openHelp(kWebSiteUrl, manualPath());
}
void MainPresenter::openHelp(const std::string& target, const std::string& bundledPage) {
  if (shell_.openDocument(target)) return;
  // Without a desktop launcher the help still has to be readable somewhere.
  if (!fileExists(bundledPage)) {
    prompter_.error("Can't open help file '" + bundledPage + "'.");
    return;
  }
  if (!showHelpPage) return;
  const std::string where = " The file is " + bundledPage + ".";
  const std::string note =
      target == bundledPage
          ? "The desktop could not open this page, so it is shown here." + where
          : "The desktop could not open " + target + ", so the manual is shown instead." + where;
  showHelpPage(bundledPage, note);
}
bool MainPresenter::mixerAvailable() {
  return shell_.programExists(kMixerProgram);
}
void MainPresenter::openMixer(bool recordingDevices) {
  // pavucontrol's tabs: 1 playback streams, 4 input devices.
  shell_.startProgram(kMixerProgram, recordingDevices ? "--tab=4" : "--tab=1");
}

}  // namespace voxloom
