#include "gui/form_echo.h"
#include "gui/dialog_buttons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/form_about.h"

namespace voxloom {

namespace {

QScrollBar* makeScrollBar(QWidget* parent, const char* name, int maximum, int largeStep) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setObjectName(name);
  bar->setRange(0, maximum);
  bar->setSingleStep(EchoDialogState::kSmallStep);
  bar->setPageStep(largeStep);
  bar->setMinimumWidth(260);
  return bar;
}

QLabel* makeLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TFormEcho::TFormEcho(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowContextHelpButtonHint) {
  setObjectName("FormEcho");
  setWindowTitle("Echo parameters");
  setModal(true);

  labelDelay_ = makeLabel(this, "LabelDelay");
  scrollBarDelay_ = makeScrollBar(this, "ScrollBarDelay", EchoDialogState::kDelayMax,
                                  EchoDialogState::kDelayLargeStep);
  labelDecay_ = makeLabel(this, "LabelDecay");
  scrollBarDecay_ = makeScrollBar(this, "ScrollBarDecay", EchoDialogState::kDecayMax,
                                  EchoDialogState::kDecayLargeStep);

  QHBoxLayout* buttons = makeOkCancelRow(this);
  auto* column = new QVBoxLayout(this);
  column->addWidget(labelDelay_);
  column->addWidget(scrollBarDelay_);
  column->addSpacing(8);
  column->addWidget(labelDecay_);
  column->addWidget(scrollBarDecay_);
  column->addSpacing(8);
  column->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(scrollBarDelay_, &QScrollBar::valueChanged, this, [this](int position) {
    state_.scrollBarDelayChange(position);
    refreshLabels();
  });
  connect(scrollBarDecay_, &QScrollBar::valueChanged, this, [this](int position) {
    state_.scrollBarDecayChange(position);
    refreshLabels();
  });
  refreshLabels();
}

void TFormEcho::showState(const EchoDialogState& state) {
  state_ = state;
  const QSignalBlocker delayBlocker(scrollBarDelay_);
  const QSignalBlocker decayBlocker(scrollBarDecay_);
  scrollBarDelay_->setValue(state_.delayPosition);
  scrollBarDecay_->setValue(state_.decayPosition);
  refreshLabels();
}

void TFormEcho::refreshLabels() {
  labelDelay_->setText(QString::fromStdString(state_.delayLabel));
  labelDecay_->setText(QString::fromStdString(state_.decayLabel));
}

void TFormEcho::showEvent(QShowEvent* event) {
  if (QWidget* owner = parentWidget())
    move(centredOver(owner->frameGeometry(), frameGeometry().size()));
  QDialog::showEvent(event);
}

}  // namespace voxloom
