#include "core/app/main_controller.h"

#include <sys/stat.h>

namespace voxloom {

namespace {

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

MainController::MainController(Prompter& prompter, Shell& shell)
    : services(prompter, shell), prompter_(prompter), shell_(shell) {}

void MainController::startUp(const std::vector<std::string>& files) {
  enterIdle();
  openStartUpFiles(files);
}

void MainController::enterIdle() {
  services.loadSettings();  // ends by selecting the stored random source
  services.playback.startUpToolWindows();
  services.states.set(kStateIdle);
  sessions.refreshSessionDisplay();
}

void MainController::openStartUpFiles(const std::vector<std::string>& files) {
  offerRecovery();
  for (const std::string& file : files) {
    if (!mainWindowOpen) return;  // ended by a signal meanwhile
    services.openFileByType(file);
  }
  if (autoOpenLastWavFile && !lastWavFile.empty() && fileExists(lastWavFile))
    services.openWavFile(lastWavFile);
}

bool MainController::closeQuery() {
  services.playback.stopAndDrain();
  services.playback.leaveLiveMode();
  lastWavFile = document.path;
  if (services.discardDocumentIfAllowed()) return false;
  mainWindowOpen = false;
  services.playback.closeToolWindows();
  if (saveSettingsOnExit) services.settings.save(false);  // a failure at exit is not reported
  return true;
}

void MainController::saveSettingsNow() {
  lastWavFile = document.path;
  services.settings.save(true);
}

void MainController::playSession() {
  if (sessions.session.count() > 0) playSessionRecords(0, sessions.session.count());
}

void MainController::playCurrentEvp() {
  if (sessions.session.count() > 0) playSessionRecords(sessions.session.currentIndex, 1);
}

// Beside the program in a build tree; under share/doc/voxloom once installed.
static std::string helpFile(const std::string& programFolder, const std::string& name) {
  const std::string beside = programFolder + "/docs/" + name;
  const std::string installed = programFolder + "/../share/doc/voxloom/" + name;
  return !fileExists(beside) && fileExists(installed) ? installed : beside;
}
std::string MainController::manualPath() const {
  return helpFile(programFolder, "manual.html");
}
std::string MainController::quickstartPath() const {
  return helpFile(programFolder, "quickstart.html");
}
void MainController::showManual() {
  openHelp(manualPath(), manualPath());
}
void MainController::showQuickstart() {
  openHelp(quickstartPath(), quickstartPath());
}
void MainController::openWebSite() {
  openHelp(kWebSiteUrl, manualPath());
}
void MainController::openHelp(const std::string& target, const std::string& bundledPage) {
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
bool MainController::mixerAvailable() {
  return shell_.programExists(kMixerProgram);
}
void MainController::openMixer(bool recordingDevices) {
  // pavucontrol's tabs: 1 playback streams, 4 input devices.
  shell_.startProgram(kMixerProgram, recordingDevices ? "--tab=4" : "--tab=1");
}

}  // namespace voxloom
