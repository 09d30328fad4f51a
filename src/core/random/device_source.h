#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/ports/byte_device.h"
#include "core/ports/event_loop.h"
#include "core/ports/prompter.h"
#include "core/random/stop_request.h"

namespace voxloom {

// A device that streams random bytes: /dev/hwrng, a USB generator's serial port, a FIFO.
// Each draw takes 4 bytes as one word, the first byte the most significant.
class DeviceSource {
 public:
  static constexpr std::size_t kBufferSize = 4096;
  static constexpr int kSliceMs = 50;  // how late a Stop may be noticed

  // Wiring, set by the owner.
  ByteDevice* device = nullptr;
  EventLoop* loop = nullptr;  // pumped between waits so Stop can be pressed; may be none

  std::string path;  // the chosen device, kept in the settings
  int noDataTimeoutMs = 1000;

  // Opens `devicePath` to check it. Empty on success (the device stays open and becomes
  // `path`); otherwise the message to show, and `path` is unchanged.
  std::string open(const std::string& devicePath);

  // The next word. 0 with the stop request set when the device failed, fell silent or
  // the wait was cancelled; a failure is shown through the prompter.
  std::uint32_t readWord(StopRequest& stop, Prompter& prompter);
  // Ends a wait in progress within one slice (Stop); safe from any thread.
  void cancelWait() { cancelled_.store(true, std::memory_order_relaxed); }

 private:
  std::uint32_t fail(StopRequest& stop, Prompter& prompter, const std::string& text);
  std::array<std::uint8_t, kBufferSize> buffer_{};
  std::size_t begin_ = 0;  // unread bytes are buffer_[begin_, end_)
  std::size_t end_ = 0;
  std::atomic<bool> cancelled_{false};
};

// The messages, with the device path in place of %s.
inline constexpr const char* kDeviceSilentText =
    "The random device '%s' sent no data for 1 second. Playback has been stopped.";
inline constexpr const char* kDeviceEndText =
    "The random device '%s' has no more data (its writer closed it, or it was unplugged). "
    "Playback has been stopped.";
inline constexpr const char* kDeviceReadErrorText =
    "Reading the random device '%s' failed: %s. Playback has been stopped.";
inline constexpr const char* kDevicePermissionText =
    "You may not read the random device '%s' (%s).\n"
    "Add your user to the group that owns it and log in again; for a serial port:\n"
    "    sudo usermod -aG dialout $USER\n"
    "For /dev/hwrng, a udev rule gives a group access (see the manual, \"Device source\").";
inline constexpr const char* kDeviceRegularFileText =
    "'%s' is an ordinary file, not a device. Files are read by the file source "
    "(Preferences > Random source > File..., or --source file:PATH).";
inline constexpr const char* kDeviceOpenErrorText = "The random device '%s' can't be opened: %s.";
inline constexpr const char* kDeviceNoPathText = "No random device has been chosen.";
inline constexpr const char* kDeviceDialogTitle = "Choose the random device...";

// The text with each %s replaced by the next of `a`, `b`.
std::string deviceMessage(const char* text, const std::string& a, const std::string& b = {});

}  // namespace voxloom
