#include <QAction>

#include "gui/form_main.h"
#include "gui/qt_effect_dialogs.h"

namespace voxloom {

// The Extras menu's signal effects; their dialogs are shown modally over this window.
void TFormMain::wireEffects() {
  services_.document.setEffectDialogs(new QtEffectDialogs(this));
  auto on = [this](Command command, auto handler) {
    connect(commandControls_[static_cast<std::size_t>(command)].action, &QAction::triggered, this,
            handler);
  };
  on(Command::Reverse, [this] { services_.document.reverseSignal(); });
  on(Command::Echo, [this] { services_.document.addEcho(); });
  on(Command::Normalize, [this] { services_.document.normalizeSignal(); });
  on(Command::AutoCut, [this] { services_.document.autoCut(); });
}

}  // namespace voxloom
