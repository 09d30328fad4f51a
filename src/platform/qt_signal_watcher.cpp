#include "platform/qt_signal_watcher.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace voxloom {

namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};
// Written by the handler only; one watcher exists at a time.
volatile std::sig_atomic_t gWriteFd = -1;

extern "C" void writeSignalNumber(int signalNumber) {
  const int savedErrno = errno;
  const auto byte = static_cast<unsigned char>(signalNumber);
  // A full socket already holds a pending signal; losing this byte loses nothing.
  if (gWriteFd >= 0) (void)!::write(gWriteFd, &byte, 1);
  errno = savedErrno;
}

void setAction(int signalNumber, void (*handler)(int), int flags) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = flags;
  sigaction(signalNumber, &action, nullptr);
}

}  // namespace

QtSignalWatcher::QtSignalWatcher(std::function<void(int)> onSignal)
    : onSignal_(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readPending(); });
  gWriteFd = fds_[0];
  // SA_RESETHAND: a program stuck while ending still yields to a second signal.
  for (int s : kSignals) setAction(s, writeSignalNumber, SA_RESTART | SA_RESETHAND);
  watching_ = true;
}

QtSignalWatcher::~QtSignalWatcher() {
  if (watching_)
    for (int s : kSignals) setAction(s, SIG_DFL, 0);
  gWriteFd = -1;
  notifier_.reset();
  for (int fd : fds_)
    if (fd >= 0) ::close(fd);
}

void QtSignalWatcher::readPending() {
  unsigned char byte = 0;
  while (::read(fds_[1], &byte, 1) == 1) {
    if (onSignal_) onSignal_(byte);
  }
}

}  // namespace voxloom
