// The Extras menu's tool windows (speed control, visual feedback) and the live source.
#include <QAction>
#include <QSignalBlocker>
#include <algorithm>

#include "gui/form_main.h"
#include "gui/form_speed_control.h"
#include "gui/form_visual_feedback.h"

namespace voxloom {

void TFormMain::wireToolWindows() {
  // Both windows live as long as this one and are only shown or hidden.
  speedWindow_ = new TFormSpeedControlWindow(controller_, this);
  feedbackWindow_ = new TFormVisualFeedbackWindow(controller_, this);

  QAction* speedItem = findChild<QAction*>("MenuExtrasSpeedControlWindow");
  QAction* feedbackItem = findChild<QAction*>("MenuExtrasVisualFeedbackWindow");
  connect(speedItem, &QAction::triggered, this, [this] { services_.playback.toggleSpeedWindow(); });
  connect(feedbackItem, &QAction::triggered, this,
          [this] { services_.playback.toggleFeedbackWindow(); });
  services_.playback.speed.window.checkChanged = [this] { refreshToolMarks(); };
  services_.playback.feedback.window.checkChanged = [this] { refreshToolMarks(); };

  QAction* liveItem = commandControls_[static_cast<std::size_t>(Command::Live)].action;
  connect(liveItem, &QAction::triggered, this, [this] {
    services_.playback.toggleLiveMode();
    refreshToolMarks();  // the mark follows the mode, not the click
  });
}

void TFormMain::refreshToolMarks() {
  const std::pair<const char*, bool> marks[] = {
      {"MenuExtrasSpeedControlWindow", services_.playback.speed.window.checked},
      {"MenuExtrasVisualFeedbackWindow", services_.playback.feedback.window.checked},
      {"MenuExtrasLive", services_.states.liveMode},
  };
  for (const auto& [name, checked] : marks) {
    if (QAction* item = findChild<QAction*>(name)) {
      const QSignalBlocker quiet(item);
      item->setChecked(checked);
    }
  }
}

}  // namespace voxloom
