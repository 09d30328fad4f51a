#include "gui/group_access_keys.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSet>

namespace voxloom {

namespace {

// The key of an access key sequence (Alt+P gives Qt::Key_P); 0 when there is none.
int accessKey(const QString& caption) {
  const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
  if (mnemonic.isEmpty()) return 0;
  return mnemonic[0].key();
}

}  // namespace

GroupAccessKeys::GroupAccessKeys(QGroupBox* group, const QMenuBar* menuBar) : QObject(group) {
  QSet<int> menuKeys;
  for (const QAction* menu : menuBar->actions())
    if (const int key = accessKey(menu->text())) menuKeys.insert(key);
  for (QAbstractButton* button : group->findChildren<QAbstractButton*>()) {
    const int key = accessKey(button->text());
    if (key == 0 || !menuKeys.contains(key)) continue;
    // The caption keeps its underline; only the window-wide shortcut goes.
    button->setShortcut(QKeySequence());
    keys_.insert(key, button);
  }
  if (keys_.isEmpty()) return;
  // Key events go to the focused widget, so every widget of the group watches for them.
  for (QWidget* w : group->findChildren<QWidget*>()) w->installEventFilter(this);
}

bool GroupAccessKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
    return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier)
    return QObject::eventFilter(watched, event);
  QAbstractButton* button = keys_.value(key->key(), nullptr);
  if (button == nullptr || !button->isEnabled() || !button->isVisible())
    return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::ShortcutOverride) {
    // Accepted here, the key comes back as a key press instead of the menu's shortcut.
    event->accept();
    return true;
  }
  button->setFocus(Qt::ShortcutFocusReason);
  button->animateClick();
  return true;
}

}  // namespace voxloom
