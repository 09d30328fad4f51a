#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/app/command_state.h"
#include "core/app/effect_commands.h"
#include "core/app/playback_parts.h"
#include "core/audio/audio_document.h"
#include "core/engine/recording_engine.h"  // recording
#include "core/ports/prompter.h"
#include "core/ports/shell.h"
#include "core/ports/view.h"
#include "core/session/session_controller.h"
#include "core/session/system_clock.h"
#include "core/settings/device_lists.h"
#include "core/settings/settings.h"

namespace voxloom {

// Options the window program takes before its file arguments.
struct WindowArguments {
  std::optional<std::uint64_t> seed;
  std::optional<std::string> settingsPath;
  std::vector<std::string> files;
  std::string error;  // non-empty: the arguments could not be understood
};
WindowArguments parseWindowArguments(const std::vector<std::string>& args);

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

  // Where the program lives: help files are looked up below it.
  std::string programFolder;

  // Start-up once the window is first shown: enter idle, open the files named on the
  // command line in order, reopen the last WAV file if so configured.
  void startUp(const std::vector<std::string>& files);

  void setCommandState(int state);
  void openFileByType(const std::string& path);
  void openWavFile(const std::string& path);
  int readWavFile(const std::string& path);
  int saveDocument(bool askFirst);
  int writeWavFile(const std::string& path, int source);
  bool discardDocumentIfAllowed();  // true: cancelled
  // The close query: true when the window may close.
  bool closeQuery();

  // Help and tool commands.
  std::string manualPath() const;
  std::string quickstartPath() const;
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

  // Whether a command's subsystem exists in this build; the others stay disabled.
  static bool isBuilt(Command command);

 private:
  void notify(ViewAspect aspect) {
    if (view_ != nullptr) view_->changed(aspect);
  }

  Prompter& prompter_;
  Shell& shell_;
  View* view_ = nullptr;
  EffectDialogs* effectDialogs_ = nullptr;
  EffectCommandContext effectContext(Command command);

  // --- Sessions (core/session/session_controller.h) ---
  SystemClock systemClock_;

 public:
  SessionController sessions{
      SessionHost{prompter_, shell_, &systemClock_, document, sessionFolder, sourceWavFolder,
                  useSeparateFolders, liveMode, programFolder,
                  [this](const std::string& path) { return readWavFile(path); }}};
  // --- end of sessions ---

  // --- Recording (main_controller_recording.cpp, core/engine/recording_engine.h) ---
  RecordingEngine recording{document, prompter_, commandState};
  // The window program's input device; without one Record does nothing.
  void attachRecording(WaveIn& device, EventLoop& loop, OneShotTimer* levelDecay);
  void startRecording();  // ButtonRecord, MenuFileRecord, F4
  // Stops a running recording and waits, bounded, until it has ended.
  void drainRecording();

 private:
  EventLoop* recordingLoop_ = nullptr;
  // --- end of recording ---

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
