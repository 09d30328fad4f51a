#include "gui/form_rec_param.h"
#include "gui/dialog_buttons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/ports/echo_dialog.h"

namespace voxloom {

namespace {

QGroupBox* radioGroup(QWidget* parent, const char* name, const QString& title,
                      const QStringList& items, QButtonGroup*& buttons) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  buttons = new QButtonGroup(box);
  auto* column = new QVBoxLayout(box);
  for (int i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], box);
    radio->setObjectName(QString("%1Item%2").arg(name).arg(i));
    buttons->addButton(radio, i);
    column->addWidget(radio);
  }
  return box;
}

}  // namespace

TFormRecParam::TFormRecParam(QWidget* owner) : QDialog(owner) {
  setObjectName("FormRecParam");
  setWindowTitle("Recording parameters");
  setModal(true);

  auto* rateBox = new QGroupBox("Sample rate", this);
  rateBox->setObjectName("GroupBoxSampleRate");
  comboBoxSampleRate_ = new QComboBox(rateBox);
  comboBoxSampleRate_->setObjectName("ComboBoxSampleRate");
  comboBoxSampleRate_->setEditable(true);  // free text: any rate the device takes
  comboBoxSampleRate_->setInsertPolicy(QComboBox::NoInsert);
  for (const char* item : RecParamState::kSampleRateItems) comboBoxSampleRate_->addItem(item);
  (new QVBoxLayout(rateBox))->addWidget(comboBoxSampleRate_);

  QGroupBox* channelsBox =
      radioGroup(this, "RadioGroupChannels", "Channels", {"&Mono", "&Stereo"}, channels_);
  QGroupBox* resolutionBox =
      radioGroup(this, "RadioGroupResolution", "Resolution", {"&8 bit", "&16 bit"}, resolution_);

  groupBoxAmplitude_ = new QGroupBox("Amplitude", this);
  groupBoxAmplitude_->setObjectName("GroupBoxAmplitude");
  checkBoxNormalize_ =
      new QCheckBox("Normalize to achieve optimal recording level", groupBoxAmplitude_);
  checkBoxNormalize_->setObjectName("CheckBoxNormalize");
  (new QVBoxLayout(groupBoxAmplitude_))->addWidget(checkBoxNormalize_);

  // Shares the place of "Amplitude"; only one of the two is shown.
  groupBoxLive_ = new QGroupBox("Live audio source", this);
  groupBoxLive_->setObjectName("GroupBoxLiveAudioSource");
  liveSeconds_ = new QSpinBox(groupBoxLive_);
  liveSeconds_->setObjectName("CSpinEditLiveAudioSourceTimeSeconds");
  liveSeconds_->setRange(RecParamState::kLiveSecondsMin, RecParamState::kLiveSecondsMax);
  auto* liveRow = new QHBoxLayout(groupBoxLive_);
  liveRow->addWidget(new QLabel("Buffer time", groupBoxLive_));
  liveRow->addWidget(liveSeconds_);
  liveRow->addWidget(new QLabel("sec", groupBoxLive_));

  auto* formatRow = new QHBoxLayout;
  formatRow->addWidget(rateBox);
  formatRow->addWidget(channelsBox);
  formatRow->addWidget(resolutionBox);
  QHBoxLayout* buttons = makeOkCancelRow(this, "&Start");
  auto* column = new QVBoxLayout(this);
  column->addLayout(formatRow);
  column->addWidget(groupBoxAmplitude_);
  column->addWidget(groupBoxLive_);
  column->addLayout(buttons);

  showState(RecParamState{});
}

void TFormRecParam::showState(const RecParamState& state) {
  comboBoxSampleRate_->setEditText(QString::fromStdString(state.sampleRateText));
  if (QAbstractButton* b = channels_->button(state.channelsItem)) b->setChecked(true);
  if (QAbstractButton* b = resolution_->button(state.resolutionItem)) b->setChecked(true);
  checkBoxNormalize_->setChecked(state.normalize);
  liveSeconds_->setValue(state.liveSeconds);
  liveLayout_ = state.liveLayout;
  groupBoxAmplitude_->setVisible(!liveLayout_);
  groupBoxLive_->setVisible(liveLayout_);
}

RecParamState TFormRecParam::state() const {
  RecParamState state;
  state.sampleRateText = comboBoxSampleRate_->currentText().toStdString();
  state.channelsItem = std::max(channels_->checkedId(), 0);
  state.resolutionItem = std::max(resolution_->checkedId(), 0);
  state.normalize = checkBoxNormalize_->isChecked();
  state.liveSeconds = liveSeconds_->value();
  state.liveLayout = liveLayout_;
  return state;
}

void TFormRecParam::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QWidget* main = parentWidget()) {
    move(centredOver(main->x(), main->width(), width()),
         centredOver(main->y(), main->height(), height()));
  }
}

}  // namespace voxloom
