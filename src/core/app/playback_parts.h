#pragma once

#include <cstdint>
#include <memory>

#include "core/audio/audio_document.h"
#include "core/engine/cross_fade_renderer.h"
#include "core/engine/play_time_controls.h"
#include "core/engine/playback_engine.h"
#include "core/engine/segment_model.h"
#include "core/engine/segment_options.h"
#include "core/ports/event_loop.h"
#include "core/ports/prompter.h"
#include "core/ports/timer.h"
#include "core/random/random_sources.h"

namespace voxloom {

// What playing and making EVPs need besides the random sources: the segment state and
// options, the renderer, the play-time controls and, once a device is attached, the
// engine.
class PlaybackParts {
 public:
  // The engine, once attached, reads `runState` and reports to `report`.
  PlaybackParts(Prompter& prompter, const AudioDocument& document, RandomSources& random,
                const int& runState, RunListener report);
  PlaybackParts(const PlaybackParts&) = delete;
  PlaybackParts& operator=(const PlaybackParts&) = delete;

  RandomSources& random;
  SegmentTable table;
  SegmentOptions options;
  RendererState renderer;
  PlayTimeControls playTime;

  // Builds the engine on `device`; notifications must arrive through `loop`.
  // `peers` and `capture` are the engine's, for as long as it lives.
  PlaybackEngine& attachDevice(WaveOut& device, EventLoop& loop, OneShotTimer* timer,
                               PlaybackPeers& peers, EvpCapture& capture);
  PlaybackEngine* engine() { return engine_.get(); }
  EventLoop* loop() { return loop_; }

  // The segment controls' change handlers (the window writes user input through these).
  int changeDuration(int entered);   // CSpinEditSegDuration
  int changeDuration2(int entered);  // CSpinEditSegDuration2
  // A click on a check box of the group; overlap has no enabling consequences.
  void clickOption(SegmentCheck& check);

  SequencerContext sequencerContext() { return {table, options, document_, random, renderer}; }

 private:
  Prompter& prompter_;
  const AudioDocument& document_;
  const int& runState_;
  RunListener report_;
  EventLoop* loop_ = nullptr;
  std::unique_ptr<PlaybackEngine> engine_;
};

}  // namespace voxloom
