#pragma once

#include <QDialog>

#include "core/audio/auto_cut_options.h"

class QGroupBox;
class QRadioButton;
class QSpinBox;

namespace voxloom {

// "Auto-cut parameters": the threshold (set by hand or determined automatically) and
// the envelope's frame size. The window shows AutoCutOptions and forwards every change
// of its controls to them.
class TFormAutoCut : public QDialog {
  Q_OBJECT

 public:
  explicit TFormAutoCut(QWidget* owner = nullptr);

  void showOptions(const AutoCutOptions& options);
  const AutoCutOptions& options() const { return options_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void refreshChoice();
  void placeThresholdSpin();

  AutoCutOptions options_;
  QGroupBox* radioGroupThreshold_ = nullptr;
  QRadioButton* itemManual_ = nullptr;
  QRadioButton* itemAutomatic_ = nullptr;
  QSpinBox* spinThreshold_ = nullptr;
  QSpinBox* spinFrameSize_ = nullptr;
};

}  // namespace voxloom
