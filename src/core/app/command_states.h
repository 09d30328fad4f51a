#pragma once

#include <vector>

#include "core/app/command_state.h"
#include "core/app/view_relay.h"
#include "core/audio/audio_document.h"
#include "core/engine/run_state.h"
#include "core/ports/speech_listener.h"
#include "core/session/session.h"

namespace voxloom {

// A part of the program whose controls follow the command state (the session panel, the
// segment controls, the waveform view).
class CommandFollower {
 public:
  virtual void commandStateChanged(int state, const CommandView& commands) = 0;

 protected:
  ~CommandFollower() = default;
};

// The one writer of the command state and the enabled commands. The engines and the live
// source report their runs here; the followers and the window are told after each change.
class CommandStates {
 public:
  explicit CommandStates(ViewRelay& relay) : relay_(relay) {}
  CommandStates(const CommandStates&) = delete;
  CommandStates& operator=(const CommandStates&) = delete;

  // The engines read the state: it tells them which run holds the devices.
  const int& state() const { return state_; }
  const CommandView& commands() const { return commands_; }
  bool enabled(Command command) const { return commands_[command]; }
  // MenuExtrasLive's check mark; the live source switches it.
  bool liveMode = false;
  // The machine listener's part of the table; its service keeps them.
  bool listenerReady = false;
  bool listening = false;

  // What the table reads besides the state; unwatched parts count as empty.
  void watch(const AudioDocument& document) { document_ = &document; }
  void watch(const Session& session) { session_ = &session; }
  void watch(const std::vector<HeardWord>& heardWords) { heardWords_ = &heardWords; }
  // Followers are told in the order they were added, the window last.
  void follow(CommandFollower& follower) { followers_.push_back(&follower); }

  void set(int state);
  void onRunEvent(RunEvent event);
  RunListener listener() {
    return [this](RunEvent event) { onRunEvent(event); };
  }

 private:
  ViewRelay& relay_;
  int state_ = kStateNone;
  CommandView commands_;
  const AudioDocument* document_ = nullptr;
  const Session* session_ = nullptr;
  const std::vector<HeardWord>* heardWords_ = nullptr;
  std::vector<CommandFollower*> followers_;
};

}  // namespace voxloom
