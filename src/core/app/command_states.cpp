#include "core/app/command_states.h"

namespace voxloom {

void CommandStates::set(int state) {
  state_ = state;
  DocumentFlags flags;
  if (document_ != nullptr) {
    flags.loaded = document_->isLoaded;
    flags.modified = document_->isModified;
  }
  flags.live = liveMode;
  flags.sessionHasEvp = session_ != nullptr && session_->count() > 0;
  flags.listenerReady = listenerReady;
  flags.listening = listening;
  flags.heardWords = heardWords_ != nullptr && !heardWords_->empty();
  applyCommandTable(state, flags, commands_);
  for (CommandFollower* follower : followers_) follower->commandStateChanged(state, commands_);
  relay_.notify(ViewAspect::Commands);
}

void CommandStates::onRunEvent(RunEvent event) {
  const int state = commandStateAfter(event, state_);
  if (event == RunEvent::Stopping) {
    state_ = state;  // the commands follow once the run has ended
  } else {
    set(state);
  }
}

}  // namespace voxloom
