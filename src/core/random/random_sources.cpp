#include "core/random/random_sources.h"

#include <string>

#include "core/audio/audio_document.h"
#include "core/ports/refuse_clash.h"
#include "core/random/service_host.h"
#include "core/random/source_adapters.h"
#include "core/util/output_guard.h"

namespace voxloom {

struct RandomSources::Chain {
  Chain(RandomSourceKind kind, RandomSources& rs)
      : source(makeRandomSource(kind, rs)),
        logged(*source, rs.log),
        checked(logged, healthUnitOf(kind), rs.health, rs.log) {}
  std::unique_ptr<RandomSource> source;
  LoggedSource logged;
  HealthCheckedSource checked;  // outermost: a failure is noted after the value's line
};

RandomSources::RandomSources(StopRequest& stop, Prompter& prompter, PlaybackControl& playback)
    : stop_(stop), prompter_(prompter), playback_(playback) {
  for (int k = 0; k < static_cast<int>(chains_.size()); ++k)
    chains_[static_cast<std::size_t>(k)] =
        std::make_unique<Chain>(static_cast<RandomSourceKind>(k), *this);
}

RandomSources::~RandomSources() = default;

RandomSource& RandomSources::current() {
  const auto k = static_cast<unsigned>(randomKind);
  return chains_[k < kRandomSourceKindCount ? k : kRandomSourceKindCount]->checked;
}

RawDraw RandomSources::drawRaw(std::int32_t n) {
  if (n < 1) n = 1;
  if (stop_.stopRequested) return {};
  if (soundCard.isOpen() && randomKind != RandomSourceKind::SoundCard) soundCard.closeInput();
  return current().draw(n);
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
  chains_[static_cast<std::size_t>(RandomSourceKind::Internet)]->checked.open();
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
  chains_[static_cast<std::size_t>(RandomSourceKind::RandomFile)]->checked.open();
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
  if (!playback_.stopPlayback()) {
    log.closeRandomLog();
    stopSourceWaits();
  }
}

void RandomSources::stopSourceWaits() {
  for (const auto& chain : chains_) chain->checked.close();
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
