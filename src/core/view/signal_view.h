#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/audio/audio_document.h"
#include "core/engine/recording_chunks.h"
#include "core/ports/speech_listener.h"
#include "core/view/signal_summary.h"
#include "core/view/time_axis.h"

namespace voxloom {

// The waveform view's state: the document's summary (built on a worker thread), the
// visible stretch of time, and what is sounding while Play, Make EVP or a replay runs.
// Everything but the summary's worker runs on the window's thread.
class SignalView {
 public:
  SignalView(const AudioDocument& doc, const int& commandState);
  SignalView(const SignalView&) = delete;
  SignalView& operator=(const SignalView&) = delete;

  TimeAxis axis;
  // What the machine listener heard in the document, in time order; drawn in a lane of
  // their own. Forgotten with the document.
  std::vector<HeardWord> heardWords;
  // Steady time in nanoseconds; tests set their own.
  std::function<std::int64_t()> clock;

  // --- The summary ---
  // Before anything writes or frees the document's samples: the worker stops. Each
  // suspend() needs its resume(); the summary is then made again for [first, end).
  void suspend();
  void resume(Frames first = 0, Frames end = INT32_MAX);
  // The document is going away: stop and forget its summary.
  void forget();
  // Takes a finished summary and starts one the document needs. True when what the
  // view draws changed.
  bool update();
  // What to draw: the finished summary or the first one being built (partly ready).
  const SignalSummary* summary() const;
  bool building() const { return builder_.running(); }
  SampleSource samples() const;

  // A recording as it grows (the document stays empty until it ends): the bytes that
  // came since the last call are summarised here, on the window's thread.
  void recordingGrew(const RecordedChunks& recorded, const WaveFormat& format);
  bool showsRecording() const { return live_ != nullptr; }
  // Frames per second of what is shown (the take's while recording).
  double rate() const { return live_ != nullptr ? liveRate_ : doc_.nominalRate; }

  // --- What sounds ---
  // The command state changed; a run (2, 3, 4) starts its clock, anything else ends it.
  // `playSeconds`: Make EVP's play time when it stops by itself, else 0.
  void commandStateChanged(int state, int playSeconds = 0);
  // The playback engine's block now starting to sound, at `framesPerSecond`.
  void blockStarted(Frames start, Frames length, double framesPerSecond);
  void setPaused(bool paused);
  // During a replay: the record (index) whose block sounds now, of `count`.
  void replayRecordSounding(std::int32_t index, std::int32_t count);

  struct Sounding {
    Frames start = 0;
    Frames length = 0;
    double cursor = 0;  // frame now sounding, within the block
  };
  std::optional<Sounding> sounding() const;
  // "Playing 0:00:01.250 / 0:00:08.552", "Make EVP 0:00:12.000 / 0:00:30.000",
  // "Replaying EVP: block 12 · 0:00:02.100"; empty when nothing runs.
  std::string runText() const;
  // Play, Make EVP, a replay or a recording.
  bool running() const { return runState_ >= 2 && runState_ <= 5; }

 private:
  std::int64_t now() const { return clock ? clock() : 0; }
  SampleSource documentSamples() const;
  double elapsedSeconds() const;

  const AudioDocument& doc_;
  const int& commandState_;
  SummaryBuilder builder_;
  std::shared_ptr<const SignalSummary> shown_;
  int suspended_ = 0;
  bool dirty_ = false;
  Frames dirtyFirst_ = 0;
  Frames dirtyEnd_ = 0;

  std::shared_ptr<SignalSummary> live_;
  Frames liveFrames_ = 0;
  int liveChannels_ = 1;
  int liveBits_ = 16;
  double liveRate_ = 0;
  std::vector<std::uint8_t> liveTail_;  // bytes of the last, unfinished entries

  int runState_ = 0;
  int playSeconds_ = 0;
  std::int64_t runStartNs_ = 0;
  std::int64_t pausedAtNs_ = -1;
  std::int64_t blockStartNs_ = 0;
  std::int64_t blocks_ = 0;
  bool hasBlock_ = false;
  Frames blockStart_ = 0;
  Frames blockLength_ = 0;
  std::int32_t replayRecord_ = -1;
  std::int32_t replayCount_ = 0;
  double framesPerSecond_ = 0;
};

// Keeps the summary's worker away from the samples while an edit changes them.
class SignalEdit {
 public:
  explicit SignalEdit(SignalView& view) : view_(view) { view_.suspend(); }
  ~SignalEdit() { view_.resume(); }
  SignalEdit(const SignalEdit&) = delete;
  SignalEdit& operator=(const SignalEdit&) = delete;

 private:
  SignalView& view_;
};

}  // namespace voxloom
