#include "platform/qt_event_loop.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace voxloom {

QtEventLoop::QtEventLoop() = default;

void QtEventLoop::post(std::function<void()> call) {
  // A queued call keeps the order of posting and runs on the receiver's thread.
  QMetaObject::invokeMethod(
      &receiver_, [call = std::move(call)]() { call(); }, Qt::QueuedConnection);
}

void QtEventLoop::processPending() {
  QCoreApplication::processEvents();
}

}  // namespace voxloom
