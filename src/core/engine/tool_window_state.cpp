#include "core/engine/tool_window_state.h"

namespace voxloom {

void ToolWindowState::setVisible(bool shown) {
  if (visible == shown) return;
  visible = shown;
  if (changed) changed();
}

void ToolWindowState::toggle() {
  checked = !checked;
  if (checkChanged) checkChanged();
  if (checked) {
    setVisible(true);
  } else if (visible) {
    setVisible(false);
  }
}

void ToolWindowState::showIfChecked() {
  setVisible(checked);
}

void ToolWindowState::closedByUser(bool mainWindowOpen) {
  visible = false;  // the window is gone already; nothing to tell it
  if (!mainWindowOpen || !checked) return;
  checked = false;
  if (checkChanged) checkChanged();
}

void ToolWindowState::closeWithMainWindow() {
  setVisible(false);
}

}  // namespace voxloom
