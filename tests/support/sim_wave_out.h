#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/ports/event_loop.h"
#include "core/ports/wave_out.h"

namespace voxloom::test {

// A playback device the test drives: buffers stay queued until completeNext() or
// completeAll() returns them. Notifications are posted to the loop, as the real device
// does, so the test runs the loop to deliver them.
class SimWaveOut : public WaveOut {
 public:
  struct Written {
    std::vector<std::uint8_t> bytes;  // copied when written
    std::uintptr_t user = 0;
  };

  explicit SimWaveOut(EventLoop& loop) : loop_(loop) {}

  // Makes the next open() (and query() when onQuery) fail with code, whose errorText is
  // text.
  void failOpen(WaveResult code, std::string text, bool onQuery = false);
  // Makes every write() fail with code until cleared with kWaveOk.
  void failWrite(WaveResult code) { failWrite_ = code; }

  // The device goes away, as an unplugged one does: every queued buffer returns (posted,
  // in order), then the failure with code is posted; errorText(code) is text. Until the
  // next open, write() fails with code. False when not open.
  bool loseDevice(WaveResult code, std::string text);

  // Returns the oldest queued buffer, and any zero-length ones right behind it. False
  // when nothing is queued or the device is paused.
  bool completeNext();
  // Returns everything queued, in order (not while paused).
  void completeAll();

  std::size_t queuedCount() const { return queue_.size(); }

  WaveDeviceNames names{"Sim Output 1", "Sim Output 2"};
  std::vector<Written> written;    // every buffer written since construction
  std::vector<std::string> calls;  // "open 1 22050", "pause", "restart", "reset", "close",
                                   // "rate 98304", "lost"
  bool isOpen = false;
  bool isPaused = false;
  int openedDevice = 0;
  WaveFormat openedFormat{};
  std::uint32_t playbackRate = 0x10000;

  WaveDeviceNames deviceNames() override { return names; }
  WaveResult query(int device, const WaveFormat& format) override;
  WaveResult open(int device, const WaveFormat& format, WaveNotify notify,
                  WaveFailure failed = {}) override;
  WaveResult close() override;
  WaveResult prepare(WaveHeader& header) override;
  WaveResult unprepare(WaveHeader& header) override;
  WaveResult write(WaveHeader& header) override;
  WaveResult pause() override;
  WaveResult restart() override;
  WaveResult reset() override;
  WaveResult setPlaybackRate(std::uint32_t factor) override;
  std::string errorText(WaveResult code) override;

 private:
  void returnZeroLengthFront();
  void post(WaveHeader* header);

  EventLoop& loop_;
  WaveNotify notify_;
  WaveFailure failed_;
  WaveResult lost_ = kWaveOk;
  std::string lostText_;
  std::deque<WaveHeader*> queue_;
  WaveResult failOpen_ = kWaveOk;
  bool failQuery_ = false;
  std::string failText_;
  WaveResult failWrite_ = kWaveOk;
};

}  // namespace voxloom::test
