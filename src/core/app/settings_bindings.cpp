// Which field owns each settings key. A key bound here is read into its owner at
// start-up and written from it; a key not bound anywhere is kept as read.
#include <algorithm>

#include "core/app/main_controller.h"
#include "core/engine/cross_fade.h"
#include "core/settings/setting_values.h"

namespace voxloom {

namespace {

void bindSpin(Settings& s, const char* key, SegmentSpin& spin, int low, int high) {
  s.bindInt(
      key, [&spin] { return spin.value; },
      [&spin, low, high](int v) { spin.value = std::clamp(v, low, high); });
}

void bindDevice(Settings& s, DeviceLists& lists, const char* indexKey, const char* nameKey,
                DeviceChoice& choice) {
  s.bindInt(
      indexKey, [&choice] { return choice.storedIndex; },
      [&choice](int v) { choice.storedIndex = v; });
  // The name comes second, so the choice is resolved once both are known.
  s.bindText(
      nameKey, [&choice] { return choice.storedName; },
      [&lists, &choice](const std::string& v) {
        choice.storedName = v;
        lists.resolve(choice);
      });
}

// Positions beyond every screen are moved back by the window when it is shown.
constexpr int kMaxWindowExtent = 100000;
constexpr int kMaxFontPoints = 1638;  // the largest size the font dialog offers

void bindToolWindow(Settings& s, const std::string& prefix, ToolWindowState& window) {
  s.bindBool(prefix + "Visible", window.checked);
  s.bindInt(prefix + "LeftPosition", window.left, -kMaxWindowExtent, kMaxWindowExtent);
  s.bindInt(prefix + "TopPosition", window.top, -kMaxWindowExtent, kMaxWindowExtent);
}

}  // namespace

void MainController::bindSettings() {
  Settings& s = settings;
  SegmentOptions& seg = playback.options;
  bindSpin(s, "SegmentDuration", seg.duration, SegmentOptions::kMinDuration,
           SegmentOptions::kMaxDuration);
  bindSpin(s, "SegmentDuration2", seg.duration2, SegmentOptions::kMinDuration,
           SegmentOptions::kMaxDuration);
  s.bindBool("SegmentTo", seg.segTo.checked);
  s.bindBool("UseCueList", seg.useCueList.checked);
  s.bindBool("Overlap", seg.overlap.checked);
  s.bindBool("ZeroCrossAdjust", seg.zeroCrossAdjust.checked);
  s.bindBool("CrossFade", seg.crossFade.checked);
  s.bindInt("FadingMode", seg.fadeMode, 0, kFadeModeCount - 1);
  bindSpin(s, "RandomPlayTime", playback.playTime.time, PlayTimeControls::kMinSeconds,
           PlayTimeControls::kMaxSeconds);
  s.bindInt("RandomPlay", playback.playTime.itemIndex, 0, 1);

  s.bindText("EditorPath", sessions.editorPath);
  s.bindBool("SaveOnExit", saveSettingsOnExit);
  s.bindBool("RestWinPos", restoreWindowPosition);

  s.bindBool("UseSeparateFolders", useSeparateFolders);
  s.bindText("SourceWavFiles", sourceWavFolder);
  s.bindText("OutputWavFiles", sessions.outputWavFolder);
  s.bindText("SessionFiles", sessionFolder);
  s.bindText("RandomSourceFiles", lastRandomFileFolder);
  s.bindText("OutputRandomNumberFiles", playback.random.lastLogFolder);

  RandomSources& random = playback.random;
  s.bindInt(
      "RandomSource", [this] { return storedRandomKind(); },
      // A number that names no source (a newer version's, or junk) gives the pseudo-random
      // generator, not whichever source happens to be numbered last.
      [this](int v) { requestedRandomKind_ = randomSourceKindFromInt(v) ? v : 0; });
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
  s.afterRandomSource = [this] { selectStoredRandomSource(); };

  s.bindInt("EchoDelay", effects.echo.delayMs, 0, EchoDialogState::kDelayMax);
  s.bindInt("EchoDecay", effects.echo.decayPercent, 0, EchoDialogState::kDecayMax);
  AutoCutOptions& cut = effects.autoCut;
  s.bindInt("ThresholdPercent", cut.thresholdPercent, AutoCutOptions::kThresholdMin,
            AutoCutOptions::kThresholdMax);
  s.bindInt("ThresholdAutomatically", cut.thresholdChoice, AutoCutOptions::kManual,
            AutoCutOptions::kAutomatic);
  s.bindInt("EnvelopeFrameSize", cut.frameSizeMs, AutoCutOptions::kFrameSizeMin,
            AutoCutOptions::kFrameSizeMax);

  RecParamState& rec = recording.params;
  s.bindText("RecSampleRate", rec.sampleRateText);
  s.bindInt("RecChannels", rec.channelsItem, 0, 1);
  s.bindInt("RecResolution", rec.resolutionItem, 0, 1);
  s.bindInt(
      "RecBufferTimeMilliseconds", [this] { return recording.bufferTimeMs; },
      [this](int v) {
        // A spin edit in steps of 100 keeps a typed value; only the range is enforced.
        recording.bufferTimeMs = std::clamp(v, RecBufferTime::kMin, RecBufferTime::kMax);
      });
  s.bindBool("RecNormalize", rec.normalize);
  RecLevelState& level = recording.level.state;
  s.bindBool("BoostInput", level.boostChecked);
  s.bindInt("BoostSliderPos", level.boostPosition, 0, RecLevelState::kBoostPositionMax);

  bindToolWindow(s, "SpeedControlWindow", speed.window);
  s.bindInt("SpeedControlWindowSliderPosition", speed.sliderPosition, SpeedControl::kPositionMin,
            SpeedControl::kPositionMax);
  bindToolWindow(s, "VisualFeedbackWindow", feedback.window);
  s.bindInt("VisualFeedbackWindowWidth", feedback.width, 1, kMaxWindowExtent);
  s.bindInt("VisualFeedbackWindowHeight", feedback.height, 1, kMaxWindowExtent);
  FeedbackFont& font = feedback.font;
  s.bindText("VisualFeedbackWindowFontName", font.name);
  s.bindBool("VisualFeedbackWindowFontStyleBold", font.bold);
  s.bindBool("VisualFeedbackWindowFontStyleItalic", font.italic);
  s.bindBool("VisualFeedbackWindowFontStyleUnderline", font.underline);
  s.bindBool("VisualFeedbackWindowFontStyleStrikeOut", font.strikeOut);
  s.bindInt("VisualFeedbackWindowFontSize", font.size, 0, kMaxFontPoints);
  s.bindInt("VisualFeedbackWindowFontCharset", font.charset, 0, 255);

  bindDevice(s, devices, "DevicePlayback", "DevicePlaybackName", devices.playback);
  bindDevice(s, devices, "DeviceRecord", "DeviceRecordName", devices.record);
  bindDevice(s, devices, "DeviceRandomSource", "DeviceRandomSourceName", devices.randomSource);
  bindDevice(s, devices, "DeviceLiveAudioSource", "DeviceLiveAudioSourceName", devices.liveSource);
  s.bindInt("LiveAudioSourceTimeSeconds", rec.liveSeconds, RecParamState::kLiveSecondsMin,
            RecParamState::kLiveSecondsMax);
  s.bindBool("AutoOpenLastWavFile", autoOpenLastWavFile);
  s.bindText("LastWavFilePath", lastWavFile);
}

int MainController::storedRandomKind() const {
  // A stored source this build cannot select is kept until the user picks another.
  const int current = static_cast<int>(playback.random.randomKind);
  return requestedRandomKind_ >= 0 && current == kindAfterLoad_ ? requestedRandomKind_ : current;
}

void MainController::selectStoredRandomSource() {
  RandomSources& random = playback.random;
  const auto kind = randomSourceKindFromInt(requestedRandomKind_).value_or(random.randomKind);
  const std::string& path =
      kind == RandomSourceKind::Device ? random.device.path : random.randomFilePath;
  const SelectOutcome outcome = random.selectRandomSource(kind, path, random.serviceUrl, false);
  kindAfterLoad_ = static_cast<int>(random.randomKind);
  if (outcome == SelectOutcome::Selected) requestedRandomKind_ = -1;
}

void MainController::loadSettings() {
  if (settingsPath.empty()) return;
  const std::string problem = settings.load(settingsPath);
  applyDeviceChoices();
  if (!problem.empty()) prompter_.error(problem);
}

void MainController::applyDeviceChoices() {
  if (PlaybackEngine* engine = playback.engine())
    engine->playbackDevice = devices.playback.selected;
  recording.recordDevice = devices.record.selected;
  playback.random.soundCard.deviceIndex = devices.randomSource.selected;
  live.liveDevice = devices.liveSource.selected;
}

bool MainController::saveSettings(bool report) {
  if (settingsPath.empty()) return false;
  // Loading said so once already; at exit that is enough.
  if (settings.keepsUnread(settingsPath)) {
    if (report) prompter_.error(settingsKeptUnreadText(settingsPath));
    return false;
  }
  if (settings.save(settingsPath)) return true;
  if (report) prompter_.error(settingsWriteError(settingsPath));
  return false;
}

void MainController::saveSettingsNow() {
  lastWavFile = document.path;
  saveSettings(true);
}

}  // namespace voxloom
