#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace voxloom {

class AppServices;
class MainPresenter;
struct DeviceChoice;

// "Settings": the program-wide options and the four sound devices. There is no Cancel:
// every change is written to the services at once, and "&Close" only closes.
class TFormSettings : public QDialog {
  Q_OBJECT

 public:
  TFormSettings(MainPresenter& controller, QWidget* owner = nullptr);

  // Shows the services' state: the device lists and every option.
  void refresh();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QComboBox* makeDeviceList(const char* name, DeviceChoice& choice);

  MainPresenter& controller_;
  AppServices& services_;
  QCheckBox* useSeparateFolders_ = nullptr;
  QCheckBox* restWinPos_ = nullptr;
  QCheckBox* saveOnExit_ = nullptr;
  QCheckBox* autoOpenLastWavFile_ = nullptr;
  QComboBox* playback_ = nullptr;
  QComboBox* record_ = nullptr;
  QComboBox* randomSource_ = nullptr;
  QComboBox* liveSource_ = nullptr;
  QSpinBox* recBufferTime_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace voxloom
