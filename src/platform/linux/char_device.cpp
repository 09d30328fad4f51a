#include "platform/linux/char_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace voxloom {

namespace {

// Raw bytes, no echo or line editing, and DTR up: a USB generator on a serial adapter
// often takes its power or its "go" from DTR. No modem lines are probed.
void makeRawTty(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) == 0) {
    cfmakeraw(&tio);
    tio.c_cflag |= CREAD | CLOCAL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &tio);
  }
  int dtr = TIOCM_DTR;
  ioctl(fd, TIOCMBIS, &dtr);
}

}  // namespace

DeviceOpenResult CharDevice::open(const std::string& path) {
  close();
  // Non-blocking, so a FIFO without a writer and a serial port without carrier don't hang
  // the open; the reads wait in poll() instead.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int e = errno;
    const DeviceOpenError kind = e == EACCES || e == EPERM ? DeviceOpenError::PermissionDenied
                                 : e == ENOENT             ? DeviceOpenError::NotFound
                                                           : DeviceOpenError::Other;
    return {kind, std::strerror(e)};
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    return {DeviceOpenError::Other, std::strerror(e)};
  }
  if (S_ISREG(st.st_mode)) {
    ::close(fd);
    return {DeviceOpenError::RegularFile, "an ordinary file"};
  }
  if (!S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode) && !S_ISSOCK(st.st_mode)) {
    ::close(fd);
    return {DeviceOpenError::NotADevice, "it is neither a character device nor a pipe"};
  }
  if (isatty(fd)) makeRawTty(fd);
  fd_ = fd;
  fifo_ = S_ISFIFO(st.st_mode);
  gotData_ = false;
  return {};
}

DeviceReadResult CharDevice::read(std::uint8_t* buffer, std::size_t size, int timeoutMs) {
  if (fd_ < 0) return {DeviceReadStatus::Error, 0, "the device is not open"};
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    // Most generators have bytes waiting: read first and poll only when there are none.
    const ssize_t got = ::read(fd_, buffer, size);
    if (got > 0) {
      gotData_ = true;
      return {DeviceReadStatus::Data, static_cast<std::size_t>(got), {}};
    }
    if (got == 0) {
      // A FIFO reads as empty until its first writer opens it: wait for one then.
      if (!fifo_ || gotData_) return {DeviceReadStatus::End, 0, {}};
    } else {
      const int e = errno;
      if (e == EINTR) continue;
      if (e == ENODEV || e == EIO) return {DeviceReadStatus::End, 0, {}};
      if (e != EAGAIN && e != EWOULDBLOCK) return {DeviceReadStatus::Error, 0, std::strerror(e)};
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return {DeviceReadStatus::Timeout, 0, {}};
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno != EINTR) return {DeviceReadStatus::Error, 0, std::strerror(errno)};
    if (ready == 0) return {DeviceReadStatus::Timeout, 0, {}};
    if (ready > 0 && (p.revents & POLLNVAL) != 0)
      return {DeviceReadStatus::Error, 0, "the device was closed"};
    // Linux reports a hang-up on a FIFO only once a writer has come and gone.
    if (ready > 0 && (p.revents & (POLLIN | POLLHUP)) == POLLHUP)
      return {DeviceReadStatus::End, 0, {}};
    // Readable, hung up or in error: the next read() says which.
  }
}

void CharDevice::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace voxloom
