#include "gui/form_parallel_port.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/form_about.h"

namespace voxloom {

namespace {

QGroupBox* makeGroup(QWidget* parent, const char* name, const char* caption) {
  auto* group = new QGroupBox(caption, parent);
  group->setObjectName(name);
  return group;
}

}  // namespace

TFormParallelPort::TFormParallelPort(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("FormParallelPort");
  setWindowTitle(kParallelPortCaption);
  setModal(true);

  QGroupBox* port = makeGroup(this, "GroupBoxPort", "Port address");
  comboBoxPortAddress_ = new QComboBox(port);
  comboBoxPortAddress_->setObjectName("ComboBoxPortAddress");
  comboBoxPortAddress_->setEditable(true);
  comboBoxPortAddress_->setInsertPolicy(QComboBox::NoInsert);
  (new QVBoxLayout(port))->addWidget(comboBoxPortAddress_);

  QGroupBox* pin = makeGroup(this, "GroupBoxPin", "Input line");
  comboBoxInputLine_ = new QComboBox(pin);
  comboBoxInputLine_->setObjectName("ComboBoxInputLine");
  for (const InputLine& line : kInputLines) comboBoxInputLine_->addItem(line.text);
  (new QVBoxLayout(pin))->addWidget(comboBoxInputLine_);

  QGroupBox* rate = makeGroup(this, "GroupBoxSampleRate", "Sample rate");
  editSampleRate_ = new QLineEdit(rate);
  editSampleRate_->setObjectName("EditSampleRate");
  auto* hz = new QLabel("Hz", rate);
  hz->setObjectName("LabelHz");
  auto* rateRow = new QHBoxLayout(rate);
  rateRow->addWidget(editSampleRate_, 1);
  rateRow->addWidget(hz);

  QGroupBox* unbias = makeGroup(this, "RadioGroupUnbias", "Unbiasing method");
  radioGroupUnbias_ = new QButtonGroup(this);
  auto* unbiasColumn = new QVBoxLayout(unbias);
  const char* methods[] = {"None (raw output)", "XOR correction", "Von Neumann"};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QRadioButton(methods[i], unbias);
    button->setObjectName(QString("RadioButtonUnbias%1").arg(i));
    radioGroupUnbias_->addButton(button, i);
    unbiasColumn->addWidget(button);
  }

  labelErrortext_ = new QLabel("No parallel printer ports found.", this);
  labelErrortext_->setObjectName("LabelErrortext");
  labelErrortext_->setAlignment(Qt::AlignCenter);
  labelErrortext_->setStyleSheet("color: red;");

  auto* column = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(port);
  top->addWidget(pin);
  column->addLayout(top);
  auto* middle = new QHBoxLayout;
  middle->addWidget(rate);
  middle->addWidget(unbias);
  column->addLayout(middle);
  column->addWidget(labelErrortext_);
  column->addLayout(makeOkCancelRow(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  showState(state_);
}

void TFormParallelPort::showState(const ParallelPortDialogState& state) {
  state_ = state;
  comboBoxPortAddress_->clear();
  for (const std::string& item : state.portList)
    comboBoxPortAddress_->addItem(QString::fromStdString(item));
  comboBoxPortAddress_->setEditText(QString::fromStdString(state.portAddressText));
  comboBoxInputLine_->setCurrentIndex(state.inputLineIndex);
  editSampleRate_->setText(QString::fromStdString(state.sampleRateText));
  if (QAbstractButton* b = radioGroupUnbias_->button(state.unbiasMethod)) b->setChecked(true);
  labelErrortext_->setText(state.noPortsText ? "No parallel printer ports found." : "");
}

ParallelPortDialogState TFormParallelPort::state() const {
  ParallelPortDialogState s = state_;
  s.portAddressText = comboBoxPortAddress_->currentText().trimmed().toStdString();
  s.inputLineIndex = comboBoxInputLine_->currentIndex();
  s.sampleRateText = editSampleRate_->text().trimmed().toStdString();
  s.unbiasMethod = std::max(radioGroupUnbias_->checkedId(), 0);
  return s;
}

void TFormParallelPort::showEvent(QShowEvent* event) {
  if (QWidget* owner = parentWidget())
    move(centredOver(owner->frameGeometry(), frameGeometry().size()));
  QDialog::showEvent(event);
}

}  // namespace voxloom
