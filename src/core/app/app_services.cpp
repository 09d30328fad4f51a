#include "core/app/app_services.h"

#include <algorithm>
#include <cctype>

#include "core/app/session_replay.h"

namespace voxloom {

namespace {

std::string lowerExtension(const std::string& path) {
  const std::string name = fileNamePart(path);
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos) return {};
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

AppServices::AppServices(Prompter& prompter, Shell& shell, QuestionPrompt& questions)
    : document(prompter, states, relay),
      recording(prompter, document, states, relay, *this),
      random(prompter, document, recording.engine.level, relay, *this),
      playback(prompter, document, random, recording, states, relay, *this),
      // Export renders cross-faded entries with the shape the segment options hold now.
      sessions(prompter, shell, document, states, programFolder, *this, questions,
               playback.parts.options.fadeMode),
      settings(prompter),
      listener(prompter, document, sessions.sessions, states, relay),
      prompter_(prompter) {
  document.bindSettings(settings.settings);
  recording.bindSettings(settings.settings);
  random.bindSettings(settings.settings);
  playback.bindSettings(settings.settings);
  sessions.bindSettings(settings.settings);
  listener.bindSettings(settings.settings);
}

bool AppServices::discardDocumentIfAllowed() {
  SessionController& s = sessions.sessions;
  // Ask everything first: a Cancel to the last question must still find the session.
  const Answer sessionAnswer = s.askToSaveSession();
  if (sessionAnswer == Answer::Cancel) return true;
  const Answer wavAnswer = document.askToSave();
  if (wavAnswer == Answer::Cancel) return true;
  // A save that is cancelled or fails keeps everything not yet saved.
  if (sessionAnswer == Answer::Yes && s.saveSession(false) != 0) return true;
  if (wavAnswer == Answer::Yes && saveDocument(false) != 0) return true;

  // A session never outlives its WAV file.
  s.session.isModified = false;
  s.closeSession();
  document.discard();
  return false;
}

int AppServices::readWavFile(const std::string& path) {
  if (discardDocumentIfAllowed()) return 1;
  return document.load(path);
}

void AppServices::openWavFile(const std::string& path) {
  std::string chosen = path;
  if (chosen.empty()) {
    FileDialogSpec spec;
    spec.title = "Open WAV file...";
    spec.filter = kWavFilter;
    spec.defaultExtension = "*.wav";
    if (document.folders.useSeparate) spec.initialFolder = document.folders.sourceWav;
    const auto picked = prompter_.chooseOpenFile(spec);
    if (!picked) return;
    chosen = *picked;
  }
  document.folders.sourceWav = folderPart(chosen);
  readWavFile(chosen);
}

void AppServices::openFileByType(const std::string& path) {
  const std::string ext = lowerExtension(path);
  const std::string folder = folderPart(path);
  if (ext == ".wav") {
    if (states.liveMode) return;
    document.folders.sourceWav = folder;
    openWavFile(path);
  } else if (ext == ".pcm") {
    document.folders.randomFile = folder;
    random.sources.selectRandomSource(RandomSourceKind::RandomFile, path, "", false);
    relay.notify(ViewAspect::Commands);
  } else if (ext == ".evp") {
    if (states.liveMode) return;
    document.folders.session = folder;
    sessions.sessions.openSession(path);
  } else {
    prompter_.message("Error", kUnknownFiletypeText, MessageIcon::Error, MessageButtons::Ok);
  }
}

int AppServices::saveDocument(bool askFirst) {
  // The document may replace its own file, never a file the window still reads.
  OutputGuard files;
  files.input("session", sessions.sessions.session.fileName);
  const RandomSources& sources = random.sources;
  if (sources.randomKind == RandomSourceKind::RandomFile)
    files.input("random number file", sources.randomFilePath);
  if (sources.log.logEnabled) files.input("random log", sources.log.logFileName);
  return document.save(askFirst, std::move(files));
}

int AppServices::writeWavFile(const std::string& path, int source) {
  if (source == 0) return sessions.sessions.writeEvpWavFile(path);  // the current EVP
  if (source != 1) return 1;
  return document.write(path);
}

void AppServices::loadSettings() {
  if (settings.path.empty()) return;
  settings.load();
  applyDeviceChoices();
}

void AppServices::applyDeviceChoices() {
  const DeviceLists& devices = settings.devices;
  if (PlaybackEngine* engine = playback.parts.engine())
    engine->playbackDevice = devices.playback.selected;
  recording.engine.recordDevice = devices.record.selected;
  random.sources.soundCard.deviceIndex = devices.randomSource.selected;
  playback.live.liveDevice = devices.liveSource.selected;
}

void AppServices::attachPlayback(WaveOut& device, EventLoop& loop, OneShotTimer* timer) {
  PlaybackEngine& engine = playback.attach(device, loop, timer, capture);
  SessionController& s = sessions.sessions;
  engine.blockSounding = [this, &engine, &s](Frames start, Frames length) {
    SignalView& view = document.signalView;
    view.blockStarted(start, length, document.document.nominalRate * engine.speedPercent / 100.0);
    view.replayRecordSounding(engine.soundingRecord(), s.session.count());
  };
  s.replayAvailable = true;
}

bool AppServices::stopPlayback() {
  PlaybackEngine* engine = playback.parts.engine();
  if (engine == nullptr) return false;  // no device yet: the sources end their own waits
  engine->stopPlayback();
  return true;
}

void AppServices::attachRecording(WaveIn& device, EventLoop& loop, OneShotTimer* levelDecay) {
  recording.attach(device, loop, levelDecay);
  // The sound-card random source records from the same device while nothing else does.
  random.sources.soundCard.device = &device;
  random.sources.soundCard.loop = &loop;
}

void AppServices::attachLive(WaveIn& device, EventLoop& loop) {
  playback.attachLive(device, loop);
}

}  // namespace voxloom
