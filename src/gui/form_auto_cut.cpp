#include "gui/form_auto_cut.h"
#include "gui/dialog_buttons.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include "gui/form_about.h"

namespace voxloom {

namespace {

// The spin edit sits over the blanks between "to" and "percent".
constexpr const char* kManualLead = "Set threshold to ";
constexpr const char* kManualCaption = "Set threshold to               percent";

}  // namespace

TFormAutoCut::TFormAutoCut(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("FormAutoCut");
  setWindowTitle("Auto-cut parameters");
  setModal(true);

  radioGroupThreshold_ = new QGroupBox("Threshold", this);
  radioGroupThreshold_->setObjectName("RadioGroupThreshold");
  itemManual_ = new QRadioButton(kManualCaption, radioGroupThreshold_);
  itemManual_->setObjectName("RadioGroupThresholdItem0");
  itemAutomatic_ = new QRadioButton("Determine threshold automatically", radioGroupThreshold_);
  itemAutomatic_->setObjectName("RadioGroupThresholdItem1");
  auto* items = new QVBoxLayout(radioGroupThreshold_);
  items->addWidget(itemManual_);
  items->addWidget(itemAutomatic_);

  // A child of the group, not of the radio button: a click on it must not check item 0
  // by itself, the spin edit's own rule does that.
  spinThreshold_ = new QSpinBox(radioGroupThreshold_);
  spinThreshold_->setObjectName("CSpinEditThreshold");
  spinThreshold_->setRange(AutoCutOptions::kThresholdMin, AutoCutOptions::kThresholdMax);
  spinThreshold_->installEventFilter(this);
  if (auto* edit = spinThreshold_->findChild<QLineEdit*>()) edit->installEventFilter(this);
  radioGroupThreshold_->installEventFilter(this);

  auto* envelope = new QGroupBox("Amplitude envelope", this);
  envelope->setObjectName("GroupBoxEnvelope");
  spinFrameSize_ = new QSpinBox(envelope);
  spinFrameSize_->setObjectName("CSpinEditFrameSize");
  spinFrameSize_->setRange(AutoCutOptions::kFrameSizeMin, AutoCutOptions::kFrameSizeMax);
  auto* frameRow = new QHBoxLayout(envelope);
  auto* frameLabel = new QLabel("Frame size:", envelope);
  frameLabel->setObjectName("LabelFrameSize");
  frameLabel->setBuddy(spinFrameSize_);
  auto* msLabel = new QLabel("ms", envelope);
  msLabel->setObjectName("LabelFrameSizeUnit");
  frameRow->addWidget(frameLabel);
  frameRow->addWidget(spinFrameSize_);
  frameRow->addWidget(msLabel);
  frameRow->addStretch();

  QHBoxLayout* buttons = makeOkCancelRow(this);

  auto* column = new QVBoxLayout(this);
  column->addWidget(radioGroupThreshold_);
  column->addWidget(envelope);
  column->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(spinThreshold_, &QSpinBox::valueChanged, this, [this](int percent) {
    options_.thresholdChange(percent);
    refreshChoice();
  });
  connect(spinFrameSize_, &QSpinBox::valueChanged, this,
          [this](int ms) { options_.frameSizeChange(ms); });
  connect(itemManual_, &QRadioButton::clicked, this, [this] {
    options_.radioGroupThresholdClick(AutoCutOptions::kManual);
    refreshChoice();
  });
  connect(itemAutomatic_, &QRadioButton::clicked, this, [this] {
    options_.radioGroupThresholdClick(AutoCutOptions::kAutomatic);
    refreshChoice();
  });
  showOptions(options_);
}

void TFormAutoCut::showOptions(const AutoCutOptions& options) {
  options_ = options;
  const QSignalBlocker thresholdBlocker(spinThreshold_);
  const QSignalBlocker frameBlocker(spinFrameSize_);
  spinThreshold_->setValue(options_.thresholdPercent);
  spinFrameSize_->setValue(options_.frameSizeMs);
  refreshChoice();
}

void TFormAutoCut::refreshChoice() {
  (options_.automatic() ? itemAutomatic_ : itemManual_)->setChecked(true);
}

void TFormAutoCut::placeThresholdSpin() {
  QStyleOptionButton option;
  option.initFrom(itemManual_);
  const QRect text =
      itemManual_->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, itemManual_);
  const QFontMetrics metrics = itemManual_->fontMetrics();
  const int gapLeft = text.left() + metrics.horizontalAdvance(kManualLead);
  const int gapRight = text.left() + metrics.horizontalAdvance(kManualCaption) -
                       metrics.horizontalAdvance(" percent");
  const int height = spinThreshold_->sizeHint().height();
  const QPoint topLeft = itemManual_->mapTo(radioGroupThreshold_,
                                            QPoint(gapLeft, (itemManual_->height() - height) / 2));
  spinThreshold_->setGeometry(topLeft.x(), topLeft.y(), gapRight - gapLeft, height);
  spinThreshold_->raise();
}

void TFormAutoCut::showEvent(QShowEvent* event) {
  if (QWidget* owner = parentWidget())
    move(centredOver(owner->frameGeometry(), frameGeometry().size()));
  QDialog::showEvent(event);
}

bool TFormAutoCut::eventFilter(QObject* watched, QEvent* event) {
  if (watched == radioGroupThreshold_ && event->type() == QEvent::Resize) placeThresholdSpin();
  // Clicking into the spin edit chooses the threshold set by hand (focus alone does not:
  // the dialog may give it the focus when it opens).
  const bool inSpin = watched == spinThreshold_ || watched->parent() == spinThreshold_;
  if (inSpin && event->type() == QEvent::MouseButtonPress) {
    options_.thresholdClick();
    refreshChoice();
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace voxloom
