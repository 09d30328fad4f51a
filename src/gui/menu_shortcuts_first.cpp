#include "gui/menu_shortcuts_first.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace voxloom {

MenuShortcutsFirst::MenuShortcutsFirst(QWidget* window) : QObject(window), window_(window) {
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    const bool edits = qobject_cast<QAbstractSpinBox*>(widget) ||
                       qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
                       qobject_cast<QTextEdit*>(widget);
    if (edits && widget->window() == window) widget->installEventFilter(this);
  }
}

bool MenuShortcutsFirst::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return QObject::eventFilter(watched, event);
  const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
  // The window's own commands are its direct children; its menus hold them.
  for (QAction* action : window_->findChildren<QAction*>(Qt::FindDirectChildrenOnly)) {
    if (!action->isEnabled() || !action->shortcuts().contains(pressed)) continue;
    event->ignore();  // not overridden: the shortcut runs
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace voxloom
