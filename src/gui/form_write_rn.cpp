#include "gui/form_write_rn.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/form_about.h"

namespace voxloom {

TFormWriteRN::TFormWriteRN(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("FormWriteRN");
  setWindowTitle(kWriteRnTitle);
  setModal(true);

  auto* label = new QLabel("Please enter the number of samples to be written:", this);
  label->setObjectName("Label1");
  spinEditSamples_ = new QSpinBox(this);
  spinEditSamples_->setObjectName("CSpinEditSamples");
  spinEditSamples_->setRange(WriteRnDialogState::kMin, WriteRnDialogState::kMax);
  spinEditSamples_->setSingleStep(WriteRnDialogState::kStep);
  auto* times = new QPushButton("x 10", this);
  times->setObjectName("Button10");
  times->setAutoDefault(false);
  auto* divide = new QPushButton(": 10", this);
  divide->setObjectName("Button01");
  divide->setAutoDefault(false);

  auto* row = new QHBoxLayout;
  row->addWidget(spinEditSamples_, 1);
  row->addWidget(times);
  row->addWidget(divide);
  auto* column = new QVBoxLayout(this);
  column->addWidget(label);
  column->addLayout(row);
  column->addSpacing(8);
  column->addLayout(makeOkCancelRow(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(spinEditSamples_, &QSpinBox::valueChanged, this,
          [this](int value) { state_.setSamples(value); });
  connect(times, &QPushButton::clicked, this, [this] {
    state_.timesTen();
    refresh();
  });
  connect(divide, &QPushButton::clicked, this, [this] {
    state_.divideByTen();
    refresh();
  });
  refresh();
}

void TFormWriteRN::showState(const WriteRnDialogState& state) {
  state_ = state;
  refresh();
}

void TFormWriteRN::refresh() {
  const QSignalBlocker quiet(spinEditSamples_);
  spinEditSamples_->setValue(state_.samples);
}

void TFormWriteRN::showEvent(QShowEvent* event) {
  if (QWidget* owner = parentWidget())
    move(centredOver(owner->frameGeometry(), frameGeometry().size()));
  QDialog::showEvent(event);
  spinEditSamples_->setFocus();
  spinEditSamples_->selectAll();
}

}  // namespace voxloom
