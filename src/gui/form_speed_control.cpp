#include "gui/form_speed_control.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMoveEvent>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "core/app/main_presenter.h"
#include "gui/window_settings.h"

namespace voxloom {

TFormSpeedControlWindow::TFormSpeedControlWindow(MainPresenter& controller, QWidget* owner)
    : QWidget(owner, Qt::Tool), controller_(controller), services_(controller.services()) {
  setObjectName("FormSpeedControlWindow");
  setWindowTitle("Speed Control");

  labelPercentage_ = new QLabel("100%", this);
  labelPercentage_->setObjectName("LabelPercentage");
  labelPercentage_->setAlignment(Qt::AlignCenter);
  QFont bold = labelPercentage_->font();
  bold.setBold(true);
  labelPercentage_->setFont(bold);

  // Position 0 (200 %) at the top.
  trackBarSpeed_ = new QSlider(Qt::Vertical, this);
  trackBarSpeed_->setObjectName("TrackBarSpeed");
  trackBarSpeed_->setRange(SpeedControl::kPositionMin, SpeedControl::kPositionMax);
  trackBarSpeed_->setInvertedAppearance(true);
  trackBarSpeed_->setInvertedControls(true);
  trackBarSpeed_->setPageStep(10);
  trackBarSpeed_->setTickPosition(QSlider::TicksBothSides);
  trackBarSpeed_->setTickInterval(10);
  trackBarSpeed_->setValue(SpeedControl::kPositionDefault);
  trackBarSpeed_->setMinimumHeight(180);
  trackBarSpeed_->setToolTip("Vary the playback speed between 50% and 200%");

  buttonResetSpeed_ = new QPushButton("100 %", this);
  buttonResetSpeed_->setObjectName("ButtonResetSpeed");
  buttonResetSpeed_->setToolTip("Reset the playback speed to 100 %");

  auto* column = new QVBoxLayout(this);
  column->addWidget(labelPercentage_);
  column->addWidget(trackBarSpeed_, 1, Qt::AlignHCenter);
  column->addWidget(buttonResetSpeed_);

  connect(trackBarSpeed_, &QSlider::valueChanged, this, [this](int position) {
    if (!refreshing_) services_.playback.changeSpeedSlider(position);  // TrackBarSpeedChange
  });
  connect(buttonResetSpeed_, &QPushButton::clicked, this,
          [this] { trackBarSpeed_->setValue(SpeedControl::kPositionDefault); });

  ToolWindowState& window = services_.playback.speed.window;
  window.changed = [this] { refresh(); };
  refresh();
}

TFormSpeedControlWindow::~TFormSpeedControlWindow() {
  services_.playback.speed.window.changed = nullptr;
}

void TFormSpeedControlWindow::refresh() {
  if (refreshing_) return;
  refreshing_ = true;
  const SpeedControl& speed = services_.playback.speed;
  trackBarSpeed_->setValue(speed.sliderPosition);
  labelPercentage_->setText(QString::fromStdString(speed.labelText()));
  if (speed.window.visible != isVisible()) {
    if (speed.window.visible) takeStoredPlace();
    setVisible(speed.window.visible);
  }
  refreshing_ = false;
}

void TFormSpeedControlWindow::takeStoredPlace() {
  // The settings are read after this window is built, so the place is taken at each show.
  const ToolWindowState& window = services_.playback.speed.window;
  if (!testAttribute(Qt::WA_Resized)) adjustSize();  // keepOnScreen needs the real size
  if (window.left >= 0 && window.top >= 0) move(window.left, window.top);
  WindowSettings::keepOnScreen(this);
}

void TFormSpeedControlWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (!refreshing_) services_.playback.speed.window.closedByUser(controller_.mainWindowOpen);
}

void TFormSpeedControlWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // Placing at show time is not a move by the user; it would store the frame's offset.
  if (refreshing_) return;
  services_.playback.speed.window.left = x();
  services_.playback.speed.window.top = y();
}

}  // namespace voxloom
