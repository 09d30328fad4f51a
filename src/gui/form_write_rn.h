#pragma once

#include <QDialog>

#include "core/random/write_rn.h"

class QSpinBox;

namespace voxloom {

// "Write random numbers to file...": how many values to write, with "x 10" and ": 10".
class TFormWriteRN : public QDialog {
  Q_OBJECT

 public:
  explicit TFormWriteRN(QWidget* owner = nullptr);

  void showState(const WriteRnDialogState& state);
  const WriteRnDialogState& state() const { return state_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void refresh();

  WriteRnDialogState state_;
  QSpinBox* spinEditSamples_ = nullptr;
};

}  // namespace voxloom
