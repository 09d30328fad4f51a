#pragma once

namespace voxloom {

// The playback that draws from the sources, when there is one.
class PlaybackControl {
 public:
  virtual ~PlaybackControl() = default;
  // Stops it as the Stop command does; false when no playback is there to stop.
  virtual bool stopPlayback() = 0;
};

// Nothing plays here (a command-line draw): Stop ends only the sources' waits and log.
class NoPlayback final : public PlaybackControl {
 public:
  bool stopPlayback() override { return false; }
};

}  // namespace voxloom
