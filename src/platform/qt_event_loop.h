#pragma once

#include <QObject>

#include "core/ports/event_loop.h"

namespace voxloom {

// The Qt main loop as the core sees it. Construct it on the main thread: posted calls
// run on the thread of its receiver object.
class QtEventLoop : public EventLoop {
 public:
  QtEventLoop();
  void post(std::function<void()> call) override;
  void processPending() override;

 private:
  QObject receiver_;
};

}  // namespace voxloom
