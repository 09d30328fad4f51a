#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/ports/port_driver.h"

namespace voxloom::test {

// A printer port whose status register reads the scripted bytes in order; when they run
// out it keeps reading `idle`.
class FakePortDriver : public PortDriver {
 public:
  bool isLoaded = true;
  std::vector<PrinterPort> ports{{0x378, "/dev/parport0"}};
  std::string openFailure;  // non-empty: open() fails with it
  std::deque<std::uint16_t> statuses;
  std::uint16_t idle = 0;
  std::string openedDevice;
  int reads = 0;

  bool loaded() override { return isLoaded; }
  std::vector<PrinterPort> probePrinterPorts() override { return ports; }
  std::string open(const std::string& device) override {
    if (!openFailure.empty()) return openFailure;
    openedDevice = device;
    return {};
  }
  void close() override { openedDevice.clear(); }
  std::uint16_t readStatus() override {
    ++reads;
    if (statuses.empty()) return idle;
    const std::uint16_t v = statuses.front();
    statuses.pop_front();
    return v;
  }
};

}  // namespace voxloom::test
