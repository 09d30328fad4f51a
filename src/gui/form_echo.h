#pragma once

#include <QDialog>

#include "core/ports/echo_dialog.h"

class QLabel;
class QScrollBar;

namespace voxloom {

// "Echo parameters": two scroll bars with their labels. The window shows an
// EchoDialogState and forwards every scroll bar change to it.
class TFormEcho : public QDialog {
  Q_OBJECT

 public:
  explicit TFormEcho(QWidget* owner = nullptr);

  // Puts the scroll bars and labels where `state` has them.
  void showState(const EchoDialogState& state);
  const EchoDialogState& state() const { return state_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void refreshLabels();

  EchoDialogState state_;
  QScrollBar* scrollBarDelay_ = nullptr;
  QScrollBar* scrollBarDecay_ = nullptr;
  QLabel* labelDelay_ = nullptr;
  QLabel* labelDecay_ = nullptr;
};

}  // namespace voxloom
