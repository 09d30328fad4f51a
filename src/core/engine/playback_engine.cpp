#include "core/engine/playback_engine.h"

#include <algorithm>
#include <utility>

#include "core/engine/speed_control.h"
#include "core/random/random_sources.h"

namespace voxloom {

int evpSlotCount(const SegmentOptions& options, Frames cueCount) {
  if (cueListInUse(options, cueCount)) return 2;
  int shortest = options.duration.value;
  if (options.segTo.on()) shortest = std::min(shortest, options.duration2.value);
  if (shortest <= 0) return kPlaybackSlots;
  return std::clamp(200 / shortest, 2, kPlaybackSlots);
}

PickStatus checkPickPossible(const SegmentTable& table, const SegmentOptions& options,
                             const AudioDocument& doc) {
  if (!doc.samples || doc.frameCount <= 0) return PickStatus::NoSignal;
  if (cueListInUse(options, doc.cueCount())) return PickStatus::Ok;
  const Frames cap = options.crossFade.on() ? doc.frameCount / 3 : doc.frameCount / 2;
  return std::min(table.minFrames, cap) > 0 ? PickStatus::Ok : PickStatus::SignalTooShort;
}

PlaybackEngine::PlaybackEngine(WaveOut& device, Prompter& prompter, SequencerContext context,
                               const int& runState, RunListener report,
                               const PlayTimeControls& playTime, PlaybackPeers& peers,
                               EvpCapture& capture)
    : device_(device),
      prompter_(prompter),
      context_(context),
      runState_(runState),
      report_(std::move(report)),
      playTime_(playTime),
      peers_(peers),
      capture_(capture) {}

PlaybackEngine::~PlaybackEngine() {
  // The device must not write into freed headers or call back into a dead engine.
  if (open_) {
    device_.reset();
    for (WaveHeader& header : headers_)
      if (header.prepared) device_.unprepare(header);
    device_.close();
  }
}

void PlaybackEngine::reportWaveOutError(WaveResult code) {
  std::string text = device_.errorText(code);
  if (text.size() > kWaveErrorTextMax) text.resize(kWaveErrorTextMax);
  prompter_.message(kWaveOutErrorTitle, text, MessageIcon::Error, MessageButtons::Ok);
}

bool PlaybackEngine::openDevice() {
  const AudioDocument& doc = context_.doc;
  WaveFormat format = doc.format;
  format.samplesPerSec = speedAdjustedRate(doc.nominalRate, speedPercent);
  WaveResult result = device_.query(playbackDevice, format);
  if (result == kWaveOk) {
    result = device_.open(
        playbackDevice, format, [this](WaveHeader&) { onPlaybackBufferDone(); },
        [this](WaveResult code) { onPlaybackDeviceLost(code); });
  }
  if (result != kWaveOk) {
    reportWaveOutError(result);
    return false;
  }
  open_ = true;
  return true;
}

int PlaybackEngine::playDocument() {
  const AudioDocument& doc = context_.doc;
  if (open_ || !doc.isLoaded || !doc.samples) return 1;
  if (!openDevice()) return 1;
  report_(RunEvent::PlayStarted);
  slotIndex_ = 0;
  WaveHeader& header = headers_[0];
  header = WaveHeader{};
  header.data = doc.samples.get();
  header.bufferLength = static_cast<std::uint32_t>(doc.dataBytes);
  WaveResult result = device_.prepare(header);
  if (result != kWaveOk) {
    reportWaveOutError(result);
    device_.close();
    open_ = false;
    report_(RunEvent::Failed);
    return 1;
  }
  result = device_.write(header);
  if (result != kWaveOk) {
    reportWaveOutError(result);
    device_.reset();
    device_.unprepare(header);
    device_.close();
    open_ = false;
    report_(RunEvent::Failed);
    return 1;
  }
  bufferCount_ = kPlaybackSlots;
  outstanding_ = 1;
  if (blockSounding) blockSounding(0, doc.frameCount);
  return 0;
}

int PlaybackEngine::makeEvp() {
  const AudioDocument& doc = context_.doc;
  if (open_ || !doc.isLoaded) return 1;
  // Refuse before anything is opened: the grid computations need a segment length.
  SegmentTable probe = context_.table;
  updateMinFrames(probe, context_.options, doc);
  const PickStatus possible = checkPickPossible(probe, context_.options, doc);
  if (possible != PickStatus::Ok) {
    prompter_.error(pickFailureText(possible));
    return 1;
  }

  RandomSources& random = context_.random;
  if (!random.log.openRandomLog(prompter_)) return 1;
  if (!openDevice()) {
    random.log.closeRandomLog();
    return 1;
  }
  // Failures count per run; before the state change, so that the window's refresh for
  // the new run does not see the last run's failures.
  random.startRun();
  report_(RunEvent::EvpStarted);
  if (!capture_.begin()) {
    device_.close();
    open_ = false;
    random.log.closeRandomLog();
    report_(RunEvent::Failed);
    return 1;
  }
  updateMinFrames(context_.table, context_.options, doc);
  updateMaxFrames(context_.table, context_.options, doc);
  if (timer_ != nullptr && playTime_.stopsAfterTime()) {
    timer_->start(playTime_.time.value * 1000, [this] { stopPlayback(); });
  }
  // The manual sweep and sound-card sources show their windows here once they exist.
  bufferCount_ = evpSlotCount(context_.options, doc.cueCount());
  if (random.randomKind == RandomSourceKind::Internet && random.menu.recNew) {
    random.batch.index = 0;
    random.batch.count = 0;
  }
  random.stop().stopRequested = false;
  pickFailure_ = PickStatus::Ok;
  segmentSerial_ = 0;
  outstanding_ = 0;
  context_.renderer.prevEnd = -1;

  device_.pause();  // nothing plays until the ring is full
  for (slotIndex_ = 0; slotIndex_ < bufferCount_; ++slotIndex_) {
    queueNextSegment();
    if (random.stop().stopRequested) {
      // The blocks come back from slot 0 on.
      slotIndex_ = 0;
      stopPlayback();
      return 0;
    }
    if (slotIndex_ == 0) showSlot();
  }
  slotIndex_ = 0;
  device_.restart();
  return 0;
}

int PlaybackEngine::playEntries(ReplayEntrySource source) {
  if (open_ || !context_.doc.isLoaded) return 1;
  if (!openDevice()) return 1;
  report_(RunEvent::ReplayStarted);
  replay_ = std::move(source);
  bufferCount_ = kPlaybackSlots;
  outstanding_ = 0;
  context_.renderer.prevEnd = -1;
  device_.pause();
  for (slotIndex_ = 0; slotIndex_ < bufferCount_; ++slotIndex_) {
    queueNextSessionSegment();
    if (slotIndex_ == 0) showSlot();
  }
  slotIndex_ = 0;
  device_.restart();
  // Nothing to replay: no block will ever come back to end the run.
  if (outstanding_ == 0) finishRun();
  return 0;
}

bool PlaybackEngine::queueHeader(const std::uint8_t* data, Bytes bytes, std::int32_t userValue) {
  WaveHeader& header = headers_[static_cast<std::size_t>(slotIndex_)];
  header = WaveHeader{};
  header.data = const_cast<std::uint8_t*>(data);  // the device only reads output buffers
  header.bufferLength = static_cast<std::uint32_t>(std::max(bytes, 0));
  header.user = static_cast<std::uintptr_t>(userValue);
  device_.prepare(header);
  if (device_.write(header) != kWaveOk) return false;
  ++outstanding_;
  return true;
}

void PlaybackEngine::queueNextSegment() {
  sources_[static_cast<std::size_t>(slotIndex_)] = {};
  slotRecords_[static_cast<std::size_t>(slotIndex_)] = -1;
  context_.renderer.fadeMode = context_.options.fadeMode;  // the menu may have changed it
  const bool mute = peers_.muteRepeats();
  const NextBlock block = makeNextBlock(context_, slotIndex_, mute);
  if (block.status == BlockStatus::NoPick) {
    // The options changed under a running EVP so that no segment can be cut.
    pickFailure_ = block.pickStatus;
    context_.random.stop().stopRequested = true;
    return;
  }
  if (block.status != BlockStatus::Ready) return;
  // A muted pick still takes its time: an empty block comes straight back from the device,
  // and a resting slider would make the run spin, drawing and logging without pause.
  const std::uint8_t* data = block.pick.muted ? silence(block.length) : block.data;
  const Bytes bytes = block.pick.muted ? block.length * context_.doc.frameBytes : block.bytes;
  // A block the device refused never sounds, so it is no part of the EVP.
  if (!queueHeader(data, bytes, block.userValue)) return;
  sources_[static_cast<std::size_t>(slotIndex_)] = {block.pick.start, block.length};
  ++segmentSerial_;
  if (block.recordable) capture_.append(block, segmentSerial_);
}

const std::uint8_t* PlaybackEngine::silence(Frames length) {
  // The slot's last block has come back, so its buffer is free to refill.
  std::vector<std::uint8_t>& buffer = silence_[static_cast<std::size_t>(slotIndex_)];
  const std::uint8_t zero = context_.doc.format.bitsPerSample == 8 ? 0x80 : 0;  // 8 bits: unsigned
  buffer.assign(static_cast<std::size_t>(std::max(length, 0)) *
                    static_cast<std::size_t>(context_.doc.frameBytes),
                zero);
  return buffer.data();
}

void PlaybackEngine::queueNextSessionSegment() {
  sources_[static_cast<std::size_t>(slotIndex_)] = {};
  slotRecords_[static_cast<std::size_t>(slotIndex_)] = -1;
  if (!replay_) return;
  const std::optional<ReplayEntry> entry = replay_();
  if (!entry) {
    replay_ = nullptr;
    return;
  }
  const AudioDocument& doc = context_.doc;
  Frames start = entry->start;
  const Frames length = std::max(entry->length, 0);
  if (entry->fade) {
    // Frames outside the signal render as silence; no stored segment can be longer than
    // the signal, so a longer entry (a damaged file) is cut to its length.
    const Frames rendered = std::min(length, doc.frameCount);
    context_.renderer.fadeMode = context_.options.fadeMode;
    const std::uint8_t* data = renderCrossFade(context_.renderer, doc, slotIndex_, start, rendered);
    if (queueHeader(data, rendered * doc.frameBytes, entry->segmentNumber)) {
      sources_[static_cast<std::size_t>(slotIndex_)] = {start, rendered};
      slotRecords_[static_cast<std::size_t>(slotIndex_)] = entry->record;
    }
    return;
  }
  // A stored entry may not fit a shorter signal: play the part of it inside the signal.
  const std::int64_t first = std::clamp<std::int64_t>(start, 0, doc.frameCount);
  const std::int64_t end =
      std::clamp<std::int64_t>(std::int64_t{start} + length, first, doc.frameCount);
  if (queueHeader(doc.samples.get() + static_cast<std::ptrdiff_t>(first) * doc.frameBytes,
                  static_cast<Bytes>((end - first) * doc.frameBytes), entry->segmentNumber)) {
    sources_[static_cast<std::size_t>(slotIndex_)] = {static_cast<Frames>(first),
                                                      static_cast<Frames>(end - first)};
    slotRecords_[static_cast<std::size_t>(slotIndex_)] = entry->record;
  }
}

void PlaybackEngine::advanceSlot() {
  slotIndex_ = bufferCount_ > 0 ? (slotIndex_ + 1) % bufferCount_ : 0;
}

void PlaybackEngine::showSlot() {
  if (callouts.showSegment)
    callouts.showSegment(headers_[static_cast<std::size_t>(slotIndex_)].user);
  const auto& [start, length] = sources_[static_cast<std::size_t>(slotIndex_)];
  soundingRecord_ = slotRecords_[static_cast<std::size_t>(slotIndex_)];
  if (blockSounding && length > 0) blockSounding(start, length);
}

void PlaybackEngine::setPaused(bool paused) {
  isPaused_ = paused;
  if (callouts.pauseChanged) callouts.pauseChanged(paused);
}

void PlaybackEngine::togglePause() {
  if (!open_) return;
  // A timed run counts only the time it plays: Pause holds the timer, Continue resumes it.
  if (isPaused_) {
    device_.restart();
    if (timer_ != nullptr && heldPlayTimeMs_ >= 0)
      timer_->start(heldPlayTimeMs_, [this] { stopPlayback(); });
    heldPlayTimeMs_ = -1;
  } else {
    device_.pause();
    if (timer_ != nullptr && timer_->isActive()) {
      heldPlayTimeMs_ = std::max(timer_->remainingMs(), 0);
      timer_->cancel();
    }
  }
  setPaused(!isPaused_);
}

void PlaybackEngine::stopPlayback() {
  if (runState_ == kStateRecording) {
    report_(RunEvent::Stopping);
    peers_.resetRecording();
    return;
  }
  stopRun();
}

void PlaybackEngine::stopRun() {
  // The commands keep showing the run until its last block is back.
  report_(RunEvent::Stopping);
  if (open_) device_.reset();
  if (isPaused_) setPaused(false);
  heldPlayTimeMs_ = -1;
  if (timer_ != nullptr) timer_->cancel();
  RandomLog& log = context_.random.log;
  if (!log.closeRandomLog()) prompter_.error(cannotWriteLogText(log.logFileName));
  context_.random.stopSourceWaits();
  if (pickFailure_ != PickStatus::Ok) {
    const PickStatus failure = pickFailure_;
    pickFailure_ = PickStatus::Ok;
    prompter_.error(pickFailureText(failure));
  }
  // Nothing in flight: no notification will come to end the run.
  if (open_ && outstanding_ <= 0) finishRun();
}

void PlaybackEngine::onPlaybackDeviceLost(WaveResult code) {
  // Play and a replay have ended already, by their returned blocks; Make EVP refills
  // every returned slot and only stops when told. The run is over before the message,
  // so nothing waits on the box.
  if (open_) stopRun();
  reportWaveOutError(code);
}

void PlaybackEngine::finishRun() {
  device_.close();
  open_ = false;
  replay_ = nullptr;
  report_(RunEvent::Ended);
  capture_.finish(segmentSerial_, bufferCount_);
  // Only now is no render buffer queued on the device any more.
  context_.renderer.freeRenderBuffers();
  for (auto& buffer : silence_) std::vector<std::uint8_t>().swap(buffer);
}

void PlaybackEngine::onPlaybackBufferDone() {
  if (inBufferDone_) {
    ++deferredDone_;
    return;
  }
  inBufferDone_ = true;
  handleBufferDone();
  while (deferredDone_ > 0) {
    --deferredDone_;
    handleBufferDone();
  }
  inBufferDone_ = false;
}

void PlaybackEngine::handleBufferDone() {
  if (!open_) return;
  device_.unprepare(headers_[static_cast<std::size_t>(slotIndex_)]);
  --outstanding_;
  switch (runState_) {
    case kStateMakingEvp:
      queueNextSegment();
      advanceSlot();  // the refilled slot is the newest; the next one returns first
      if (context_.random.stop().stopRequested) {
        stopPlayback();
        return;
      }
      showSlot();
      return;
    case kStateSessionPlay:
      if (outstanding_ <= 0) {
        finishRun();
        return;
      }
      queueNextSessionSegment();
      advanceSlot();
      showSlot();
      return;
    default:
      advanceSlot();
      if (outstanding_ <= 0) finishRun();
      return;
  }
}

}  // namespace voxloom
