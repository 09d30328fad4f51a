#include "gui/form_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/app/main_presenter.h"
#include "gui/form_about.h"

namespace voxloom {

namespace {

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const char* caption, bool& flag,
                        const bool& refreshing) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  QObject::connect(box, &QCheckBox::toggled, parent, [&flag, &refreshing](bool on) {
    if (!refreshing) flag = on;
  });
  return box;
}

}  // namespace

TFormSettings::TFormSettings(MainPresenter& controller, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      controller_(controller),
      services_(controller.services()) {
  setObjectName("FormSettings");
  setWindowTitle("Settings");
  setModal(true);

  auto* program = new QGroupBox("Program", this);
  program->setObjectName("GroupBoxProgram");
  useSeparateFolders_ =
      makeCheckBox(program, "CheckBoxUseSeparateFolders", "Use separate folders for each file type",
                   services_.document.folders.useSeparate, refreshing_);
  restWinPos_ = makeCheckBox(program, "CheckBoxRestWinPos", "Restore window position",
                             services_.settings.restoreWindowPosition, refreshing_);
  saveOnExit_ = makeCheckBox(program, "CheckBoxSaveOnExit", "Save settings on exit",
                             services_.settings.saveOnExit, refreshing_);
  autoOpenLastWavFile_ =
      makeCheckBox(program, "CheckBoxAutoOpenLastWavFile", "Auto-open last WAV file",
                   services_.document.folders.autoOpenLastWavFile, refreshing_);
  auto* saveNow = new QPushButton("Save now", program);
  saveNow->setObjectName("ButtonSaveNow");
  saveNow->setAutoDefault(false);
  connect(saveNow, &QPushButton::clicked, this, [this] { controller_.saveSettingsNow(); });
  auto* programRows = new QGridLayout(program);
  programRows->addWidget(useSeparateFolders_, 0, 0, 1, 2);
  programRows->addWidget(restWinPos_, 1, 0, 1, 2);
  programRows->addWidget(saveOnExit_, 2, 0);
  programRows->addWidget(saveNow, 2, 1);
  programRows->addWidget(autoOpenLastWavFile_, 3, 0, 1, 2);

  auto* audio = new QGroupBox("Audio devices", this);
  audio->setObjectName("GroupBoxAudioDevices");
  DeviceLists& lists = services_.settings.devices;
  playback_ = makeDeviceList("ComboBoxDevicePlayback", lists.playback);
  record_ = makeDeviceList("ComboBoxDeviceRecord", lists.record);
  randomSource_ = makeDeviceList("ComboBoxDeviceRandomSource", lists.randomSource);
  liveSource_ = makeDeviceList("ComboBoxDeviceLiveAudioSource", lists.liveSource);
  recBufferTime_ = new QSpinBox(audio);
  recBufferTime_->setObjectName("EditRecBufferTimeMilliseconds");
  recBufferTime_->setRange(RecBufferTime::kMin, RecBufferTime::kMax);
  recBufferTime_->setSingleStep(RecBufferTime::kStep);
  connect(recBufferTime_, &QSpinBox::valueChanged, this, [this](int ms) {
    if (!refreshing_) services_.recording.engine.bufferTimeMs = ms;
  });
  auto* audioRows = new QGridLayout(audio);
  const std::pair<const char*, QComboBox*> rows[] = {{"Playback", playback_},
                                                     {"Record", record_},
                                                     {"Random source", randomSource_},
                                                     {"Live audio source", liveSource_}};
  int row = 0;
  for (const auto& [caption, list] : rows) {
    list->setParent(audio);
    auto* label = new QLabel(caption, audio);
    label->setBuddy(list);
    audioRows->addWidget(label, row, 0);
    audioRows->addWidget(list, row++, 1, 1, 2);
  }
  audioRows->addWidget(new QLabel("Recording buffer", audio), row, 0);
  audioRows->addWidget(recBufferTime_, row, 1);
  audioRows->addWidget(new QLabel("ms", audio), row, 2);
  audioRows->setColumnStretch(1, 1);

  auto* close = new QPushButton("&Close", this);
  close->setObjectName("ButtonClose");
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);

  auto* column = new QVBoxLayout(this);
  column->addWidget(program);
  column->addWidget(audio);
  column->addLayout(buttons);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  refresh();
}

QComboBox* TFormSettings::makeDeviceList(const char* name, DeviceChoice& choice) {
  auto* list = new QComboBox(this);
  list->setObjectName(name);
  list->setMinimumWidth(260);
  connect(list, &QComboBox::currentIndexChanged, this, [this, &choice](int index) {
    if (refreshing_) return;
    services_.settings.devices.choose(choice, index);
    services_.applyDeviceChoices();
  });
  return list;
}

void TFormSettings::refresh() {
  refreshing_ = true;
  useSeparateFolders_->setChecked(services_.document.folders.useSeparate);
  restWinPos_->setChecked(services_.settings.restoreWindowPosition);
  saveOnExit_->setChecked(services_.settings.saveOnExit);
  autoOpenLastWavFile_->setChecked(services_.document.folders.autoOpenLastWavFile);
  const DeviceLists& lists = services_.settings.devices;
  const std::pair<QComboBox*, const DeviceChoice*> devices[] = {
      {playback_, &lists.playback},
      {record_, &lists.record},
      {randomSource_, &lists.randomSource},
      {liveSource_, &lists.liveSource}};
  for (const auto& [list, choice] : devices) {
    list->clear();
    for (const std::string& name : lists.namesFor(*choice))
      list->addItem(QString::fromStdString(name));
    list->setCurrentIndex(choice->selected);
  }
  recBufferTime_->setValue(services_.recording.engine.bufferTimeMs);
  refreshing_ = false;
}

void TFormSettings::showEvent(QShowEvent* event) {
  refresh();
  if (QWidget* owner = parentWidget())
    move(centredOver(owner->frameGeometry(), frameGeometry().size()));
  QDialog::showEvent(event);
}

}  // namespace voxloom
