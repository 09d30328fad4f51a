#include "core/app/random_service.h"

#include <algorithm>

#include "core/random/internet_source.h"
#include "core/random/pseudo_rng.h"

namespace voxloom {

RandomService::RandomService(Prompter& prompter, DocumentService& document, LevelMeter& inputLevel,
                             ViewRelay& relay, PlaybackControl& playback)
    : sources(stop, prompter, playback) {
  sources.pseudo.seedPseudoRandom(timeSeed());
  // The caption tells what the window waits for while the web service is asked.
  AudioDocument& doc = document.document;
  sources.showFetching = [&doc, &relay, kept = std::string()](bool fetching) mutable {
    if (fetching) {
      kept = doc.texts.windowTitle;
      doc.texts.windowTitle = kFetchingCaption;
    } else {
      doc.texts.windowTitle = kept;
    }
    doc.texts.applicationTitle = doc.texts.windowTitle;
    relay.notify(ViewAspect::Texts);
  };
  sources.useSeparateFolders = &document.folders.useSeparate;
  sources.lastRandomFileFolder = &document.folders.randomFile;
  sources.soundCard.level = &inputLevel;
  sources.soundCard.documentRate = [&doc] { return doc.format.samplesPerSec; };
}

void RandomService::seed(std::uint64_t seed) {
  sources.pseudo.seedPseudoRandom(static_cast<std::uint32_t>(seed));
}

void RandomService::bindSettings(Settings& s) {
  RandomSources& random = sources;
  s.bindText("OutputRandomNumberFiles", random.lastLogFolder);
  s.bindInt(
      "RandomSource", [this] { return storedKind(); },
      // A number that names no source (a newer version's, or junk) gives the pseudo-random
      // generator, not whichever source happens to be numbered last.
      [this](int v) { requestedKind_ = randomSourceKindFromInt(v) ? v : 0; });
  s.bindText("RandomSourceFile", random.randomFilePath);
  s.bindText(
      "RandomSourceHttp", [&random] { return random.serviceUrl; },
      [&random](const std::string& v) { random.serviceUrl = v.empty() ? kDefaultServiceUrl : v; });
  s.bindBool("RandomSourceFileLoop", random.menu.fileLoop);
  s.bindBool("RandomSourceRecNew", random.menu.recNew);
  s.bindBool("RandomSourceConvert", random.menu.convert);
  s.bindBool("RandomSourceRecBest", random.menu.recBest);
  s.bindFloat("FractalGrowthConstant", random.growthRate);
  s.bindFloat("FractalInitPopulation", random.population);
  s.bindUrlList(random.urlForm.items);
  s.bindBool("ManualRandomMute", random.manualMute);
  ParallelPortDialogState& port = random.parallelPort.dialogState;
  s.bindText(
      "RandomSourceParallelPortAddress", [&port] { return port.portAddressText; },
      [&port](const std::string& v) {
        if (v.empty()) return;
        port.portAddressText = v;
        if (std::ranges::find(port.portList, v) == port.portList.end()) port.portList.push_back(v);
      });
  s.bindInt("RandomSourceParallelInputLine", port.inputLineIndex, 0,
            static_cast<int>(kInputLines.size()) - 1);
  s.bindText("RandomSourceParallelSampleRate", port.sampleRateText);
  s.bindInt("RandomSourceParallelUnbiasMethod", port.unbiasMethod, kUnbiasNone, kUnbiasVonNeumann);
  s.bindText("RandomDevice", random.device.path);
  s.afterRandomSource = [this] { selectStoredSource(); };
}

int RandomService::storedKind() const {
  // A stored source this build cannot select is kept until the user picks another.
  const int current = static_cast<int>(sources.randomKind);
  return requestedKind_ >= 0 && current == kindAfterLoad_ ? requestedKind_ : current;
}

void RandomService::selectStoredSource() {
  const auto kind = randomSourceKindFromInt(requestedKind_).value_or(sources.randomKind);
  const std::string& path =
      kind == RandomSourceKind::Device ? sources.device.path : sources.randomFilePath;
  const SelectOutcome outcome = sources.selectRandomSource(kind, path, sources.serviceUrl, false);
  kindAfterLoad_ = static_cast<int>(sources.randomKind);
  if (outcome == SelectOutcome::Selected) requestedKind_ = -1;
}

}  // namespace voxloom
