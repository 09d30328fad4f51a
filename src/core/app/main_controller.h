#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/app/app_services.h"
#include "core/app/window_arguments.h"
#include "core/ports/view.h"

namespace voxloom {

inline constexpr const char* kWebSiteUrl = "https://voxloom.org/";
inline constexpr const char* kMixerProgram = "pavucontrol";

// The main window's side of the services: start-up, the close query, the end by a
// signal, and the help commands. The window forwards events here and shows the state
// the services hold.
class MainController {
 public:
  MainController(Prompter& prompter, Shell& shell);

  AppServices services;

  void setView(View* view) { services.relay.attach(view); }
  void setEffectDialogs(EffectDialogs* dialogs) { services.document.setEffectDialogs(dialogs); }

  // The services' state under the names the window and the tests use.
  AudioDocument& document = services.document.document;
  const int& commandState = services.states.state();
  const CommandView& commands = services.states.commands();
  bool& liveMode = services.states.liveMode;
  bool mainWindowOpen = true;
  std::string& sourceWavFolder = services.document.folders.sourceWav;
  std::string& sessionFolder = services.document.folders.session;
  std::string& lastRandomFileFolder = services.document.folders.randomFile;
  std::string& lastWavFile = services.document.folders.lastWavFile;
  bool& useSeparateFolders = services.document.folders.useSeparate;
  bool& autoOpenLastWavFile = services.document.folders.autoOpenLastWavFile;
  bool& saveSettingsOnExit = services.settings.saveOnExit;
  bool& restoreWindowPosition = services.settings.restoreWindowPosition;
  EffectState& effects = services.document.effects;
  SignalView& signalView = services.document.signalView;
  std::string& programFolder = services.programFolder;
  PlaybackParts& playback = services.playback.parts;
  SessionController& sessions = services.sessions.sessions;
  RecordingEngine& recording = services.recording.engine;
  SpeedControl& speed = services.playback.speed;
  VisualFeedback& feedback = services.playback.feedback;
  LiveSource& live = services.playback.live;
  Settings& settings = services.settings.settings;
  DeviceLists& devices = services.settings.devices;
  std::string& settingsPath = services.settings.path;

  // Start-up once the window is first shown: enter idle, open the files named on the
  // command line in order, reopen the last WAV file if so configured.
  void startUp(const std::vector<std::string>& files);
  // Its two halves, for a window that enters idle at once but shows the messages of
  // opening files only once it is on the screen.
  void enterIdle();
  void openStartUpFiles(const std::vector<std::string>& files);
  // The close query: true when the window may close.
  bool closeQuery();

  // Where unsaved work is kept when a signal ends the program; empty: nowhere.
  std::string recoveryFolder;
  // The end by SIGTERM, SIGINT or SIGHUP: stops any run and closes the devices as a
  // normal exit does, but asks nothing and keeps a modified document and an unsaved
  // session as recovery copies. False when a copy could not be written.
  bool endBySignal();
  // At start-up: offers the copies an earlier run left; Yes restores them as unsaved
  // work, No deletes them.
  void offerRecovery();

  // Help and tool commands.
  std::string manualPath() const;
  std::string quickstartPath() const;
  // Shows a bundled help page in the program's own window, with a note saying why and
  // where the file is; used when the desktop cannot open what was asked for.
  std::function<void(const std::string& path, const std::string& note)> showHelpPage;
  void showManual();
  void showQuickstart();
  void openWebSite();
  bool mixerAvailable();
  void openMixer(bool recordingDevices);

  // The commands, as the services carry them out.
  void setCommandState(int state) { services.states.set(state); }
  void onRunEvent(RunEvent event) { services.states.onRunEvent(event); }
  void openFileByType(const std::string& path) { services.openFileByType(path); }
  void openWavFile(const std::string& path) { services.openWavFile(path); }
  int readWavFile(const std::string& path) { return services.readWavFile(path); }
  int saveDocument(bool askFirst) { return services.saveDocument(askFirst); }
  int writeWavFile(const std::string& path, int source) {
    return services.writeWavFile(path, source);
  }
  bool discardDocumentIfAllowed() { return services.discardDocumentIfAllowed(); }
  EffectResult reverseSignal() { return services.document.reverseSignal(); }
  EffectResult addEcho() { return services.document.addEcho(); }
  EffectResult normalizeSignal() { return services.document.normalizeSignal(); }
  EffectResult autoCut() { return services.document.autoCut(); }
  bool labelsAvailable() const { return services.document.labelsAvailable(); }
  int importLabels() { return services.document.importLabels(); }
  int exportLabels() { return services.document.exportLabels(); }

  void attachPlayback(WaveOut& device, EventLoop& loop, OneShotTimer* timer) {
    services.attachPlayback(device, loop, timer);
  }
  void seedRandom(std::uint64_t seed) { services.random.seed(seed); }
  void playDocument() { services.playback.play(); }
  void makeEvp() { services.playback.makeEvp(); }
  void togglePause() { services.playback.togglePause(); }
  void stopPlayback() { services.playback.stop(); }
  void toggleRandomLog() { services.playback.toggleRandomLog(); }
  void closeManualRandom() { services.playback.closeManualRandom(); }
  void stopAndDrain() { services.playback.stopAndDrain(); }
  void playSessionRecords(std::int32_t first, std::int32_t n) {
    services.playback.playRecords(sessions.session, first, n);
  }
  void playSession();     // ButtonSessionPlay, MenuSessionPlay: every record
  void playCurrentEvp();  // ButtonSessionPlaySeq, MenuSessionEVP: the current record
  void stopSessionPlay() { services.playback.stopReplay(); }

  void attachRecording(WaveIn& device, EventLoop& loop, OneShotTimer* levelDecay) {
    services.attachRecording(device, loop, levelDecay);
  }
  void startRecording() { services.recording.start(); }
  void drainRecording() { services.recording.drain(); }

  void attachLive(WaveIn& device, EventLoop& loop) { services.attachLive(device, loop); }
  void changeSpeedSlider(int position) { services.playback.changeSpeedSlider(position); }
  void setPlaybackSpeed(int percent) { services.playback.setSpeed(percent); }
  void showSegment(std::int32_t segmentNumber) { services.playback.showSegment(segmentNumber); }
  void toggleSpeedWindow() { services.playback.toggleSpeedWindow(); }
  void toggleFeedbackWindow() { services.playback.toggleFeedbackWindow(); }
  void toggleLiveMode() { services.playback.toggleLiveMode(); }
  bool setLiveMode(bool on) { return services.playback.setLiveMode(on); }

  void loadSettings() { services.loadSettings(); }
  // Writes the file; with `report` a failure shows its message.
  bool saveSettings(bool report) { return services.settings.save(report); }
  void saveSettingsNow();  // ButtonSaveNow
  void applyDeviceChoices() { services.applyDeviceChoices(); }

 private:
  void openHelp(const std::string& target, const std::string& bundledPage);

  Prompter& prompter_;
  Shell& shell_;
};

}  // namespace voxloom
