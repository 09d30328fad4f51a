#include "gui/form_rec_level.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <cmath>
#include <utility>
#include <vector>

namespace voxloom {

namespace {

constexpr int kScaleHeight = 240;

// Labels beside a bar, each centred on its height: fraction 0 at the bottom, 1 at the top.
class ScaleLabels : public QWidget {
 public:
  ScaleLabels(QWidget* parent, std::vector<std::pair<QString, double>> marks, Qt::Alignment align)
      : QWidget(parent) {
    int widest = 0;
    for (auto& [text, fraction] : marks) {
      auto* label = new QLabel(text, this);
      label->setAlignment(align | Qt::AlignVCenter);
      widest = std::max(widest, label->sizeHint().width());
      labels_.emplace_back(label, fraction);
    }
    setFixedWidth(widest + 4);
    setMinimumHeight(kScaleHeight);
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    for (auto& [label, fraction] : labels_) {
      const int h = label->sizeHint().height();
      const int y = static_cast<int>(std::lround((1.0 - fraction) * (height() - h)));
      label->setGeometry(0, y, width(), h);
    }
  }

 private:
  std::vector<std::pair<QLabel*, double>> labels_;
};

QProgressBar* gauge(QWidget* parent, const char* name, int maximum) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(name);
  bar->setRange(0, maximum);
  bar->setValue(0);
  bar->setTextVisible(false);
  return bar;
}

void setGaugeColours(QProgressBar* bar, const QString& chunk) {
  bar->setStyleSheet(QString("QProgressBar { background: black; border: 1px solid gray; }"
                             "QProgressBar::chunk { background: %1; }")
                         .arg(chunk));
}

}  // namespace

TFormRecLevel::TFormRecLevel(QWidget* owner) : QWidget(owner, Qt::Tool) {
  setObjectName("FormRecLevel");
  setWindowTitle("Input Level");

  gaugeClipping_ = gauge(this, "CGaugeClipping", 1);
  gaugeClipping_->setFixedHeight(10);
  setGaugeColours(gaugeClipping_, lampColour(LampColour::Yellow).name());
  gaugeLevel_ = gauge(this, "CGaugeLevel", RecLevelState::kBarMax);
  gaugeLevel_->setOrientation(Qt::Vertical);
  gaugeLevel_->setMinimumHeight(kScaleHeight);
  setGaugeColours(gaugeLevel_, "lime");

  std::vector<std::pair<QString, double>> percent;
  for (int p = 0; p <= 100; p += 10) percent.emplace_back(QString("%1 %").arg(p), p / 100.0);
  std::vector<std::pair<QString, double>> decibels;
  for (int db : {0, -1, -3, -6, -12, -24})
    decibels.emplace_back(QString("%1 dB").arg(db), std::pow(10.0, db / 20.0));
  std::vector<std::pair<QString, double>> boost;
  for (int db = 0; db <= RecLevelState::kBoostPositionMax; db += 10)
    boost.emplace_back(QString("+%1 dB").arg(db), db / double(RecLevelState::kBoostPositionMax));

  checkBoxBoost_ = new QCheckBox("Boost by:", this);
  checkBoxBoost_->setObjectName("CheckBoxBoost");
  // 0 at the top (+90 dB), 90 at the bottom (+0 dB).
  trackBarBoost_ = new QSlider(Qt::Vertical, this);
  trackBarBoost_->setObjectName("TrackBarBoostDecibels");
  trackBarBoost_->setRange(0, RecLevelState::kBoostPositionMax);
  trackBarBoost_->setInvertedAppearance(true);
  trackBarBoost_->setInvertedControls(true);
  trackBarBoost_->setTickPosition(QSlider::TicksBothSides);
  trackBarBoost_->setTickInterval(10);
  trackBarBoost_->setValue(RecLevelState::kBoostPositionMax);

  auto* grid = new QGridLayout(this);
  grid->addWidget(gaugeClipping_, 0, 1);
  grid->addWidget(checkBoxBoost_, 0, 3, 1, 2);
  grid->addWidget(new ScaleLabels(this, percent, Qt::AlignRight), 1, 0);
  grid->addWidget(gaugeLevel_, 1, 1);
  grid->addWidget(new ScaleLabels(this, decibels, Qt::AlignLeft), 1, 2);
  grid->addWidget(trackBarBoost_, 1, 3);
  grid->addWidget(new ScaleLabels(this, boost, Qt::AlignLeft), 1, 4);

  connect(checkBoxBoost_, &QCheckBox::toggled, this, [this](bool on) {
    if (meter_ != nullptr && !refreshing_) meter_->state.boostChecked = on;
  });
  connect(trackBarBoost_, &QSlider::valueChanged, this, [this](int position) {
    if (meter_ != nullptr && !refreshing_) meter_->state.boostPosition = position;
  });
}

TFormRecLevel::~TFormRecLevel() {
  if (meter_ != nullptr) meter_->changed = nullptr;
}

QColor TFormRecLevel::lampColour(LampColour colour) {
  return colour == LampColour::Red ? QColor(Qt::red) : QColor(Qt::yellow);
}

void TFormRecLevel::bindMeter(LevelMeter* meter) {
  meter_ = meter;
  if (meter_ != nullptr) meter_->changed = [this] { refresh(); };
  refresh();
}

void TFormRecLevel::refresh() {
  if (meter_ == nullptr || refreshing_) return;
  refreshing_ = true;
  const RecLevelState& state = meter_->state;
  gaugeLevel_->setValue(state.bar);
  gaugeClipping_->setValue(state.lamp);
  const QString colour = lampColour(state.lampColour).name();
  if (gaugeClipping_->property("lampColour").toString() != colour) {
    gaugeClipping_->setProperty("lampColour", colour);
    setGaugeColours(gaugeClipping_, colour);
  }
  checkBoxBoost_->setChecked(state.boostChecked);
  trackBarBoost_->setValue(state.boostPosition);
  if (state.visible != isVisible()) setVisible(state.visible);
  refreshing_ = false;
}

void TFormRecLevel::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (meter_ != nullptr && !refreshing_) meter_->state.visible = false;
}

}  // namespace voxloom
