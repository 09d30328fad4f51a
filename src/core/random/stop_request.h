#pragma once

namespace voxloom {

// The engine's stop request. The playback engine owns one instance and hands it by
// reference to the random sources (which raise it when they cannot deliver) and to the
// sequencer (which checks it). Cleared when Make EVP or Write RN starts.
struct StopRequest {
  bool stopRequested = false;
};

}  // namespace voxloom
