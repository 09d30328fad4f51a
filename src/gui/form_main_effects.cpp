#include <QAction>

#include "gui/form_main.h"
#include "gui/qt_effect_dialogs.h"

namespace voxloom {

// The Extras menu's signal effects; their dialogs are shown modally over this window.
void TFormMain::wireEffects() {
  controller_.setEffectDialogs(new QtEffectDialogs(this));
  auto on = [this](Command command, auto handler) {
    connect(commandControls_[static_cast<std::size_t>(command)].action, &QAction::triggered, this,
            handler);
  };
  on(Command::Reverse, [this] { controller_.reverseSignal(); });
  on(Command::Echo, [this] { controller_.addEcho(); });
  on(Command::Normalize, [this] { controller_.normalizeSignal(); });
  on(Command::AutoCut, [this] { controller_.autoCut(); });
}

}  // namespace voxloom
