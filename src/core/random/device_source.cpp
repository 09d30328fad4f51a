#include "core/random/device_source.h"

#include <algorithm>
#include <cstring>

namespace voxloom {

std::string deviceMessage(const char* text, const std::string& a, const std::string& b) {
  std::string out;
  const std::string* next[] = {&a, &b};
  std::size_t used = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's' && used < 2) {
      out += *next[used++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string DeviceSource::open(const std::string& devicePath) {
  if (devicePath.empty()) return kDeviceNoPathText;
  if (device == nullptr)
    return deviceMessage(kDeviceOpenErrorText, devicePath, "no device access in this build");
  const DeviceOpenResult r = device->open(devicePath);
  begin_ = end_ = 0;
  switch (r.error) {
    case DeviceOpenError::None:
      path = devicePath;
      return {};
    case DeviceOpenError::PermissionDenied:
      return deviceMessage(kDevicePermissionText, devicePath, r.reason);
    case DeviceOpenError::RegularFile:
      return deviceMessage(kDeviceRegularFileText, devicePath);
    default:
      return deviceMessage(kDeviceOpenErrorText, devicePath, r.reason);
  }
}

std::uint32_t DeviceSource::fail(StopRequest& stop, Prompter& prompter, const std::string& text) {
  stop.stopRequested = true;
  // The next run opens the device afresh: a FIFO may have a new writer by then.
  if (device != nullptr) device->close();
  begin_ = end_ = 0;
  prompter.error(text);
  return 0;
}

std::uint32_t DeviceSource::readWord(StopRequest& stop, Prompter& prompter) {
  if (stop.stopRequested) return 0;
  if (device == nullptr)
    return fail(stop, prompter, deviceMessage(kDeviceOpenErrorText, path, "no device"));
  cancelled_.store(false, std::memory_order_relaxed);
  if (!device->isOpen()) {
    const std::string failure = open(path);
    if (!failure.empty()) return fail(stop, prompter, failure);
  }
  int silentMs = 0;
  while (end_ - begin_ < 4) {
    if (begin_ > 0) {  // keep the few bytes left at the front, so a read can fill the rest
      std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    if (loop != nullptr) loop->processPending();
    if (cancelled_.load(std::memory_order_relaxed) || stop.stopRequested) {
      stop.stopRequested = true;
      return 0;  // the bytes already read stay for the next run
    }
    const DeviceReadResult r = device->read(buffer_.data() + end_, kBufferSize - end_, kSliceMs);
    switch (r.status) {
      case DeviceReadStatus::Data:
        end_ += std::min(r.bytes, kBufferSize - end_);
        silentMs = 0;
        break;
      case DeviceReadStatus::Timeout:
        silentMs += kSliceMs;
        if (silentMs >= noDataTimeoutMs)
          return fail(stop, prompter, deviceMessage(kDeviceSilentText, path));
        break;
      case DeviceReadStatus::End:
        return fail(stop, prompter, deviceMessage(kDeviceEndText, path));
      case DeviceReadStatus::Error:
        return fail(stop, prompter, deviceMessage(kDeviceReadErrorText, path, r.error));
    }
  }
  const std::uint8_t* b = buffer_.data() + begin_;
  begin_ += 4;
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
         std::uint32_t{b[3]};
}

}  // namespace voxloom
