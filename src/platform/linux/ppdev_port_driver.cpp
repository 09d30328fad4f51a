#include "platform/linux/ppdev_port_driver.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace voxloom {

bool PpdevPortDriver::loaded() {
  std::error_code ec;
  return std::filesystem::is_directory(procRoot_, ec);
}

std::vector<PrinterPort> PpdevPortDriver::probePrinterPorts() {
  std::vector<PrinterPort> ports;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(procRoot_, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("parport", 0) != 0) continue;
    // base-addr holds the base address and the ECP address, in decimal.
    std::ifstream in(entry.path() / "base-addr");
    long long address = 0;
    if (!(in >> address) || address <= 0 || address > 0xFFFF) continue;
    ports.push_back({static_cast<std::uint32_t>(address), "/dev/" + name});
  }
  std::sort(ports.begin(), ports.end(),
            [](const PrinterPort& a, const PrinterPort& b) { return a.device < b.device; });
  return ports;
}

std::string PpdevPortDriver::open(const std::string& device) {
  close();
  const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return "can't open " + device + ": " + std::strerror(errno) + ".";
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || ioctl(fd, PPCLAIM) != 0) {
    ::close(fd);
    return device + " is not a parallel port that can be claimed.";
  }
  fd_ = fd;
  return {};
}

void PpdevPortDriver::close() {
  if (fd_ < 0) return;
  ioctl(fd_, PPRELEASE);
  ::close(fd_);
  fd_ = -1;
}

std::uint16_t PpdevPortDriver::readStatus() {
  unsigned char status = 0;
  if (fd_ < 0 || ioctl(fd_, PPRSTATUS, &status) != 0) return 0;
  return status;
}

}  // namespace voxloom
