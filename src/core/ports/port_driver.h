#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace voxloom {

// A printer port the system has: its base I/O address and the device that reaches it.
struct PrinterPort {
  std::uint32_t address = 0;
  std::string device;  // e.g. /dev/parport0
};

// Access to the status register of a parallel printer port.
class PortDriver {
 public:
  virtual ~PortDriver() = default;
  // Whether the driver is there at all; without it no port can be used.
  virtual bool loaded() = 0;
  // The ports the system has, in its own order.
  virtual std::vector<PrinterPort> probePrinterPorts() = 0;
  // Opens `device` for reading its status register, closing any port open before.
  // Empty on success, else the reason in a few words.
  virtual std::string open(const std::string& device) = 0;
  virtual void close() = 0;
  // The status register (base address + 1) in the low 8 bits.
  virtual std::uint16_t readStatus() = 0;
};

}  // namespace voxloom
