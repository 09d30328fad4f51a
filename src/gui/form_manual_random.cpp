#include "gui/form_manual_random.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "core/random/manual_sweep.h"

namespace voxloom {

TFormManualRandom::TFormManualRandom(QWidget* owner) : QWidget(owner, Qt::Tool) {
  setObjectName("FormManualRandom");
  setWindowTitle("Manual random number generation");
  auto* label = new QLabel(
      "Press the yellow Play button and drag the slider to \"sweep\" over the audio file:", this);
  label->setObjectName("Label1");
  label->setAlignment(Qt::AlignHCenter);
  trackBarRandom_ = new QSlider(Qt::Horizontal, this);
  trackBarRandom_->setObjectName("TrackBarRandom");
  trackBarRandom_->setRange(0, kManualSliderMax);
  trackBarRandom_->setSingleStep(1);
  trackBarRandom_->setPageStep(1);
  trackBarRandom_->setTickPosition(QSlider::TicksBothSides);
  // A tick per step of this range would be two thousand million of them.
  trackBarRandom_->setTickInterval(kManualSliderMax / 20);
  trackBarRandom_->setCursor(Qt::PointingHandCursor);
  trackBarRandom_->setFocusPolicy(Qt::NoFocus);  // not in the tab order
  checkBoxMute_ = new QCheckBox("Mute when slider not moved", this);
  checkBoxMute_->setObjectName("CheckBoxMute");
  checkBoxMute_->setChecked(true);

  auto* column = new QVBoxLayout(this);
  column->addWidget(label);
  column->addWidget(trackBarRandom_);
  column->addWidget(checkBoxMute_);
  setFixedHeight(120);
  setMinimumWidth(200);
  resize(800, 120);

  connect(trackBarRandom_, &QSlider::valueChanged, this, [this](int value) {
    if (position_ != nullptr) *position_ = value;
  });
  connect(checkBoxMute_, &QCheckBox::toggled, this, [this](bool on) {
    if (mute_ != nullptr) *mute_ = on;
  });
}

void TFormManualRandom::bind(std::int32_t* position, bool* mute, std::function<void()> closed) {
  position_ = position;
  mute_ = mute;
  closed_ = std::move(closed);
  refresh();
}

void TFormManualRandom::refresh() {
  if (position_ != nullptr) {
    const QSignalBlocker quiet(trackBarRandom_);
    trackBarRandom_->setValue(*position_);
  }
  if (mute_ != nullptr) {
    const QSignalBlocker quiet(checkBoxMute_);
    checkBoxMute_->setChecked(*mute_);
  }
}

void TFormManualRandom::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (closed_) closed_();
}

}  // namespace voxloom
