#pragma once

#include <QObject>

class QWidget;

namespace voxloom {

// Spin boxes and edit fields claim keys such as Ctrl+X (cut) and Ctrl+E (end of line)
// before any shortcut sees them. In a window whose menu uses those keys, the menu's
// command is what the user means wherever the focus is: this filter, installed on the
// window's edit controls, lets an enabled menu shortcut of the window win. A key whose
// command is disabled still reaches the control.
class MenuShortcutsFirst : public QObject {
 public:
  // Installs itself on every spin box and text field now inside `window` (not on those of
  // its separate tool windows).
  explicit MenuShortcutsFirst(QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
};

}  // namespace voxloom
