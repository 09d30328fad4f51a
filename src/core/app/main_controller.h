#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/command_state.h"
#include "core/app/effect_commands.h"
#include "core/app/playback_parts.h"
#include "core/audio/audio_document.h"
#include "core/engine/live_source.h"       // live source
#include "core/engine/recording_engine.h"  // recording
#include "core/engine/speed_control.h"     // speed control
#include "core/engine/visual_feedback.h"   // visual feedback
#include "core/ports/prompter.h"
#include "core/ports/shell.h"
#include "core/ports/view.h"
#include "core/session/session_controller.h"
#include "core/session/system_clock.h"
#include "core/settings/device_lists.h"
#include "core/settings/settings.h"
#include "core/view/signal_view.h"

namespace voxloom {

// Options the window program takes before its file arguments.
struct WindowArguments {
  std::optional<std::uint64_t> seed;
  std::optional<std::string> settingsPath;
  std::vector<std::string> files;
  bool help = false;     // --help: print the usage and end
  bool version = false;  // --version: print the version and end
  std::string error;     // non-empty: the arguments could not be understood
};
WindowArguments parseWindowArguments(const std::vector<std::string>& args);
// What `voxloom --help` prints.
std::string windowUsageText();

inline constexpr const char* kWavFilter = "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*";
inline constexpr const char* kUnknownFiletypeText =
    "Unknown filetype. Voxloom does accept only the\nfollowing types of files: EVP session files "
    "(*.evp),\nWAV files (*.wav), and Random Source files (*.pcm)";

// The logic of the main window: it owns the document and the state the window shows,
// and carries out the commands. The window only forwards events and shows this state.
class MainController {
 public:
  MainController(Prompter& prompter, Shell& shell);

  void setView(View* view) { view_ = view; }
  void setEffectDialogs(EffectDialogs* dialogs) { effectDialogs_ = dialogs; }

  // The owned objects and the state the window shows.
  AudioDocument document;
  int commandState = kStateNone;
  CommandView commands;
  bool liveMode = false;  // MenuExtrasLive
  bool mainWindowOpen = true;

  // Remembered folders and files.
  std::string sourceWavFolder;
  std::string sessionFolder;
  std::string lastRandomFileFolder;
  std::string lastWavFile;

  // Options of the settings dialog that this part of the program consults.
  bool useSeparateFolders = false;     // CheckBoxUseSeparateFolders
  bool autoOpenLastWavFile = false;    // CheckBoxAutoOpenLastWavFile
  bool saveSettingsOnExit = true;      // CheckBoxSaveOnExit
  bool restoreWindowPosition = false;  // CheckBoxRestWinPos

  EffectState effects;  // echo parameters, the echo and auto-cut dialogs
  // The waveform view's state (after the document: its worker stops first).
  SignalView signalView{document, commandState};

  // Where the program lives: help files are looked up below it.
  std::string programFolder;

  // Start-up once the window is first shown: enter idle, open the files named on the
  // command line in order, reopen the last WAV file if so configured.
  void startUp(const std::vector<std::string>& files);
  // Its two halves, for a window that enters idle at once but shows the messages of
  // opening files only once it is on the screen.
  void enterIdle();
  void openStartUpFiles(const std::vector<std::string>& files);

  void setCommandState(int state);
  // What the engines and the live source report: the command state and the commands
  // follow.
  void onRunEvent(RunEvent event);
  void openFileByType(const std::string& path);
  void openWavFile(const std::string& path);
  int readWavFile(const std::string& path);
  int saveDocument(bool askFirst);
  int writeWavFile(const std::string& path, int source);
  // Closes the session and the document after asking about unsaved changes; every question
  // is answered before anything is discarded. True: cancelled, everything kept.
  bool discardDocumentIfAllowed();
  // The close query: true when the window may close.
  bool closeQuery();

  // --- Recovery copies (main_controller_recovery.cpp, recovery.h) ---
  // Where unsaved work is kept when a signal ends the program; empty: nowhere.
  std::string recoveryFolder;
  // The end by SIGTERM, SIGINT or SIGHUP: stops any run and closes the devices as a
  // normal exit does, but asks nothing and keeps a modified document and an unsaved
  // session as recovery copies. False when a copy could not be written.
  bool endBySignal();
  // At start-up: offers the copies an earlier run left; Yes restores them as unsaved
  // work, No deletes them. True when work was restored.
  bool offerRecovery();

 private:
  // Restored work keeps its copies until it is saved or deliberately discarded.
  void settleRecovery();
  bool recoveryRestored_ = false;

 public:
  // --- end of recovery ---

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

  // The Extras menu's effects (effect_commands.h); each does nothing while disabled.
  EffectResult reverseSignal();
  EffectResult addEcho();
  EffectResult normalizeSignal();
  EffectResult autoCut();

  // File menu: the cues as a label track and back (main_controller_labels.cpp); only
  // when idle with a loaded file.
  bool labelsAvailable() const;
  int importLabels();
  int exportLabels();

  // --- Playback and Make EVP (playback_parts.h, playback_engine.h) ---
  PlaybackParts playback;
  // The window program's device; without one the play commands do nothing.
  void attachPlayback(WaveOut& device, EventLoop& loop, OneShotTimer* timer);
  void seedRandom(std::uint64_t seed);
  void playDocument();
  void makeEvp();
  void togglePause();
  void stopPlayback();
  void toggleRandomLog();
  // The user closed TFormManualRandom: it stays hidden; an EVP made with it stops.
  void closeManualRandom();
  // Stops any run and waits, bounded, until the device has returned every block.
  void stopAndDrain();
  // --- end of playback ---

  // --- Session replay (session_replay.h) ---
  // Replays `n` records from the record at index `first`; only when idle.
  void playSessionRecords(std::int32_t first, std::int32_t n);
  void playSession();      // ButtonSessionPlay, MenuSessionPlay: every record
  void playCurrentEvp();   // ButtonSessionPlaySeq, MenuSessionEVP: the current record
  void stopSessionPlay();  // ButtonSessionStop, MenuSessionStop; only during a replay

  // --- end of session replay ---

 private:
  void notify(ViewAspect aspect) {
    if (view_ != nullptr) view_->changed(aspect);
  }

  Prompter& prompter_;
  Shell& shell_;
  View* view_ = nullptr;
  EffectDialogs* effectDialogs_ = nullptr;
  EffectCommandContext effectContext(Command command);
  Answer askToSaveDocument();
  void openHelp(const std::string& target, const std::string& bundledPage);

  // --- Sessions (core/session/session_controller.h) ---
  SystemClock systemClock_;

 public:
  SessionController sessions{
      SessionHost{prompter_, shell_, &systemClock_, document, sessionFolder, sourceWavFolder,
                  useSeparateFolders, liveMode, programFolder,
                  [this](const std::string& path) { return readWavFile(path); }}};
  // --- end of sessions ---

  // --- Recording (main_controller_recording.cpp, core/engine/recording_engine.h) ---
  RecordingEngine recording{document, prompter_, commandState,
                            [this](RunEvent event) { onRunEvent(event); }};
  // The window program's input device; without one Record does nothing.
  void attachRecording(WaveIn& device, EventLoop& loop, OneShotTimer* levelDecay);
  void startRecording();  // ButtonRecord, MenuFileRecord, F4
  // Stops a running recording and waits, bounded, until it has ended.
  void drainRecording();

 private:
  EventLoop* recordingLoop_ = nullptr;
  // --- end of recording ---

  // --- Speed control, visual feedback, live source (main_controller_live.cpp) ---
 public:
  SpeedControl speed;       // TFormSpeedControlWindow
  VisualFeedback feedback;  // TFormVisualFeedbackWindow
  LiveSource live{document, prompter_, [this](RunEvent event) { onRunEvent(event); }, liveMode,
                  recording.params};
  // The window program's live input device; without one the live mode stays off.
  void attachLive(WaveIn& device, EventLoop& loop);
  void changeSpeedSlider(int position);  // TrackBarSpeedChange
  void setPlaybackSpeed(int percent);
  void showSegment(std::int32_t segmentNumber);
  void toggleSpeedWindow();     // MenuExtrasSpeedControlWindow
  void toggleFeedbackWindow();  // MenuExtrasVisualFeedbackWindow
  void toggleLiveMode();        // MenuExtrasLive
  bool setLiveMode(bool on);

 private:
  void startUpToolWindows();
  void connectFeedback(PlaybackEngine& engine);
  // Switches live input off and delivers what its device hands back (close query).
  void leaveLiveMode();
  void closeToolWindows();
  EventLoop* liveLoop_ = nullptr;
  // --- end of speed control, visual feedback, live source ---
  // --- Settings (settings_bindings.cpp, core/settings/) ---
 public:
  Settings settings;
  DeviceLists devices;       // the settings dialog's device lists
  std::string settingsPath;  // empty: settings are neither read nor written
  // Binds every key to its owner; the window binds the values only it knows.
  void bindSettings();
  void loadSettings();
  // Writes the file; with `report` a failure shows its message.
  bool saveSettings(bool report);
  void saveSettingsNow();  // ButtonSaveNow
  // The device choices reach the engines that open devices.
  void applyDeviceChoices();

 private:
  int storedRandomKind() const;
  void selectStoredRandomSource();
  int requestedRandomKind_ = -1;  // the stored kind while it could not be selected
  int kindAfterLoad_ = -1;
  // --- end of settings ---
};

inline constexpr const char* kWebSiteUrl = "https://voxloom.org/";
inline constexpr const char* kMixerProgram = "pavucontrol";

}  // namespace voxloom
