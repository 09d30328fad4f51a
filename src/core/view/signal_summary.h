#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "core/audio/audio_document.h"
#include "core/util/units.h"

namespace voxloom {

// The smallest and largest sample of a stretch of one channel, in 1/128 of full scale
// (the high byte of a 16-bit sample, rounded outwards so the envelope never shrinks).
struct MinMax {
  std::int8_t min = 0;
  std::int8_t max = 0;
};

inline constexpr Frames kSummaryBaseFrames = 256;  // frames per entry of the finest level
inline constexpr int kSummaryFactor = 16;          // each level is this much coarser

// A multi-level min/max summary of a signal, so that drawing never scans samples when a
// level has an entry per pixel column. Level k holds one entry per 256 * 16^k frames
// and channel, channels interleaved. While it is built, entries become valid from the
// front: `readyFrames` (written by the builder, read by the window) tells how far.
class SignalSummary {
 public:
  SignalSummary(int channels, Frames frameCount);

  int channels() const { return channels_; }
  Frames frameCount() const { return frameCount_; }
  int levelCount() const { return static_cast<int>(levels_.size()); }
  static std::int64_t framesPerEntry(int level);
  std::size_t entryCount(int level) const {
    return levels_[static_cast<std::size_t>(level)].size() / static_cast<std::size_t>(channels_);
  }
  const MinMax& entry(int level, std::size_t index, int channel) const {
    return levels_[static_cast<std::size_t>(level)]
                  [index * static_cast<std::size_t>(channels_) + static_cast<std::size_t>(channel)];
  }
  // Whether entry `index` of `level` may be read now.
  bool isReady(int level, std::size_t index) const;
  Frames readyFrames() const { return ready_.load(std::memory_order_acquire); }
  bool complete() const { return readyFrames() >= frameCount_; }
  std::size_t memoryBytes() const;

  const std::vector<MinMax>& levelData(int k) const { return levels_[static_cast<std::size_t>(k)]; }

  // The builder's side.
  std::vector<MinMax>& level(int k) { return levels_[static_cast<std::size_t>(k)]; }
  void publish(Frames ready) { ready_.store(ready, std::memory_order_release); }

  // Identifies the samples it was built from.
  const std::uint8_t* source = nullptr;

 private:
  int channels_;
  Frames frameCount_;
  std::vector<std::vector<MinMax>> levels_;
  std::atomic<Frames> ready_{0};
};

// The samples a summary is made from: a plain description, no document, so the worker
// thread holds nothing the window thread uses.
struct SampleSource {
  const std::uint8_t* data = nullptr;
  Frames frameCount = 0;
  int channels = 1;
  int bits = 16;

  static SampleSource of(const AudioDocument& doc);
  // One sample as -32768..32767 (8-bit samples scaled up).
  int sample(Frames frame, int channel) const;
};

// Builds `summary` for frames [first, end) of `source` (every level, entries touching
// the range), publishing progress; stops early when `cancel` becomes true.
void buildSummary(const SampleSource& source, SignalSummary& summary, Frames first, Frames end,
                  const std::atomic<bool>* cancel = nullptr);

// Summarises `source` into `summary` from frame `at` on (a multiple of 256): frame 0 of
// the source is frame `at` of the summary, which may be larger than what is summarised so
// far. For a recording as it grows, on the window's thread.
void extendSummary(const SampleSource& source, SignalSummary& summary, Frames at);

// Makes the coarser levels from `fromLevel` on (at least 1) for the frames before `end`
// from the levels below them: levels a grown summary has that its predecessor lacked.
void summariseCoarse(SignalSummary& summary, int fromLevel, Frames end);

// Builds summaries on one worker thread. The caller keeps the samples unchanged and alive
// until the build is finished or cancelled.
class SummaryBuilder {
 public:
  SummaryBuilder() = default;
  SummaryBuilder(const SummaryBuilder&) = delete;
  SummaryBuilder& operator=(const SummaryBuilder&) = delete;
  ~SummaryBuilder() { cancel(); }

  // A whole new summary, or - with `previous` of the same shape - a copy of it with the
  // frames [first, end) summarised again.
  void start(const SampleSource& source, std::shared_ptr<const SignalSummary> previous,
             Frames first, Frames end);
  // Stops the worker and waits for it; the unfinished summary is dropped.
  void cancel();
  bool running() const { return summary_ != nullptr; }
  bool finished() const { return done_.load(std::memory_order_acquire); }
  // The summary under construction (readable up to its ready frames).
  const std::shared_ptr<SignalSummary>& building() const { return summary_; }
  // Once finished: the summary, and the builder is free again.
  std::shared_ptr<SignalSummary> take();

 private:
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> done_{false};
  std::shared_ptr<SignalSummary> summary_;
};

}  // namespace voxloom
