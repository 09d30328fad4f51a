#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

namespace voxloom {

class AppServices;
class MainPresenter;

// "Speed Control": a vertical slider from 50 % (bottom) to 200 % (top), its percentage
// and a reset button. A tool window showing the playback service's SpeedControl.
class TFormSpeedControlWindow : public QWidget {
  Q_OBJECT

 public:
  TFormSpeedControlWindow(MainPresenter& controller, QWidget* owner = nullptr);
  ~TFormSpeedControlWindow() override;

  // Shows slider, label and whether the window is open.
  void refresh();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // Moves the window to where the settings keep it, on a visible screen.
  void takeStoredPlace();

  MainPresenter& controller_;
  AppServices& services_;
  QLabel* labelPercentage_ = nullptr;
  QSlider* trackBarSpeed_ = nullptr;
  QPushButton* buttonResetSpeed_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace voxloom
