#include "core/session/session_controller.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/ports/refuse_clash.h"
#include "core/session/record_words.h"
#include "core/session/session_file.h"
#include "core/session/session_file_lock.h"
#include "core/session/session_stamp.h"
#include "core/util/output_guard.h"
#include "core/util/text_line_reader.h"

namespace voxloom {

namespace {

// A session is opened from anywhere later: it stores its WAV file's full path.
std::string storedWavPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error || path.empty() ? path : absolute.lexically_normal().string();
}

constexpr const char* kSessionSaveQuestion =
    "The current session has been changed. Do you want to save the changes?";
constexpr const char* kMissingWavQuestion =
    "The WAV file associated to this session can't be found.\nPerhaps it has been renamed or "
    "moved to another folder.\nDo you want to search for the missing WAV file now?";

std::string cannotWriteSessionText(const std::string& path) {
  return "Can't open session file '" + path + "' for writing.";
}

FileDialogSpec sessionDialog(const char* title) {
  FileDialogSpec spec;
  spec.title = title;
  spec.filter = kSessionFilter;
  spec.defaultExtension = "*.evp";
  return spec;
}

}  // namespace

void SessionController::openSession(const std::string& path) {
  std::string chosen = path;
  if (chosen.empty()) {
    FileDialogSpec spec = sessionDialog("Open new or existing session file...");
    spec.mustExist = false;  // a new name starts a new session under that name
    if (host_.useSeparateFolders) spec.initialFolder = host_.sessionFolder;
    const auto picked = host_.prompter.chooseOpenFile(spec);
    if (!picked) return;
    chosen = *picked;
  }
  host_.sessionFolder = folderPart(chosen);
  if (closeSession() != 0) return;
  session.fileName = chosen;
  refreshSessionDisplay();

  std::string text;
  // A name that cannot be read starts a new, empty session under that name; a device or
  // a line no session holds is no session.
  const TextFileStatus read = readTextFile(chosen, text, kMaxSessionLineBytes);
  if (read == TextFileStatus::CannotOpen) return;
  SessionFileContent content;
  if (read == TextFileStatus::Read) content = parseSessionText(text);
  std::string().swap(text);
  if (!content.valid) {
    session.fileName.clear();
    refreshSessionDisplay();
    host_.prompter.error(kInvalidSessionText);
    return;
  }
  session.wavPath = content.wavPath;
  if (session.wavPath != host_.document.path &&
      host_.wavLoader.loadSessionWav(session.wavPath) != 0) {
    FileDialogSpec spec;
    spec.title = "Open WAV file...";
    spec.filter = "WAV Files (*.wav)|*.wav|All Files (*.*)|*.*";
    spec.defaultExtension = "*.wav";
    // fileNamePart also splits the Windows paths of sessions made on Windows.
    spec.fileName = fileNamePart(session.wavPath);
    if (host_.useSeparateFolders) spec.initialFolder = host_.sourceWavFolder;
    const Answer search = host_.prompter.message("Problem", kMissingWavQuestion,
                                                 MessageIcon::Question, MessageButtons::YesNo);
    std::optional<std::string> picked;
    if (search == Answer::Yes) picked = host_.prompter.chooseOpenFile(spec);
    if (!picked || host_.wavLoader.loadSessionWav(*picked) != 0) {
      session.fileName.clear();
      session.wavPath.clear();
      refreshSessionDisplay();
      return;
    }
    host_.sourceWavFolder = folderPart(*picked);
    session.wavPath = storedWavPath(*picked);
    session.isModified = true;  // so that the new location is saved
  }
  session.records = std::move(content.records);
  readHealthSidecar();
  readListenSidecar();
  lastReadVersion = content.version;
  session.currentIndex = 0;
  refreshSessionDisplay();
  updateSessionControls(0);
}

Answer SessionController::askToSaveSession() {
  if (session.count() == 0 || !session.isModified) return Answer::Ok;
  const Answer a = host_.prompter.message("Warning", kSessionSaveQuestion, MessageIcon::Question,
                                          MessageButtons::YesNoCancel);
  return a == Answer::Yes || a == Answer::No ? a : Answer::Cancel;
}

int SessionController::saveSession(bool askFirst) {
  if (!session.isModified) return 0;
  if (askFirst) {
    const Answer a = host_.prompter.message("Warning", kSessionSaveQuestion, MessageIcon::Question,
                                            MessageButtons::YesNoCancel);
    if (a == Answer::No) {
      session.isModified = false;
      updateSessionControls(0);
      return 0;
    }
    if (a != Answer::Yes) return 1;
  }
  FileDialogSpec spec = sessionDialog("Save session file...");
  if (!session.fileName.empty()) {
    spec.fileName = session.fileName;
  } else if (!session.records.empty()) {
    spec.fileName = stampToFileName(session.records.front().dateTime);
  } else {
    // Every record was removed again: name it after the moment of saving.
    spec.fileName = stampToFileName(stampNow(host_.clock->now()));
  }
  if (host_.useSeparateFolders) spec.initialFolder = host_.sessionFolder;
  const auto chosen = host_.prompter.chooseSaveFile(spec);
  if (!chosen) return 1;
  OutputGuard files;
  files.input("session's WAV file", session.wavPath);
  files.input("open WAV file", host_.document.path);
  files.output("session", *chosen);
  files.output("session's health file", healthSidecarPath(*chosen));
  if (refuseClash(files, host_.prompter)) return 1;

  const std::string text = formatSessionText(session.wavPath, session.records);
  // The lock keeps this write from landing inside another program's read-modify-write
  // (voxloom-cli make-evp --session), which would then drop it.
  const auto writeLocked = [&] {
    SessionFileLock lock;
    return lock.lock(*chosen, kSessionLockTimeout) && writeFileAtomically(*chosen, text);
  };
  while (!writeLocked()) {
    const Answer a = host_.prompter.message("Error", cannotWriteSessionText(*chosen),
                                            MessageIcon::Error, MessageButtons::RetryCancel);
    if (a != Answer::Retry) return 1;
  }
  writeHealthSidecar(*chosen);
  writeListenSidecar(*chosen);
  host_.sessionFolder = folderPart(*chosen);
  session.fileName = *chosen;
  session.isModified = false;
  refreshSessionDisplay();
  updateSessionControls(0);
  return 0;
}

int SessionController::closeSession() {
  if (session.count() == 0) return 0;
  if (saveSession(true) != 0) return 1;
  clearSession();
  refreshSessionDisplay();
  updateSessionControls(0);
  return 0;
}

void SessionController::clearSession() {
  session.records.clear();
  session.records.shrink_to_fit();
  session.fileName.clear();
  session.wavPath.clear();
  session.currentIndex = 0;
  session.isCapturing = false;
  session.recordMode = false;
}

void SessionController::refreshSessionDisplay() {
  panel.recordModeText = session.recordMode ? "Recording" : "";
  panel.recordModeOpaque = session.recordMode;
  const std::int32_t count = session.count();
  panel.sequence =
      std::to_string(count >= 1 ? session.currentIndex + 1 : 0) + "/" + std::to_string(count);
  panel.sessionFile = fileNamePart(session.fileName);
  const EvpRecord* current = session.current();
  if (current == nullptr) {
    panel.dateTime.clear();
    panel.question.clear();
    panel.answer.clear();
    panel.cueLabels.clear();
    panel.heardWords.clear();
  } else {
    panel.dateTime = stampToDisplay(current->dateTime);
    panel.question = current->question;
    panel.answer = current->answer;
    panel.heardWords = heardWordsText(*current);
    panel.cueLabels.clear();
    for (const EvpSegmentEntry& e : current->segments) panel.cueLabels += e.label;
  }
  changed();
}

void SessionController::updateSessionControls(int mode) {
  lastMode_ = mode;
  panel.recordChecked = session.recordMode;
  panel.enabled.fill(false);
  if (mode == 0) {
    const bool any = session.count() > 0;
    const bool live = host_.liveMode;
    panel[SessionControl::ButtonOpenSessionFile] = !live;
    panel[SessionControl::ButtonCloseSessionFile] = any;
    panel[SessionControl::ButtonSaveSessionFile] = session.isModified;
    panel[SessionControl::ButtonSessionRec] =
        host_.document.isLoaded && !host_.document.path.empty() && !live;
    panel[SessionControl::ButtonSessionPlay] = any && replayAvailable;
    panel[SessionControl::ButtonSessionPlaySeq] = any && replayAvailable;
    panel[SessionControl::ButtonSessionWav] = any;
    panel[SessionControl::ButtonSessionEdit] = any;
    panel[SessionControl::ButtonSessionPrev] = any && session.currentIndex > 0;
    panel[SessionControl::ButtonSessionNext] = any && session.currentIndex + 1 < session.count();
    panel[SessionControl::EditSessionFile] = !session.fileName.empty();
    for (SessionControl c :
         {SessionControl::EditDateTime, SessionControl::EditSequence, SessionControl::MemoCueLabels,
          SessionControl::EditQuestion, SessionControl::EditAnswer})
      panel[c] = any;
  }
  const PanelColour edits =
      panel[SessionControl::EditQuestion] ? PanelColour::Window : PanelColour::ButtonFace;
  panel.questionColour = edits;
  panel.answerColour = edits;
  changed();
}

void SessionController::showReplayControls() {
  panel[SessionControl::ButtonSessionStop] = true;
  panel[SessionControl::MemoCueLabels] = session.count() > 0;
  changed();
}

void SessionController::toggleRecordMode() {
  session.recordMode = !session.recordMode;
  refreshSessionDisplay();
  updateSessionControls(0);
}

void SessionController::previousEvp() {
  if (session.count() == 0 || session.currentIndex <= 0) return;
  --session.currentIndex;
  refreshSessionDisplay();
  updateSessionControls(0);
}

void SessionController::nextEvp() {
  if (session.count() == 0 || session.currentIndex + 1 >= session.count()) return;
  ++session.currentIndex;
  refreshSessionDisplay();
  updateSessionControls(0);
}

void SessionController::questionEdited(const std::string& text) {
  EvpRecord* current = session.current();
  if (current == nullptr || current->question == text) return;
  current->question = text;
  session.isModified = true;
  refreshSessionDisplay();
  // Save becomes possible with the first change.
  updateSessionControls(lastMode_);
}

void SessionController::answerEdited(const std::string& text) {
  EvpRecord* current = session.current();
  if (current == nullptr || current->answer == text) return;
  current->answer = text;
  session.isModified = true;
  refreshSessionDisplay();
  updateSessionControls(lastMode_);
}

bool SessionController::beginEvpCapture() {
  const std::optional<std::string> question = host_.questions.askQuestion(kQuestionPromptText);
  if (!question) return false;
  if (session.wavPath.empty()) session.wavPath = storedWavPath(host_.document.path);
  EvpRecord& record = session.records.emplace_back();
  record.dateTime = stampNow(host_.clock->now());
  record.question = *question;
  captureTrace_ = std::make_shared<RecordTrace>();
  record.trace = captureTrace_;
  session.currentIndex = session.count() - 1;
  session.isModified = true;
  session.isCapturing = true;
  refreshSessionDisplay();
  return true;
}

void SessionController::appendSegmentEntry(std::int32_t start, std::int32_t length,
                                           std::int32_t serial, const std::string& label, bool fade,
                                           std::int32_t segmentNumber) {
  if (!session.isCapturing || session.records.empty()) return;
  session.records.back().segments.push_back({start, length, serial, segmentNumber, fade, label});
  session.isModified = true;
}

void SessionController::finishEvpCapture(std::int32_t blocksQueued, std::int32_t queueDepth) {
  if (!session.isCapturing) return;
  session.isCapturing = false;
  const std::shared_ptr<RecordTrace> trace = std::move(captureTrace_);
  if (session.records.empty()) return;
  std::vector<EvpSegmentEntry>& entries = session.records.back().segments;
  // The blocks still queued when the generation stopped never sounded. Serials count
  // blocks, also the muted ones that have no entry, so they decide what stays.
  const std::int64_t keep =
      static_cast<std::int64_t>(blocksQueued) - static_cast<std::int64_t>(queueDepth) + 1;
  std::erase_if(entries, [keep](const EvpSegmentEntry& e) { return e.serial > keep; });
  if (trace) {
    std::erase_if(trace->blocks, [keep](const ProvenanceBlock& b) { return b.block > keep; });
  }
  if (entries.empty()) {
    // Nothing sounded: the record goes again, as if the capture had not started.
    session.records.pop_back();
    if (session.records.empty()) session.wavPath.clear();
    if (session.currentIndex > 0) session.currentIndex = session.count() - 1;
    session.currentIndex = std::clamp(session.currentIndex, 0, std::max(0, session.count() - 1));
  }
  refreshSessionDisplay();
  updateSessionControls(lastMode_);
}

void SessionController::readHealthSidecar() {
  std::string text;
  std::int64_t skipped = 0;
  const std::string path = healthSidecarPath(session.fileName);
  // No health file, or one that cannot be read, leaves the records without health.
  if (readTextFileSkippingLongLines(path, text, kMaxHealthLineBytes, skipped) !=
      TextFileStatus::Read)
    return;
  applyHealthSidecar(text, session.records);
  if (skipped > 0)
    host_.prompter.message("Warning", skippedHealthLinesText(path, skipped), MessageIcon::Warning,
                           MessageButtons::Ok);
}

void SessionController::writeHealthSidecar(const std::string& sessionPath) {
  const std::string text = formatHealthSidecar(session.records);
  if (text.empty()) return;
  // The session itself is saved; the health file is extra and only reported.
  const std::string path = healthSidecarPath(sessionPath);
  if (!writeFileAtomically(path, text))
    host_.prompter.error("Can't write the health file '" + path + "'.");
}

void SessionController::readListenSidecar() {
  std::string text;
  std::int64_t skipped = 0;
  // Missing, unreadable or damaged: the records simply have no words.
  if (readTextFileSkippingLongLines(listenSidecarPath(session.fileName), text, kMaxListenLineBytes,
                                    skipped) == TextFileStatus::Read)
    applyListenSidecar(text, session.records);
}

bool SessionController::writeListenSidecar(const std::string& sessionPath) {
  const std::string text = formatListenSidecar(session.records);
  if (text.empty()) return true;
  const std::string path = listenSidecarPath(sessionPath);
  if (writeFileAtomically(path, text)) return true;
  host_.prompter.error("Can't write the listener's file '" + path + "'.");
  return false;
}

bool SessionController::keepHeardWords(std::int32_t index, const std::string& dateTime,
                                       std::vector<HeardWord> words) {
  if (index < 0 || index >= session.count()) return false;
  EvpRecord& record = session.records[static_cast<std::size_t>(index)];
  if (record.dateTime != dateTime) return false;
  setHeardWords(record, std::move(words));
  // A saved session gets its words at once; an unsaved one with its next save.
  if (!session.fileName.empty()) writeListenSidecar(session.fileName);
  refreshSessionDisplay();
  return true;
}

}  // namespace voxloom
