#include "platform/qt_timer.h"

namespace voxloom {

QtOneShotTimer::QtOneShotTimer() {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    // The call may start the timer again, so it runs from a copy.
    auto call = std::move(call_);
    call_ = nullptr;
    if (call) call();
  });
}

void QtOneShotTimer::start(int milliseconds, std::function<void()> call) {
  call_ = std::move(call);
  timer_.start(milliseconds);
}

void QtOneShotTimer::cancel() {
  timer_.stop();
  call_ = nullptr;
}

}  // namespace voxloom
