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

SampleSource SignalView::samples() const {
  if (!doc_.isLoaded) return {};
  return SampleSource::of(doc_);
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
  shown_.reset();
  dirty_ = false;
}

bool SignalView::update() {
  if (suspended_ > 0) return false;
  const SampleSource source = samples();
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
  if (shown_) return shown_.get();
  return builder_.building().get();
}

void SignalView::commandStateChanged(int state, int playSeconds) {
  const bool run = state >= 2 && state <= 4;
  if (run && state != runState_) {
    runStartNs_ = now();
    pausedAtNs_ = -1;
    blocks_ = 0;
    hasBlock_ = false;
    playSeconds_ = playSeconds;
  }
  if (!run) hasBlock_ = false;
  runState_ = state;
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
    default:
      return "Replaying EVP: block " + std::to_string(blocks_) + " \u00B7 " + elapsed;
  }
}

}  // namespace voxloom
