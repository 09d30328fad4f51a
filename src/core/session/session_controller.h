#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/ports/clock.h"
#include "core/ports/prompter.h"
#include "core/ports/question_prompt.h"
#include "core/ports/shell.h"
#include "core/session/record_trace.h"
#include "core/session/session.h"
#include "core/session/session_file.h"
#include "core/session/session_panel.h"

namespace voxloom {

// Loads the session's WAV file as the Open command does.
class SessionWavLoader {
 public:
  virtual ~SessionWavLoader() = default;
  // 0 when the file was loaded.
  virtual int loadSessionWav(const std::string& path) = 0;
};

// What the session needs from the main window's logic: its ports, the document, the
// remembered folders and options it shares, and the WAV import.
struct SessionHost {
  Prompter& prompter;
  Shell& shell;
  Clock* clock;  // never null
  AudioDocument& document;
  std::string& sessionFolder;
  std::string& sourceWavFolder;
  const bool& useSeparateFolders;
  const bool& liveMode;
  const std::string& programFolder;
  SessionWavLoader& wavLoader;
  // The question an EVP is captured for (TFormSessionEdit).
  QuestionPrompt& questions;
  // The cross-fade shape that export renders with (the engine's current one).
  const int& fadeMode;
};

inline constexpr const char* kSessionFilter =
    "Voxloom session files (*.evp)|*.evp|All Files (*.*)|*.*";
inline constexpr const char* kInvalidSessionText = "Invalid session file.";
inline constexpr const char* kQuestionPromptText = "Please enter your comment or question:";

// The open session and the logic of the session panel: open, save, close, navigation,
// editing, capture of generated EVPs, export and the external editor.
class SessionController {
 public:
  explicit SessionController(SessionHost host) : host_(std::move(host)) {}

  // Tests set the time by hand.
  void setClock(Clock& clock) { host_.clock = &clock; }

  Session session;
  SessionPanel panel;
  std::string outputWavFolder;  // setting OutputWavFiles
  std::string editorPath;       // setting EditorPath; empty: the desktop's default
  // Version of the file last read by openSession.
  SessionVersion lastReadVersion = SessionVersion::V2_0;
  // Whether replay exists in this build; without it Play, EVP and Stop stay disabled.
  bool replayAvailable = false;

  // Called after the panel state changed.
  std::function<void()> onChanged;

  void openSession(const std::string& path);
  int saveSession(bool askFirst);
  int closeSession();
  // Asks whether to save a changed session before it is closed, and changes nothing:
  // Ok when there is nothing to ask, otherwise Yes, No or Cancel.
  Answer askToSaveSession();

  void refreshSessionDisplay();
  void updateSessionControls(int mode);
  // The command state's switch into session replay enables Stop and the memo again.
  void showReplayControls();

  void toggleRecordMode();
  void previousEvp();
  void nextEvp();
  void questionEdited(const std::string& text);
  void answerEdited(const std::string& text);

  // Capture, called by the generation.
  bool beginEvpCapture();
  void appendSegmentEntry(std::int32_t start, std::int32_t length, std::int32_t serial,
                          const std::string& label, bool fade, std::int32_t segmentNumber);
  void finishEvpCapture(std::int32_t blocksQueued, std::int32_t queueDepth);
  // The provenance of a block whose entry was just appended, and the source's health
  // once the run has ended (before finishEvpCapture).
  void appendProvenance(ProvenanceBlock block);
  void noteCaptureHealth(RecordHealth health);
  // Whether the current record's provenance is known (it was captured in this run).
  bool currentHasProvenance() const;
  // Saves the current record's provenance as JSON lines, asking for the file name.
  void exportProvenance();
  // The machine listener's words for the record at `index`, if it is still the record
  // of `dateTime`; they are written beside a saved session at once. False when the
  // record is gone.
  bool keepHeardWords(std::int32_t index, const std::string& dateTime,
                      std::vector<HeardWord> words);

  // Export and editor (session_editor.cpp).
  std::string exportFileName() const;
  // Writes the current EVP; 0 on success, 1 after the writer's message.
  int writeEvpWavFile(const std::string& path);
  void exportEvpAsWav();
  void openEvpInEditor();
  // The folder of the editor's scratch file, with a trailing '/' (empty: working folder):
  // the program's "user" folder, else $XDG_RUNTIME_DIR/voxloom, else a private folder
  // made once under the system's temporary folder.
  std::string scratchFolder() const;
  void selectEditor();
  void useDefaultEditor() { editorPath.clear(); }

 private:
  bool reportLoadedWav();
  void clearSession();
  void readHealthSidecar();
  void writeHealthSidecar(const std::string& sessionPath);
  void readListenSidecar();
  bool writeListenSidecar(const std::string& sessionPath);
  void changed() {
    if (onChanged) onChanged();
  }

  SessionHost host_;
  int lastMode_ = 0;
  mutable std::string privateScratchFolder_;
  std::shared_ptr<RecordTrace> captureTrace_;  // the running capture's, shared with its record  //
                                               // made on the first hand-off that needs it
};

}  // namespace voxloom
