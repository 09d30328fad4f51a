#include "core/app/command_state.h"

namespace voxloom {

void applyCommandTable(int state, const DocumentFlags& f, CommandView& v) {
  if (state < kStateIdle || state > kStateRecording) return;
  const bool idle = state == kStateIdle;
  const bool activeWav = state == kStatePlaying || state == kStateMakingEvp;

  v[Command::Open] = idle && !f.live;
  v[Command::Save] = idle && f.loaded && f.modified && !f.live;
  v[Command::Record] = idle && !f.live;
  v[Command::Play] = idle && f.loaded && !f.live;
  v[Command::MakeEvp] = idle && f.loaded;  // also while live input is on
  v[Command::Pause] = activeWav;
  v[Command::Stop] = activeWav || state == kStateRecording;
  if (idle || state == kStateMakingEvp) {
    v[Command::LogRandom] = idle;
    v[Command::WriteRandom] = idle;
  }
  v[Command::Live] = idle;
  for (Command c : {Command::Reverse, Command::Echo, Command::Normalize, Command::AutoCut})
    v[c] = idle && f.loaded && !f.live;
  // A listening reads its own copy of the samples, so it may run on while anything else
  // does; its item stays enabled as the way to cancel it.
  v[Command::Listen] = f.listening || (idle && f.loaded && !f.live && f.listenerReady);
  v[Command::AddHeardCues] = idle && f.loaded && !f.live && f.heardWords;

  v.segmentControlsMode = (idle || state == kStateMakingEvp) ? 0 : 1;
  v.playTimeControlsMode = idle ? 0 : 1;
  v.sessionControlsMode = idle ? 0 : 1;
  if (state == kStateSessionPlay) {
    v[Command::SessionStop] = true;
    v[Command::MemoCueLabels] = f.sessionHasEvp;
  }
}

int commandStateAfter(RunEvent event, int state) {
  switch (event) {
    case RunEvent::PlayStarted:
      return kStatePlaying;
    case RunEvent::EvpStarted:
      return kStateMakingEvp;
    case RunEvent::ReplayStarted:
      return kStateSessionPlay;
    case RunEvent::RecordingStarted:
      return kStateRecording;
    case RunEvent::Failed:
    case RunEvent::Stopping:
    case RunEvent::Ended:
    case RunEvent::LiveSwitched:
      return kStateIdle;
    case RunEvent::LiveRound:
      break;
  }
  return state;
}

}  // namespace voxloom
