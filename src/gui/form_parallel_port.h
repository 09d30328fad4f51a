#pragma once

#include <QDialog>

#include "core/random/parallel_port_source.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;

namespace voxloom {

// "Random bit generator @ Parallel printer port": port, input line, sample rate and the
// unbiasing method of the parallel-port source.
class TFormParallelPort : public QDialog {
  Q_OBJECT

 public:
  explicit TFormParallelPort(QWidget* owner = nullptr);

  void showState(const ParallelPortDialogState& state);
  // The controls as they are now.
  ParallelPortDialogState state() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ParallelPortDialogState state_;
  QComboBox* comboBoxPortAddress_ = nullptr;
  QComboBox* comboBoxInputLine_ = nullptr;
  QLineEdit* editSampleRate_ = nullptr;
  QButtonGroup* radioGroupUnbias_ = nullptr;
  QLabel* labelErrortext_ = nullptr;
};

}  // namespace voxloom
