#pragma once

#include <QHash>
#include <QObject>

class QAbstractButton;
class QGroupBox;
class QMenuBar;

namespace voxloom {

// Buttons of a group whose access key (Alt + underlined letter) is also a menu title's:
// the menu bar keeps the key everywhere, and the button answers to it only while the
// focus is inside its group. Buttons with free letters keep their usual key.
class GroupAccessKeys : public QObject {
 public:
  GroupAccessKeys(QGroupBox* group, const QMenuBar* menuBar);

  // The buttons that answer only inside the group, by key code.
  const QHash<int, QAbstractButton*>& scopedKeys() const { return keys_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QHash<int, QAbstractButton*> keys_;
};

}  // namespace voxloom
