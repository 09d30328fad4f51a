#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "core/engine/engine_peers.h"

namespace voxloom::test {

// Keeps what Make EVP hands to the session side; `proceed` answers begin().
struct CaptureLog : EvpCapture {
  bool proceed = true;
  std::vector<std::int32_t> appended;
  std::vector<std::pair<std::int32_t, int>> finished;
  std::function<void(const NextBlock&)> onAppend;

  bool begin() override { return proceed; }
  void append(const NextBlock& block, std::int32_t serial) override {
    appended.push_back(serial);
    if (onAppend) onAppend(block);
  }
  void finish(std::int32_t serial, int slots) override { finished.emplace_back(serial, slots); }
};

// Nothing unsaved to ask about: the document may always go.
struct NothingToAsk : DocumentGate {
  bool discardDocument() override { return false; }
};

// No manual sweep to mute and no recording to end; counts the requests.
struct IdlePeers : PlaybackPeers {
  bool mute = false;
  int recordingResets = 0;
  bool muteRepeats() override { return mute; }
  void resetRecording() override { ++recordingResets; }
};

}  // namespace voxloom::test
