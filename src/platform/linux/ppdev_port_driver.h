#pragma once

#include <string>
#include <vector>

#include "core/ports/port_driver.h"

namespace voxloom {

// Printer ports through the Linux ppdev driver: /dev/parportN, claimed with PPCLAIM, the
// status register read with PPRSTATUS. The ports are listed from the parport driver's
// /proc entries.
class PpdevPortDriver final : public PortDriver {
 public:
  explicit PpdevPortDriver(std::string procRoot = "/proc/sys/dev/parport")
      : procRoot_(std::move(procRoot)) {}
  ~PpdevPortDriver() override { close(); }
  PpdevPortDriver(const PpdevPortDriver&) = delete;
  PpdevPortDriver& operator=(const PpdevPortDriver&) = delete;

  bool loaded() override;
  std::vector<PrinterPort> probePrinterPorts() override;
  std::string open(const std::string& device) override;
  void close() override;
  std::uint16_t readStatus() override;

 private:
  std::string procRoot_;
  int fd_ = -1;
};

}  // namespace voxloom
