#include "core/random/random_sources.h"

#include <string>

#include "core/audio/audio_document.h"
#include "core/ports/refuse_clash.h"
#include "core/random/fractal_source.h"
#include "core/random/manual_sweep.h"
#include "core/random/random_file_source.h"
#include "core/random/random_mapping.h"
#include "core/random/service_host.h"
#include "core/util/output_guard.h"

namespace voxloom {

std::int32_t RandomSources::drawRandom(std::int32_t n) {
  if (n < 1) n = 1;
  if (stop_.stopRequested) return 0;
  const std::int64_t failuresBefore = health.failureCount();
  const std::int32_t v = drawFromSource(n);
  if (health.failureCount() != failuresBefore && log.logEnabled) {
    log.logComment(std::string("health test failed: ") +
                   (health.lastFailureRepetition() ? "repetition" : "proportion") + " at draw " +
                   std::to_string(health.draws() + 1));
  }
  health.endDraw();
  if (log.trace != nullptr) log.trace->mapped.push_back(v);
  return v;
}

std::int32_t RandomSources::drawFromSource(std::int32_t n) {
  const int need = menu.convert ? 32 : 1;
  if (soundCard.isOpen() && randomKind != RandomSourceKind::SoundCard) soundCard.closeInput();
  switch (randomKind) {
    case RandomSourceKind::PseudoRng: {
      const std::int32_t v = pseudo.nextPseudoRandom();
      log.logRandomValue(std::to_string(v));
      return scaleFrom31Bits(v, n);
    }
    case RandomSourceKind::Fractal:
      return drawFractal({growthRate, population, previousTrendValue}, menu.convert, n, log);
    case RandomSourceKind::ManualSweep:
      return drawManual(manualPosition, n, log);
    case RandomSourceKind::Internet: {
      ServiceFetch fetch{http, prompter_, stop_, showFetching};
      const auto v = nextServiceValue(serviceUrl, n, batch, fetch);
      if (!v) return 0;
      health.noteValue(static_cast<std::uint32_t>(*v));
      log.logRandomValue(std::to_string(*v));
      return scaleFromService(*v, n);
    }
    case RandomSourceKind::RandomFile:
      if (batch.index + need > batch.count && !refillFromFile(*this, need)) return 0;
      return takeSample16(*this, n);
    case RandomSourceKind::SoundCard:
      if (!soundCard.captureNoiseBlock(*this, need)) return 0;
      return takeSample16(*this, n);
    case RandomSourceKind::ParallelPort: {
      const std::uint32_t w = parallelPort.readPortWord(*this);
      if (!stop_.stopRequested) health.noteBits(w, 32);
      log.logRandomValue(std::to_string(static_cast<std::int32_t>(w)));
      return stop_.stopRequested ? 0 : scaleFromWord(w, n);
    }
    case RandomSourceKind::Device: {
      const std::uint32_t w = device.readWord(*this);
      if (stop_.stopRequested) return 0;
      if (log.wanted()) log.logRandomValue(std::to_string(static_cast<std::int32_t>(w)));
      return scaleFromWord(w, n);
    }
    default:
      // A value outside the enumeration (set directly, never through the selection)
      // fails like a source that cannot deliver.
      stop_.stopRequested = true;
      return 0;
  }
}

SelectOutcome RandomSources::selectRandomSource(RandomSourceKind kind, const std::string& filePath,
                                                const std::string& url, bool interactive) {
  if (kind == RandomSourceKind::Device) {
    // The path names the device, not a random file.
    const SelectOutcome outcome = selectDevice(filePath, interactive);
    if (outcome == SelectOutcome::Selected) health.start(randomKind);
    refreshMenu();
    return outcome;
  }
  if (!filePath.empty()) randomFilePath = filePath;
  if (!url.empty()) serviceUrl = url;

  SelectOutcome outcome = SelectOutcome::NotAvailable;
  if (kind == RandomSourceKind::Fractal) {
    outcome = selectFractal(interactive);
  } else if (kind == RandomSourceKind::Internet) {
    if (url.empty()) return selectInternetFromDialog();
    outcome = selectInternet();
  } else if (kind == RandomSourceKind::RandomFile) {
    outcome = selectRandomFile(filePath);
  } else if (kind == RandomSourceKind::ParallelPort) {
    outcome = selectParallelPort(interactive);
  } else if (randomSourceKindFromInt(static_cast<int>(kind))) {  // not one forced past the enum
    menu.checkOnly(kind);
    randomKind = kind;
    outcome = SelectOutcome::Selected;
  }
  if (outcome == SelectOutcome::Selected) health.start(randomKind);
  refreshMenu();
  return outcome;
}

SelectOutcome RandomSources::selectFractal(bool interactive) {
  if (interactive) {
    if (fractalDialog == nullptr || !fractalDialog->askFractal(fractalForm))
      return SelectOutcome::Cancelled;
    fractalForm.apply();  // a text that is not a number leaves its value as it was
  }
  menu.checkOnly(RandomSourceKind::Fractal);
  randomKind = RandomSourceKind::Fractal;
  return SelectOutcome::Selected;
}

SelectOutcome RandomSources::selectInternet() {
  batch.discard();
  menu.checkOnly(RandomSourceKind::Internet);
  randomKind = RandomSourceKind::Internet;
  return SelectOutcome::Selected;
}

SelectOutcome RandomSources::selectInternetFromDialog() {
  urlForm.text = serviceUrl;
  SelectOutcome outcome = SelectOutcome::Cancelled;
  if (urlDialog != nullptr && urlDialog->askServiceUrl(urlForm)) {
    serviceUrl = urlForm.text;
    if (serviceUrl.empty()) return selectRandomSource(RandomSourceKind::PseudoRng, "", "", false);
    outcome = selectInternet();
  }
  refreshMenu();
  return outcome;
}

SelectOutcome RandomSources::selectRandomFile(const std::string& filePath) {
  if (filePath.empty()) {
    FileDialogSpec dialog;
    dialog.title = kRandomFileDialogTitle;
    dialog.filter = kRandomFileFilter;
    dialog.defaultExtension = "*.pcm";
    dialog.fileName = randomFilePath;
    if (useSeparateFolders != nullptr && *useSeparateFolders && lastRandomFileFolder != nullptr)
      dialog.initialFolder = *lastRandomFileFolder;
    const auto chosen = prompter_.chooseOpenFile(dialog);
    if (!chosen) return SelectOutcome::Cancelled;
    OutputGuard files;
    files.input("random number file", *chosen);
    if (log.logEnabled) files.output("random log", log.logFileName);
    if (refuseClash(files, prompter_)) return SelectOutcome::Cancelled;
    if (lastRandomFileFolder != nullptr) *lastRandomFileFolder = folderPart(*chosen);
    randomFilePath = *chosen;
  }
  batch.filePosition = 0;
  batch.discard();
  menu.checkOnly(RandomSourceKind::RandomFile);
  randomKind = RandomSourceKind::RandomFile;
  return SelectOutcome::Selected;
}

SelectOutcome RandomSources::selectParallelPort(bool interactive) {
  bool cancelled = false;
  const std::string failure = parallelPort.selectFromDialog(interactive, cancelled);
  if (cancelled) return SelectOutcome::Cancelled;
  if (failure.empty()) {
    menu.checkOnly(RandomSourceKind::ParallelPort);
    randomKind = RandomSourceKind::ParallelPort;
    return SelectOutcome::Selected;
  }
  prompter_.error(failure);
  if (randomKind == RandomSourceKind::ParallelPort)
    selectRandomSource(RandomSourceKind::PseudoRng, "", "", false);
  return SelectOutcome::Failed;
}

SelectOutcome RandomSources::selectDevice(const std::string& path, bool interactive) {
  std::string chosen = path;
  if (chosen.empty() && interactive) {
    FileDialogSpec dialog;
    dialog.title = kDeviceDialogTitle;
    dialog.filter = "All Files (*)|*";
    dialog.initialFolder = "/dev";
    dialog.fileName = device.path;
    const auto answer = prompter_.chooseOpenFile(dialog);
    if (!answer) return SelectOutcome::Cancelled;
    chosen = *answer;
  }
  if (chosen.empty()) chosen = device.path;
  const std::string failure = device.open(chosen);
  if (!failure.empty()) {
    prompter_.error(failure);
    return SelectOutcome::Failed;
  }
  menu.checkOnly(RandomSourceKind::Device);
  randomKind = RandomSourceKind::Device;
  return SelectOutcome::Selected;
}

void RandomSources::stopPlayback() {
  if (stopPlaybackHook) {
    stopPlaybackHook();
  } else {
    log.closeRandomLog();
    stopSourceWaits();
  }
}

void RandomSources::stopSourceWaits() {
  soundCard.closeInput();
  parallelPort.cancelWait();
  device.cancelWait();
}

void RandomSources::refreshMenu() {
  menu.fileCaption =
      randomFilePath.empty() ? "F&ile..." : "F&ile [" + fileNamePart(randomFilePath) + "] ...";
  menu.httpCaption =
      serviceUrl.empty() ? "I&nternet..." : "I&nternet [" + serviceHost(serviceUrl) + "] ...";
  menu.deviceCaption = device.path.empty() ? "&Device..." : "D&evice [" + device.path + "] ...";
  menu.showManualRandom = randomKind == RandomSourceKind::ManualSweep;
  menu.showRecLevel = randomKind == RandomSourceKind::SoundCard;
}

void RandomSources::toggleRandomLog(bool useSeparateFolders) {
  if (menu.logChecked) {
    menu.logChecked = false;
  } else {
    FileDialogSpec dialog;
    dialog.title = kLogDialogTitle;
    dialog.filter = kTextFileFilter;
    dialog.defaultExtension = "*.txt";
    dialog.confirmOverwrite = true;
    if (useSeparateFolders) dialog.initialFolder = lastLogFolder;
    const auto chosen = prompter_.chooseSaveFile(dialog);
    if (!chosen) return;
    // The log is started afresh: it must not be the file the numbers come from.
    OutputGuard files;
    if (randomKind == RandomSourceKind::RandomFile)
      files.input("random number file", randomFilePath);
    if (randomKind == RandomSourceKind::Device) files.input("random device", device.path);
    files.output("random log", *chosen);
    if (refuseClash(files, prompter_)) return;
    lastLogFolder = folderPart(*chosen);
    menu.logChecked = true;
    log.logFileName = *chosen;
    log.logStartNew = true;
  }
  log.logEnabled = menu.logChecked;
}

}  // namespace voxloom
