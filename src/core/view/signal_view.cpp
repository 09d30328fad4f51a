#include "core/view/signal_view.h"

#include <algorithm>
#include <chrono>

namespace voxloom {

SignalView::SignalView(const AudioDocument& doc, const int& commandState)
    : doc_(doc), commandState_(commandState) {
  clock = [] {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  };
}

SampleSource SignalView::documentSamples() const {
  if (!doc_.isLoaded) return {};
  return SampleSource::of(doc_);
}

SampleSource SignalView::samples() const {
  if (live_ != nullptr) {
    SampleSource s;  // summarised only: the bytes are not in one piece
    s.frameCount = liveFrames_;
    s.channels = liveChannels_;
    s.bits = liveBits_;
    return s;
  }
  return documentSamples();
}

void SignalView::recordingGrew(const RecordedChunks& recorded, const WaveFormat& format) {
  const int channels = std::clamp<int>(format.channels, 1, 2);
  const int bits = format.bitsPerSample;
  if ((bits != 8 && bits != 16) || format.channels > 2) return;
  const auto frameBytes = static_cast<std::size_t>(channels * bits / 8);
  const auto frames = static_cast<std::int64_t>(recorded.size() / frameBytes);
  if (live_ == nullptr || channels != liveChannels_ || bits != liveBits_ || frames < liveFrames_) {
    live_.reset();
    liveFrames_ = 0;
    liveChannels_ = channels;
    liveBits_ = bits;
  }
  liveRate_ = format.samplesPerSec;
  if (frames > INT32_MAX || (live_ != nullptr && frames == liveFrames_)) return;
  if (live_ == nullptr || frames > live_->frameCount()) {
    // Room for twice as much, so that a long take is copied only a few times.
    const std::int64_t room = std::max<std::int64_t>(
        {frames * 2, std::int64_t{format.samplesPerSec} * 60, kSummaryBaseFrames});
    auto grown = std::make_shared<SignalSummary>(
        channels, static_cast<Frames>(std::min<std::int64_t>(room, INT32_MAX)));
    if (live_ != nullptr)
      for (int k = 0; k < std::min(live_->levelCount(), grown->levelCount()); ++k) {
        const std::vector<MinMax>& old = live_->levelData(k);
        std::vector<MinMax>& now = grown->level(k);
        std::copy(old.begin(),
                  old.begin() + static_cast<std::ptrdiff_t>(std::min(old.size(), now.size())),
                  now.begin());
      }
    const int known = live_ != nullptr ? live_->levelCount() : grown->levelCount();
    live_ = std::move(grown);
    summariseCoarse(*live_, known, liveFrames_ / kSummaryBaseFrames * kSummaryBaseFrames);
  }
  // From the start of the last unfinished entry on.
  const Frames at = liveFrames_ / kSummaryBaseFrames * kSummaryBaseFrames;
  const auto count = static_cast<std::size_t>(frames - at) * frameBytes;
  liveTail_.resize(count);
  recorded.copyOut(static_cast<std::size_t>(at) * frameBytes, liveTail_.data(), count);
  SampleSource tail;
  tail.data = liveTail_.data();
  tail.frameCount = static_cast<Frames>(frames - at);
  tail.channels = channels;
  tail.bits = bits;
  extendSummary(tail, *live_, at);
  // Entries count as ready only when whole; the last, unfinished one waits.
  live_->publish(static_cast<Frames>(frames));
  liveFrames_ = static_cast<Frames>(frames);
}

void SignalView::suspend() {
  ++suspended_;
  builder_.cancel();
}

void SignalView::resume(Frames first, Frames end) {
  if (suspended_ > 0) --suspended_;
  if (dirty_) {
    first = std::min(first, dirtyFirst_);
    end = std::max(end, dirtyEnd_);
  }
  dirty_ = true;
  dirtyFirst_ = first;
  dirtyEnd_ = end;
}

void SignalView::forget() {
  builder_.cancel();
  heardWords.clear();
  shown_.reset();
  dirty_ = false;
}

bool SignalView::update() {
  if (suspended_ > 0) return false;
  if (live_ != nullptr && (doc_.isLoaded || runState_ != 5)) {
    live_.reset();  // the take has become the document, or is gone
    liveFrames_ = 0;
  }
  const SampleSource source = documentSamples();
  const auto fits = [&](const SignalSummary& s) {
    return s.source == source.data && s.frameCount() == source.frameCount &&
           s.channels() == source.channels;
  };
  bool changed = false;
  if (builder_.finished()) {
    std::shared_ptr<SignalSummary> done = builder_.take();
    if (done && fits(*done)) shown_ = std::move(done);
    changed = true;
  }
  if (builder_.running()) return changed;
  const bool matches = shown_ && fits(*shown_);
  if (matches && !dirty_) return changed;
  if (!matches && shown_) {
    shown_.reset();
    changed = true;
  }
  if (source.frameCount > 0) {
    builder_.start(source, shown_, matches ? dirtyFirst_ : 0,
                   matches ? std::min(dirtyEnd_, source.frameCount) : source.frameCount);
    changed = changed || !shown_;
  }
  dirty_ = false;
  return changed;
}

const SignalSummary* SignalView::summary() const {
  if (live_) return live_.get();
  if (shown_) return shown_.get();
  return builder_.building().get();
}

void SignalView::commandStateChanged(int state, int playSeconds) {
  const bool run = state >= 2 && state <= 5;
  if (run && state != runState_) {
    runStartNs_ = now();
    pausedAtNs_ = -1;
    blocks_ = 0;
    hasBlock_ = false;
    playSeconds_ = playSeconds;
    replayRecord_ = -1;
  }
  if (!run) hasBlock_ = false;
  runState_ = state;
}

void SignalView::replayRecordSounding(std::int32_t index, std::int32_t count) {
  replayRecord_ = index;
  replayCount_ = count;
}

void SignalView::blockStarted(Frames start, Frames length, double framesPerSecond) {
  hasBlock_ = true;
  blockStart_ = start;
  blockLength_ = std::max<Frames>(length, 0);
  framesPerSecond_ = framesPerSecond;
  blockStartNs_ = pausedAtNs_ >= 0 ? pausedAtNs_ : now();
  ++blocks_;
}

void SignalView::setPaused(bool paused) {
  const std::int64_t t = now();
  if (paused && pausedAtNs_ < 0) {
    pausedAtNs_ = t;
  } else if (!paused && pausedAtNs_ >= 0) {
    // The clocks skip the pause.
    runStartNs_ += t - pausedAtNs_;
    blockStartNs_ += t - pausedAtNs_;
    pausedAtNs_ = -1;
  }
}

std::optional<SignalView::Sounding> SignalView::sounding() const {
  if (!running() || !hasBlock_) return std::nullopt;
  const std::int64_t t = pausedAtNs_ >= 0 ? pausedAtNs_ : now();
  const double seconds = static_cast<double>(t - blockStartNs_) / 1e9;
  Sounding s;
  s.start = blockStart_;
  s.length = blockLength_;
  s.cursor = blockStart_ + std::clamp(seconds * framesPerSecond_, 0.0,
                                      static_cast<double>(std::max<Frames>(blockLength_ - 1, 0)));
  return s;
}

double SignalView::elapsedSeconds() const {
  const std::int64_t t = pausedAtNs_ >= 0 ? pausedAtNs_ : now();
  return std::max<double>(0, static_cast<double>(t - runStartNs_) / 1e9);
}

std::string SignalView::runText() const {
  if (!running()) return {};
  const std::string elapsed = timeText(elapsedSeconds());
  const std::string pause = pausedAtNs_ >= 0 ? " (paused)" : "";
  switch (runState_) {
    case 2:
      return "Playing " + elapsed + " / " +
             timeText(doc_.nominalRate > 0 ? static_cast<double>(doc_.frameCount) / doc_.nominalRate
                                           : 0.0) +
             pause;
    case 3:
      return "Make EVP " + elapsed +
             (playSeconds_ > 0 ? " / " + timeText(playSeconds_) : std::string()) + " \u00B7 " +
             std::to_string(blocks_) + " blocks" + pause;
    case 5:
      return "Recording " + elapsed;
    default:
      if (replayRecord_ < 0)
        return "Replaying EVP: block " + std::to_string(blocks_) + " \u00B7 " + elapsed;
      return "Replaying EVP " + std::to_string(replayRecord_ + 1) + "/" +
             std::to_string(replayCount_) + ": block " + std::to_string(blocks_) + " \u00B7 " +
             elapsed;
  }
}

}  // namespace voxloom
