#include "core/app/document_service.h"

#include "core/audio/byte_stream.h"
#include "core/audio/riff.h"
#include "core/audio/wav_reader.h"
#include "core/audio/wav_writer.h"
#include "core/labels/label_commands.h"
#include "core/listen/heard_words.h"
#include "core/ports/refuse_clash.h"

namespace voxloom {

namespace {

constexpr const char* kSaveQuestion =
    "The current WAV file has been changed. Do you want to save the changes?";

}  // namespace

DocumentService::DocumentService(Prompter& prompter, CommandStates& states, ViewRelay& relay)
    : signalView(document, states.state()), prompter_(prompter), states_(states), relay_(relay) {
  states.watch(document);
}

void DocumentService::bindSettings(Settings& s) {
  s.bindBool("UseSeparateFolders", folders.useSeparate);
  s.bindText("SourceWavFiles", folders.sourceWav);
  s.bindText("SessionFiles", folders.session);
  s.bindText("RandomSourceFiles", folders.randomFile);
  s.bindBool("AutoOpenLastWavFile", folders.autoOpenLastWavFile);
  s.bindText("LastWavFilePath", folders.lastWavFile);

  s.bindInt("EchoDelay", effects.echo.delayMs, 0, EchoDialogState::kDelayMax);
  s.bindInt("EchoDecay", effects.echo.decayPercent, 0, EchoDialogState::kDecayMax);
  AutoCutOptions& cut = effects.autoCut;
  s.bindInt("ThresholdPercent", cut.thresholdPercent, AutoCutOptions::kThresholdMin,
            AutoCutOptions::kThresholdMax);
  s.bindInt("ThresholdAutomatically", cut.thresholdChoice, AutoCutOptions::kManual,
            AutoCutOptions::kAutomatic);
  s.bindInt("EnvelopeFrameSize", cut.frameSizeMs, AutoCutOptions::kFrameSizeMin,
            AutoCutOptions::kFrameSizeMax);
}

void DocumentService::changed() {
  relay_.notify(ViewAspect::Texts);
  relay_.notify(ViewAspect::Document);
  states_.set(kStateIdle);
}

int DocumentService::load(const std::string& path) {
  std::string refusal;
  auto stream = ByteStream::openFile(path, &refusal);
  if (!stream) {
    prompter_.error(refusal.empty() ? "Can't open WAV file '" + path + "'." : refusal);
    return 1;
  }
  // Words heard in the old document mean nothing in the new one.
  signalView.heardWords.clear();
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
  changed();
  return result;
}

int DocumentService::write(const std::string& path) {
  const WavWriteStatus status = [&] {
    BusyGuard busy(prompter_);
    return writeDocumentWav(path, document);
  }();
  if (status == WavWriteStatus::Written) return 0;
  prompter_.error(wavWriteFailureText(status, path));
  return 1;
}

Answer DocumentService::askToSave() {
  if (!document.isModified) return Answer::Ok;
  const Answer a = prompter_.message("Warning", kSaveQuestion, MessageIcon::Question,
                                     MessageButtons::YesNoCancel);
  return a == Answer::Yes || a == Answer::No ? a : Answer::Cancel;
}

int DocumentService::save(bool askFirst, OutputGuard files) {
  if (!document.isModified) return 0;
  if (askFirst) {
    const Answer a = askToSave();
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
  if (folders.useSeparate) spec.initialFolder = folders.sourceWav;
  const auto chosen = prompter_.chooseSaveFile(spec);
  if (!chosen) return 1;
  folders.sourceWav = folderPart(*chosen);
  // The document may replace its own file, never a file the program still reads.
  files.output("WAV file", *chosen);
  if (refuseClash(files, prompter_)) return 1;
  if (write(*chosen) != 0) return 1;

  document.path = *chosen;
  document.isModified = false;
  document.setTitleFor(*chosen);
  relay_.notify(ViewAspect::Texts);
  states_.set(kStateIdle);
  return 0;
}

void DocumentService::discard() {
  document.isModified = false;
  signalView.forget();
  document.resetDocument();
  changed();
}

EffectCommandContext DocumentService::effectContext(Command command) {
  return {document,
          prompter_,
          effectDialogs_,
          effects,
          states_.enabled(command),
          [this] { changed(); }};
}
EffectResult DocumentService::editSignal(Command command,
                                         EffectResult (*run)(EffectCommandContext&)) {
  auto context = effectContext(command);
  const SignalEdit edit(signalView);  // the summary is made again afterwards
  return run(context);
}
EffectResult DocumentService::reverseSignal() {
  return editSignal(Command::Reverse, runReverseCommand);
}
EffectResult DocumentService::addEcho() {
  return editSignal(Command::Echo, runEchoCommand);
}
EffectResult DocumentService::normalizeSignal() {
  return editSignal(Command::Normalize, runNormalizeCommand);
}
EffectResult DocumentService::autoCut() {
  auto context = effectContext(Command::AutoCut);
  return runAutoCutCommand(context);
}

bool DocumentService::labelsAvailable() const {
  return states_.state() == kStateIdle && document.isLoaded && !states_.liveMode;
}

int DocumentService::importLabels() {
  if (!labelsAvailable()) return 1;
  std::string folder = folderPart(document.path);
  if (importLabelsCommand({document, prompter_, folder}) != 0) return 1;
  changed();  // Save follows the modified flag
  return 0;
}

int DocumentService::exportLabels() {
  if (!labelsAvailable()) return 1;
  std::string folder = folderPart(document.path);
  return exportLabelsCommand({document, prompter_, folder});
}

int DocumentService::addHeardWordsAsCues() {
  if (!states_.enabled(Command::AddHeardCues)) return 1;
  std::vector<HeardWord> words = std::move(signalView.heardWords);
  signalView.heardWords.clear();
  applyImportedCues(document, heardWordsAsCues(words, document.nominalRate, document.frameCount),
                    CueMerge::Add);
  changed();  // Save follows the modified flag
  return 0;
}

}  // namespace voxloom
