#pragma once

#include <array>
#include <cstddef>

#include "core/engine/run_state.h"

namespace voxloom {

// Commands whose enabled state the command state decides. Each toolbar button and its
// menu item share one entry.
enum class Command : std::size_t {
  Open,           // ButtonOpen, MenuFileOpen
  Save,           // ButtonSave, MenuFileSave
  Record,         // ButtonRecord, MenuFileRecord
  Play,           // ButtonPlay, MenuFilePlay
  MakeEvp,        // ButtonRndPlay, MenuFileEVP
  Pause,          // ButtonPause, MenuFilePause
  Stop,           // ButtonStop, MenuFileStop
  LogRandom,      // MenuExtrasProtRN
  WriteRandom,    // MenuExtrasWriteRN
  Live,           // MenuExtrasLive
  Reverse,        // MenuExtrasReverse
  Echo,           // MenuExtrasEcho
  Normalize,      // MenuExtrasNormalize
  AutoCut,        // MenuExtrasAutocut
  SessionStop,    // ButtonSessionStop, MenuSessionStop
  MemoCueLabels,  // MemoCueLabels
  Listen,         // MenuExtrasListener: starts a listening, or cancels the one running
  AddHeardCues,   // MenuExtrasListenerAddCues
  Count
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::Count);

// The command state is the run state (kStateIdle ...); each reported run event moves
// it on.
int commandStateAfter(RunEvent event, int state);

// What the command state shows: enabled commands and the modes handed to the segment,
// play-time and session controls (0 active, 1 locked).
struct CommandView {
  std::array<bool, kCommandCount> enabled{};
  int segmentControlsMode = 1;
  int playTimeControlsMode = 1;
  int sessionControlsMode = 1;

  bool& operator[](Command c) { return enabled[static_cast<std::size_t>(c)]; }
  bool operator[](Command c) const { return enabled[static_cast<std::size_t>(c)]; }
};

struct DocumentFlags {
  bool loaded = false;
  bool modified = false;
  bool live = false;           // the live audio source is on
  bool sessionHasEvp = false;  // the session holds at least one EVP
  bool listenerReady = false;  // a machine listener exists in this program
  bool listening = false;      // a listening runs in the background
  bool heardWords = false;     // the signal view shows words the listener heard
};

// Applies the state table to `view`; entries the table leaves unchanged in `state` keep
// their value. State 0 (and any unknown state) changes nothing.
void applyCommandTable(int state, const DocumentFlags& flags, CommandView& view);

}  // namespace voxloom
