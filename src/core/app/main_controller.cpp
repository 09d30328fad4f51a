#include "core/app/main_controller.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "core/app/session_replay.h"
#include "core/audio/byte_stream.h"
#include "core/audio/riff.h"
#include "core/audio/wav_reader.h"
#include "core/audio/wav_writer.h"
#include "core/ports/refuse_clash.h"
#include "core/random/manual_sweep.h"
#include "core/util/number_text.h"
#include "core/util/output_guard.h"

namespace voxloom {

namespace {

constexpr const char* kSaveQuestion =
    "The current WAV file has been changed. Do you want to save the changes?";

std::string lowerExtension(const std::string& path) {
  const std::string name = fileNamePart(path);
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos) return {};
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

WindowArguments parseWindowArguments(const std::vector<std::string>& args) {
  WindowArguments parsed;
  std::size_t i = 0;
  // The options come before the file arguments.
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--seed" || a == "--settings") {
      if (i + 1 >= args.size()) {
        parsed.error = a + " needs a value";
        return parsed;
      }
      const std::string& value = args[++i];
      if (a == "--settings") {
        parsed.settingsPath = value;
        continue;
      }
      parsed.seed = parseWholeNumber<std::uint64_t>(value);
      if (!parsed.seed) {
        parsed.error = "--seed needs a whole number, not '" + value + "'";
        return parsed;
      }
    } else if (a == "--help" || a == "-h") {
      parsed.help = true;
    } else if (a == "--version") {
      parsed.version = true;
    } else if (a == "--") {
      ++i;
      break;
    } else {
      break;
    }
  }
  parsed.files.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return parsed;
}

std::string windowUsageText() {
  return "Usage: voxloom [--seed N] [--settings FILE] [--] [FILE...]\n"
         "Opens each FILE by its extension: WAV files (*.wav), EVP session files (*.evp)\n"
         "and random source files (*.pcm).\n"
         "\n"
         "  --seed N          seed the pseudo-random generator with N\n"
         "  --settings FILE   use FILE as the settings file\n"
         "  --help            show this help and end\n"
         "  --version         show the version and end\n"
         "\n"
         "Qt's own options (-platform, -style, ...) are accepted as well.\n"
         "The command-line tool is voxloom-cli.\n";
}

MainController::MainController(Prompter& prompter, Shell& shell)
    : playback(prompter, document, commandState, [this](RunEvent event) { onRunEvent(event); }),
      prompter_(prompter),
      shell_(shell) {
  bindSettings();
  // Export renders cross-faded entries with the shape the segment options hold now.
  sessions.fadeMode = [this] { return playback.options.fadeMode; };
  // The caption tells what the window waits for while the web service is asked.
  playback.random.showFetching = [this, kept = std::string()](bool fetching) mutable {
    if (fetching) {
      kept = document.texts.windowTitle;
      document.texts.windowTitle = kFetchingCaption;
    } else {
      document.texts.windowTitle = kept;
    }
    document.texts.applicationTitle = document.texts.windowTitle;
    notify(ViewAspect::Texts);
  };
  RandomSources& random = playback.random;  // random sources: the settings they consult
  random.useSeparateFolders = &useSeparateFolders;
  random.lastRandomFileFolder = &lastRandomFileFolder;
  random.soundCard.level = &recording.level;
  random.soundCard.documentRate = [this] { return document.format.samplesPerSec; };
}

EffectCommandContext MainController::effectContext(Command command) {
  return {document, prompter_, effectDialogs_, effects, commands[command], [this] {
            notify(ViewAspect::Texts);
            notify(ViewAspect::Document);
            setCommandState(kStateIdle);
          }};
}
EffectResult MainController::reverseSignal() {
  auto context = effectContext(Command::Reverse);
  const SignalEdit edit(signalView);  // the summary is made again afterwards
  return runReverseCommand(context);
}
EffectResult MainController::addEcho() {
  auto context = effectContext(Command::Echo);
  const SignalEdit edit(signalView);  // the summary is made again afterwards
  return runEchoCommand(context);
}
EffectResult MainController::normalizeSignal() {
  auto context = effectContext(Command::Normalize);
  const SignalEdit edit(signalView);  // the summary is made again afterwards
  return runNormalizeCommand(context);
}
EffectResult MainController::autoCut() {
  auto context = effectContext(Command::AutoCut);
  return runAutoCutCommand(context);
}

void MainController::startUp(const std::vector<std::string>& files) {
  enterIdle();
  openStartUpFiles(files);
}

void MainController::enterIdle() {
  loadSettings();  // ends by selecting the stored random source
  startUpToolWindows();
  setCommandState(kStateIdle);
  sessions.refreshSessionDisplay();
}

void MainController::openStartUpFiles(const std::vector<std::string>& files) {
  const bool restored = offerRecovery();
  for (const std::string& file : files) {
    if (!mainWindowOpen) return;  // ended by a signal meanwhile
    openFileByType(file);
  }
  // Reopening the last file would ask to throw restored work away.
  if (!restored && mainWindowOpen && autoOpenLastWavFile && !lastWavFile.empty() &&
      fileExists(lastWavFile))
    openWavFile(lastWavFile);
}

void MainController::onRunEvent(RunEvent event) {
  const int state = commandStateAfter(event, commandState);
  if (event == RunEvent::Stopping) {
    commandState = state;  // the commands follow once the run has ended
  } else {
    setCommandState(state);
  }
}

void MainController::setCommandState(int state) {
  commandState = state;
  DocumentFlags flags;
  flags.loaded = document.isLoaded;
  flags.modified = document.isModified;
  flags.live = liveMode;
  flags.sessionHasEvp = sessions.session.count() > 0;
  CommandView table = commands;
  applyCommandTable(state, flags, table);
  commands = table;
  signalView.commandStateChanged(
      state, playback.playTime.stopsAfterTime() ? playback.playTime.time.value : 0);
  if (state >= kStateIdle && state <= kStateRecording) {  // sessions: the panel follows
    sessions.updateSessionControls(commands.sessionControlsMode);
    if (state == kStateSessionPlay) sessions.showReplayControls();
  }
  if (state >= kStateIdle && state <= kStateRecording) {  // playback: the control modes
    updateSegmentControls(playback.options, commands.segmentControlsMode, document.cueCount());
    updatePlayTimeControls(playback.playTime, commands.playTimeControlsMode);
  }
  notify(ViewAspect::Commands);
  settleRecovery();  // saving or discarding the document ends here
}

void MainController::openFileByType(const std::string& path) {
  const std::string ext = lowerExtension(path);
  const std::string folder = folderPart(path);
  if (ext == ".wav") {
    if (liveMode) return;
    sourceWavFolder = folder;
    openWavFile(path);
  } else if (ext == ".pcm") {
    lastRandomFileFolder = folder;
    playback.random.selectRandomSource(RandomSourceKind::RandomFile, path, "", false);
    notify(ViewAspect::Commands);
  } else if (ext == ".evp") {
    if (liveMode) return;
    sessionFolder = folder;
    sessions.openSession(path);
  } else {
    prompter_.message("Error", kUnknownFiletypeText, MessageIcon::Error, MessageButtons::Ok);
  }
}

void MainController::openWavFile(const std::string& path) {
  std::string chosen = path;
  if (chosen.empty()) {
    FileDialogSpec spec;
    spec.title = "Open WAV file...";
    spec.filter = kWavFilter;
    spec.defaultExtension = "*.wav";
    if (useSeparateFolders) spec.initialFolder = sourceWavFolder;
    const auto picked = prompter_.chooseOpenFile(spec);
    if (!picked) return;
    chosen = *picked;
  }
  sourceWavFolder = folderPart(chosen);
  readWavFile(chosen);
}

int MainController::readWavFile(const std::string& path) {
  if (discardDocumentIfAllowed()) return 1;

  std::string refusal;
  auto stream = ByteStream::openFile(path, &refusal);
  if (!stream) {
    prompter_.error(refusal.empty() ? "Can't open WAV file '" + path + "'." : refusal);
    return 1;
  }
  WavLoadOutcome outcome;
  {
    BusyGuard busy(prompter_);
    outcome = loadWav(*stream, document, path);
  }
  // A truncated file still loads what it holds, but the user should know it is cut short.
  if (outcome.status == WavLoadStatus::Loaded &&
      outcome.dataBytesFound < outcome.dataBytesClaimed) {
    prompter_.message("Warning", shortDataText(outcome.dataBytesFound, outcome.dataBytesClaimed),
                      MessageIcon::Warning, MessageButtons::Ok);
  }
  if (outcome.cueCountMismatch) prompter_.error(kCueCountMismatchText);

  int result = 0;
  switch (outcome.status) {
    case WavLoadStatus::Loaded:
      break;
    case WavLoadStatus::MissingChunk:
      prompter_.message(kRiffErrorTitle, riffErrorText(outcome.chunk), MessageIcon::Stop,
                        MessageButtons::Ok);
      return 1;
    case WavLoadStatus::DataTooLarge:
      prompter_.error(dataTooLargeText(outcome.dataBytesFound));
      return 1;
    case WavLoadStatus::NoMemory:
      prompter_.error(noMemoryText(outcome.dataBytesFound));
      return 1;
    case WavLoadStatus::RateTooHigh:
      prompter_.error(rateTooHighText(outcome.rateFound));
      return 1;
    case WavLoadStatus::NotStandardPcm:
      prompter_.error(kNotStandardPcmText);
      result = 1;
      break;
  }
  notify(ViewAspect::Texts);
  notify(ViewAspect::Document);
  setCommandState(kStateIdle);
  return result;
}

int MainController::writeWavFile(const std::string& path, int source) {
  if (source == 0) return sessions.writeEvpWavFile(path);  // the current EVP
  if (source != 1) return 1;
  const WavWriteStatus status = [&] {
    BusyGuard busy(prompter_);
    return writeDocumentWav(path, document);
  }();
  if (status == WavWriteStatus::Written) return 0;
  prompter_.error(wavWriteFailureText(status, path));
  return 1;
}

Answer MainController::askToSaveDocument() {
  if (!document.isModified) return Answer::Ok;
  const Answer a = prompter_.message("Warning", kSaveQuestion, MessageIcon::Question,
                                     MessageButtons::YesNoCancel);
  return a == Answer::Yes || a == Answer::No ? a : Answer::Cancel;
}

int MainController::saveDocument(bool askFirst) {
  if (!document.isModified) return 0;
  if (askFirst) {
    const Answer a = askToSaveDocument();
    if (a == Answer::No) {
      document.isModified = false;
      return 0;
    }
    if (a != Answer::Yes) return 1;
  }
  FileDialogSpec spec;
  spec.title = "Save WAV file...";
  spec.filter = kWavFilter;
  spec.defaultExtension = "*.wav";
  spec.fileName = document.path;
  spec.confirmOverwrite = true;
  if (useSeparateFolders) spec.initialFolder = sourceWavFolder;
  const auto chosen = prompter_.chooseSaveFile(spec);
  if (!chosen) return 1;
  sourceWavFolder = folderPart(*chosen);
  // The document may replace its own file, never a file the window still reads.
  OutputGuard files;
  files.input("session", sessions.session.fileName);
  if (playback.random.randomKind == RandomSourceKind::RandomFile)
    files.input("random number file", playback.random.randomFilePath);
  if (playback.random.log.logEnabled) files.input("random log", playback.random.log.logFileName);
  files.output("WAV file", *chosen);
  if (refuseClash(files, prompter_)) return 1;
  if (writeWavFile(*chosen, 1) != 0) return 1;

  document.path = *chosen;
  document.isModified = false;
  document.setTitleFor(*chosen);
  notify(ViewAspect::Texts);
  setCommandState(kStateIdle);
  return 0;
}

bool MainController::discardDocumentIfAllowed() {
  // Ask everything first: a Cancel to the last question must still find the session.
  const Answer sessionAnswer = sessions.askToSaveSession();
  if (sessionAnswer == Answer::Cancel) return true;
  const Answer wavAnswer = askToSaveDocument();
  if (wavAnswer == Answer::Cancel) return true;
  // A save that is cancelled or fails keeps everything not yet saved.
  if (sessionAnswer == Answer::Yes && sessions.saveSession(false) != 0) return true;
  if (wavAnswer == Answer::Yes && saveDocument(false) != 0) return true;

  // A session never outlives its WAV file.
  sessions.session.isModified = false;
  sessions.closeSession();
  document.isModified = false;
  signalView.forget();
  document.resetDocument();
  notify(ViewAspect::Texts);
  notify(ViewAspect::Document);
  setCommandState(kStateIdle);
  return false;
}

bool MainController::closeQuery() {
  stopAndDrain();
  leaveLiveMode();
  lastWavFile = document.path;
  if (discardDocumentIfAllowed()) return false;
  mainWindowOpen = false;
  closeToolWindows();
  if (saveSettingsOnExit) saveSettings(false);  // a failure at exit is not reported
  return true;
}

// --- Playback and Make EVP ---

void MainController::attachPlayback(WaveOut& device, EventLoop& loop, OneShotTimer* timer) {
  PlaybackEngine& engine = playback.attachDevice(device, loop, timer);
  engine.callouts.pauseChanged = [this](bool paused) {
    signalView.setPaused(paused);
    notify(ViewAspect::Commands);
  };
  engine.callouts.muteRepeats = [this] {
    return playback.random.randomKind == RandomSourceKind::ManualSweep &&
           playback.random.manualMute;
  };
  engine.blockSounding = [this, &engine](Frames start, Frames length) {
    signalView.blockStarted(start, length, document.nominalRate * engine.speedPercent / 100.0);
    signalView.replayRecordSounding(engine.soundingRecord(), sessions.session.count());
  };
  // Session capture and replay need the engine.
  connectSessionCapture(engine, sessions, playback.sequencerContext());
  connectFeedback(engine);  // speed and visual feedback
  sessions.replayAvailable = true;
}

void MainController::seedRandom(std::uint64_t seed) {
  // The generator takes 32 bits, as the start-up seed does.
  playback.random.pseudo.seedPseudoRandom(static_cast<std::uint32_t>(seed));
}

void MainController::playDocument() {
  if (!commands[Command::Play] || playback.engine() == nullptr) return;
  playback.engine()->playDocument();
}

void MainController::makeEvp() {
  if (!commands[Command::MakeEvp] || playback.engine() == nullptr) return;
  // The source's tool window comes back with every EVP: the user may have closed it.
  if (playback.random.randomKind == RandomSourceKind::ManualSweep) {
    playback.random.menu.showManualRandom = true;
    notify(ViewAspect::Commands);
  }
  if (playback.random.randomKind == RandomSourceKind::SoundCard) recording.level.setVisible(true);
  playback.engine()->makeEvp();
}

void MainController::togglePause() {
  if (!commands[Command::Pause] || playback.engine() == nullptr) return;
  playback.engine()->togglePause();
}

void MainController::stopPlayback() {
  if (commandState == kStateRecording) return recording.stopRecording();  // recording
  if (playback.engine() == nullptr) return;
  playback.engine()->stopPlayback();
}

void MainController::closeManualRandom() {
  playback.random.menu.showManualRandom = false;
  if (closingManualStopsPlayback(commandState == kStateMakingEvp, playback.random.randomKind))
    stopPlayback();
}

void MainController::toggleRandomLog() {
  if (!commands[Command::LogRandom]) return;
  playback.random.toggleRandomLog(useSeparateFolders);
  notify(ViewAspect::Commands);
}

void MainController::stopAndDrain() {
  drainRecording();  // recording
  PlaybackEngine* engine = playback.engine();
  if (engine == nullptr) return;
  if (commandState != kStateIdle) engine->stopPlayback();
  // Reset hands every block back at once; the notifications only need delivering. A
  // device that never answers must not keep the program from closing.
  EventLoop* loop = playback.loop();
  for (int i = 0; engine->isOpen() && loop != nullptr && i < 200; ++i) {
    loop->processPending();
    if (engine->isOpen()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// --- end of playback ---

// --- Session replay ---

void MainController::playSessionRecords(std::int32_t first, std::int32_t n) {
  PlaybackEngine* engine = playback.engine();
  if (engine == nullptr || commandState != kStateIdle) return;
  engine->playEntries([cursor = SessionReplayCursor(sessions.session, first, n)]() mutable {
    return cursor.next();
  });
}

void MainController::playSession() {
  if (sessions.session.count() > 0) playSessionRecords(0, sessions.session.count());
}

void MainController::playCurrentEvp() {
  if (sessions.session.count() > 0) playSessionRecords(sessions.session.currentIndex, 1);
}

void MainController::stopSessionPlay() {
  if (commandState != kStateSessionPlay || playback.engine() == nullptr) return;
  playback.engine()->stopPlayback();
}

// --- end of session replay ---

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
