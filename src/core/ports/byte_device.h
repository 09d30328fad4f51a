#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace voxloom {

// Why a device could not be opened; the source words its message from this.
enum class DeviceOpenError { None, NotFound, PermissionDenied, RegularFile, NotADevice, Other };

struct DeviceOpenResult {
  DeviceOpenError error = DeviceOpenError::None;
  std::string reason;  // the system's words (strerror), empty on success
  bool ok() const { return error == DeviceOpenError::None; }
};

enum class DeviceReadStatus {
  Data,     // `bytes` > 0 bytes were stored
  Timeout,  // nothing arrived within the time-out
  End,      // the device has no more data: its writer closed, it was unplugged
  Error,    // `error` says what the system said
};

struct DeviceReadResult {
  DeviceReadStatus status = DeviceReadStatus::Timeout;
  std::size_t bytes = 0;
  std::string error;
};

// A character device or FIFO that streams random bytes (a hardware generator, a serial
// adapter, a pipe from another program).
class ByteDevice {
 public:
  virtual ~ByteDevice() = default;
  // Opens `path` for reading, closing any device open before.
  virtual DeviceOpenResult open(const std::string& path) = 0;
  virtual bool isOpen() const = 0;
  // Stores what is there now, up to `size` bytes; waits at most `timeoutMs` for the first
  // byte and never for more.
  virtual DeviceReadResult read(std::uint8_t* buffer, std::size_t size, int timeoutMs) = 0;
  virtual void close() = 0;
};

}  // namespace voxloom
