#pragma once

#include <QDialog>

#include "core/audio/recording_params.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QSpinBox;

namespace voxloom {

// "Recording parameters": sample rate, channels, resolution and, by layout, either the
// normalize option (recording) or the live buffer time (live source). A view of a
// RecParamState.
class TFormRecParam : public QDialog {
  Q_OBJECT

 public:
  explicit TFormRecParam(QWidget* owner = nullptr);

  void showState(const RecParamState& state);
  // The controls as they are now.
  RecParamState state() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QComboBox* comboBoxSampleRate_ = nullptr;
  QButtonGroup* channels_ = nullptr;
  QButtonGroup* resolution_ = nullptr;
  QCheckBox* checkBoxNormalize_ = nullptr;
  QSpinBox* liveSeconds_ = nullptr;
  QGroupBox* groupBoxAmplitude_ = nullptr;
  QGroupBox* groupBoxLive_ = nullptr;
  bool liveLayout_ = false;
};

}  // namespace voxloom
