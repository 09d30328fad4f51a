#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace voxloom {

// Delivers SIGTERM, SIGINT and SIGHUP to the Qt event loop: the handler only writes the
// signal's number into a socket pair, and a socket notifier calls `onSignal` on the
// main thread, where the program can end as it does normally. A second signal of the
// same kind while the first is handled ends the program at once (the default action).
// One watcher at a time; the destructor restores the default actions.
class QtSignalWatcher {
 public:
  explicit QtSignalWatcher(std::function<void(int signalNumber)> onSignal);
  ~QtSignalWatcher();
  QtSignalWatcher(const QtSignalWatcher&) = delete;
  QtSignalWatcher& operator=(const QtSignalWatcher&) = delete;

  // False when the socket pair or a handler could not be set up.
  bool isWatching() const { return watching_; }

 private:
  void readPending();

  std::function<void(int)> onSignal_;
  int fds_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  bool watching_ = false;
};

}  // namespace voxloom
