#pragma once

#include <string>

#include "core/ports/byte_device.h"

namespace voxloom {

// A character device or FIFO read through poll(): a hardware generator (/dev/hwrng), a
// serial port (set to raw mode with DTR raised, which many USB generators need to run),
// /dev/urandom, or a named pipe fed by another program.
class CharDevice final : public ByteDevice {
 public:
  CharDevice() = default;
  ~CharDevice() override { close(); }
  CharDevice(const CharDevice&) = delete;
  CharDevice& operator=(const CharDevice&) = delete;

  DeviceOpenResult open(const std::string& path) override;
  bool isOpen() const override { return fd_ >= 0; }
  DeviceReadResult read(std::uint8_t* buffer, std::size_t size, int timeoutMs) override;
  void close() override;

 private:
  int fd_ = -1;
  bool fifo_ = false;
  bool gotData_ = false;  // a FIFO that never gave a byte may still wait for its writer
};

}  // namespace voxloom
