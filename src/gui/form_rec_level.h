#pragma once

#include <QWidget>

#include "core/random/recording_level.h"

class QCheckBox;
class QProgressBar;
class QSlider;

namespace voxloom {

// "Input Level": the peak bar with its clipping lamp and the boost controls, a modeless
// tool window showing a LevelMeter. Boost changes are written back at once.
class TFormRecLevel : public QWidget {
  Q_OBJECT

 public:
  explicit TFormRecLevel(QWidget* owner = nullptr);
  ~TFormRecLevel() override;

  // Shows `meter` from now on and tells it when the user closes the window.
  void bindMeter(LevelMeter* meter);
  LevelMeter* meter() const { return meter_; }
  // Shows the meter's state: bar, lamp, boost and whether the window is open.
  void refresh();

  static QColor lampColour(LampColour colour);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  LevelMeter* meter_ = nullptr;
  QProgressBar* gaugeLevel_ = nullptr;
  QProgressBar* gaugeClipping_ = nullptr;
  QCheckBox* checkBoxBoost_ = nullptr;
  QSlider* trackBarBoost_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace voxloom
