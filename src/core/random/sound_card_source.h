#pragma once

#include <cstdint>
#include <functional>

#include "core/ports/event_loop.h"
#include "core/ports/wave_device_list.h"
#include "core/ports/wave_in.h"
#include "core/random/random_batch.h"
#include "core/random/random_source.h"

namespace voxloom {

class LevelMeter;

// Noise from the input device: every draw records a fresh block of 32 samples. The
// device stays open between draws and is closed by Stop or by a draw from another
// source.
class SoundCardSource {
 public:
  static constexpr int kBlockSamples = 32;
  static constexpr std::uint32_t kBestRate = 44100;

  // Wiring, set by the owner. Without a device or loop the source reports a missing
  // device.
  WaveIn* device = nullptr;
  EventLoop* loop = nullptr;
  LevelMeter* level = nullptr;                  // TFormRecLevel's boost and level bar
  int deviceIndex = kWaveDefaultDevice;         // ComboBoxDeviceRandomSource
  std::function<std::uint32_t()> documentRate;  // the document format's samples per second
  // A block that never comes back (a driver that hangs) ends the wait after this long.
  int timeoutMs = 5000;

  bool isOpen() const { return open_; }

  // Records one block into the batch, at the best rate or the document's; false after
  // the failure was reported.
  bool captureNoiseBlock(RandomBatch& batch, bool bestRate, SourceHost& host, int need);
  // Resets and closes the device when it is open; a wait in progress ends at once.
  void closeInput();

 private:
  bool fail(SourceHost& host, WaveResult code);

  bool open_ = false;
  bool waiting_ = false;
  WaveResult lost_ = kWaveOk;
  WaveHeader header_;
};

inline constexpr const char* kNoWaveDataText = "Couldn't read any wave data from the sound card.";

}  // namespace voxloom
