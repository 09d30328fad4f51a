#pragma once

#include <functional>

namespace voxloom {

// Which run holds the devices: 1 idle, 2 playing the WAV file, 3 making an EVP, 4
// replaying the session, 5 recording; 0 before the first refresh. The engines read it
// (one run at a time, and Stop reaches a recording through the playback engine); only
// core/app changes it, in answer to the events below.
enum RunState : int {
  kStateNone = 0,
  kStateIdle = 1,
  kStatePlaying = 2,
  kStateMakingEvp = 3,
  kStateSessionPlay = 4,
  kStateRecording = 5,
};

// What the engines and the live source report about their runs.
enum class RunEvent {
  PlayStarted,
  EvpStarted,
  ReplayStarted,
  RecordingStarted,
  Failed,  // a run that had started could not go on: idle again at once
  // Stop was taken: the state is idle from now on, but the commands keep showing the
  // run until Ended, when its last block is back.
  Stopping,
  Ended,
  LiveSwitched,  // the live mode went on or off: idle, with the live mode's commands
  LiveRound,     // the live buffer was filled once more: the commands follow the document
};

// Required by every engine: nothing it reports may go unheard.
using RunListener = std::function<void(RunEvent)>;

}  // namespace voxloom
