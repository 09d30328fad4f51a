#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/ports/event_loop.h"
#include "core/ports/wave_in.h"

namespace voxloom::test {

// A recording device the test feeds: supply() writes bytes into the queued buffers in
// order while started; a full buffer returns with its notification posted to the loop.
class SimWaveIn : public WaveIn {
 public:
  explicit SimWaveIn(EventLoop& loop) : loop_(loop) {}

  // Makes the next open() (and query() when onQuery) fail with code, whose errorText is
  // text.
  void failOpen(WaveResult code, std::string text, bool onQuery = false);

  // The device goes away, as an unplugged one does: every queued buffer returns with
  // what it holds (posted, in order), then the failure with code is posted; errorText(code)
  // is text. Until the next open, addBuffer() and start() fail with code. False when not
  // open.
  bool loseDevice(WaveResult code, std::string text);

  // Captures bytes; returns how many found a buffer (the rest is lost, as on a sound
  // card). Nothing is captured unless started.
  std::size_t supply(const std::vector<std::uint8_t>& bytes);
  std::size_t queuedCount() const { return queue_.size(); }

  WaveDeviceNames names{"Sim Input 1"};
  std::vector<std::uint32_t> refusedRates;  // query() and open() refuse these rates
  std::vector<std::string> calls;           // "open 0 22050", "start", "reset", "close",
                                            // "lost"
  bool isOpen = false;
  bool isStarted = false;
  int openedDevice = 0;
  WaveFormat openedFormat{};
  bool openedWithNotify = false;

  WaveDeviceNames deviceNames() override { return names; }
  WaveResult query(int device, const WaveFormat& format) override;
  WaveResult open(int device, const WaveFormat& format, WaveNotify notify,
                  WaveFailure failed = {}) override;
  WaveResult close() override;
  WaveResult prepare(WaveHeader& header) override;
  WaveResult unprepare(WaveHeader& header) override;
  WaveResult addBuffer(WaveHeader& header) override;
  WaveResult start() override;
  WaveResult reset() override;
  std::string errorText(WaveResult code) override;

 private:
  void returnFullFront();
  void post(WaveHeader* header, std::uint32_t recorded);

  EventLoop& loop_;
  WaveNotify notify_;
  WaveFailure failed_;
  WaveResult lost_ = kWaveOk;
  std::string lostText_;
  std::deque<WaveHeader*> queue_;
  std::uint32_t frontFilled_ = 0;
  WaveResult failOpen_ = kWaveOk;
  bool failQuery_ = false;
  std::string failText_;
};

}  // namespace voxloom::test
