#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include "core/ports/queued_event_loop.h"
#include "gui/form_main.h"
#include "gui/form_rec_level.h"
#include "gui/form_rec_param.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_in.h"

namespace voxloom {
namespace {

using test::child;

TEST(FormRecParam, ControlsDefaultsAndLayouts) {
  TFormRecParam form;
  EXPECT_EQ(form.windowTitle(), "Recording parameters");
  EXPECT_TRUE(form.isModal());
  auto* rate = child<QComboBox>(form, "ComboBoxSampleRate");
  ASSERT_NE(rate, nullptr);
  EXPECT_TRUE(rate->isEditable());
  QStringList items;
  for (int i = 0; i < rate->count(); ++i) items << rate->itemText(i);
  EXPECT_EQ(items, QStringList({"8000", "11025", "16000", "22050", "32000", "44100", "48000"}));
  EXPECT_EQ(rate->currentText(), "22050");
  EXPECT_EQ(child<QGroupBox>(form, "GroupBoxSampleRate")->title(), "Sample rate");
  EXPECT_EQ(child<QGroupBox>(form, "RadioGroupChannels")->title(), "Channels");
  EXPECT_EQ(child<QRadioButton>(form, "RadioGroupChannelsItem0")->text(), "&Mono");
  EXPECT_TRUE(child<QRadioButton>(form, "RadioGroupChannelsItem0")->isChecked());
  EXPECT_EQ(child<QRadioButton>(form, "RadioGroupResolutionItem1")->text(), "&16 bit");
  EXPECT_TRUE(child<QRadioButton>(form, "RadioGroupResolutionItem1")->isChecked());
  auto* normalize = child<QCheckBox>(form, "CheckBoxNormalize");
  EXPECT_EQ(normalize->text(), "Normalize to achieve optimal recording level");
  EXPECT_TRUE(normalize->isChecked());
  auto* live = child<QSpinBox>(form, "CSpinEditLiveAudioSourceTimeSeconds");
  EXPECT_EQ(std::make_tuple(live->minimum(), live->maximum(), live->value()),
            std::make_tuple(1, 10000, 10));
  auto* ok = child<QPushButton>(form, "ButtonOK");
  EXPECT_EQ(ok->text(), "&Start");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(child<QPushButton>(form, "ButtonCancel")->text(), "&Cancel");

  // The two layouts show one of the two group boxes each.
  form.show();
  EXPECT_TRUE(child<QGroupBox>(form, "GroupBoxAmplitude")->isVisible());
  EXPECT_FALSE(child<QGroupBox>(form, "GroupBoxLiveAudioSource")->isVisible());
  RecParamState liveState;
  liveState.liveLayout = true;
  form.showState(liveState);
  EXPECT_FALSE(child<QGroupBox>(form, "GroupBoxAmplitude")->isVisible());
  EXPECT_TRUE(child<QGroupBox>(form, "GroupBoxLiveAudioSource")->isVisible());
  form.hide();
}

TEST(FormRecParam, ShowsAndReadsBackTheState) {
  TFormRecParam form;
  RecParamState state;
  state.sampleRateText = "12345";
  state.channelsItem = 1;
  state.resolutionItem = 0;
  state.normalize = false;
  state.liveSeconds = 77;
  form.showState(state);
  EXPECT_EQ(child<QComboBox>(form, "ComboBoxSampleRate")->currentText(), "12345");
  EXPECT_TRUE(child<QRadioButton>(form, "RadioGroupChannelsItem1")->isChecked());
  child<QComboBox>(form, "ComboBoxSampleRate")->lineEdit()->setText("not a rate");
  child<QRadioButton>(form, "RadioGroupResolutionItem1")->click();
  const RecParamState back = form.state();
  EXPECT_EQ(back.sampleRateText, "not a rate");
  EXPECT_EQ(back.channelsItem, 1);
  EXPECT_EQ(back.resolutionItem, 1);
  EXPECT_FALSE(back.normalize);
  EXPECT_EQ(back.liveSeconds, 77);
}

TEST(FormRecLevel, ShowsTheMeterAndWritesTheBoostBack) {
  TFormRecLevel form;
  EXPECT_EQ(form.windowTitle(), "Input Level");
  EXPECT_TRUE(form.windowFlags() & Qt::Tool);
  auto* bar = child<QProgressBar>(form, "CGaugeLevel");
  auto* lamp = child<QProgressBar>(form, "CGaugeClipping");
  auto* boost = child<QCheckBox>(form, "CheckBoxBoost");
  auto* slider = child<QSlider>(form, "TrackBarBoostDecibels");
  ASSERT_TRUE(bar && lamp && boost && slider);
  EXPECT_EQ(bar->orientation(), Qt::Vertical);
  EXPECT_EQ(bar->maximum(), 300);
  EXPECT_EQ(lamp->maximum(), 1);
  EXPECT_EQ(boost->text(), "Boost by:");
  EXPECT_EQ(slider->orientation(), Qt::Vertical);
  EXPECT_EQ(std::make_pair(slider->minimum(), slider->maximum()), std::make_pair(0, 90));
  EXPECT_EQ(slider->value(), 90);
  EXPECT_TRUE(slider->invertedAppearance());  // position 90 at the bottom
  for (const char* label : {"0 %", "100 %", "-24 dB", "-1 dB", "+0 dB", "+90 dB"}) {
    bool found = false;
    for (QLabel* l : form.findChildren<QLabel*>()) found = found || l->text() == label;
    EXPECT_TRUE(found) << label;
  }

  LevelMeter meter;
  form.bindMeter(&meter);
  meter.showLevel(-32768, 16);
  EXPECT_EQ(bar->value(), 300);
  EXPECT_EQ(lamp->value(), 1);
  EXPECT_TRUE(lamp->styleSheet().contains(TFormRecLevel::lampColour(LampColour::Red).name()));
  meter.state.bar = 0;
  meter.showLevel(32767, 16);
  EXPECT_EQ(bar->value(), 299);
  EXPECT_TRUE(lamp->styleSheet().contains(TFormRecLevel::lampColour(LampColour::Yellow).name()));

  boost->click();
  slider->setValue(70);
  EXPECT_TRUE(meter.state.boostChecked);
  EXPECT_EQ(meter.state.boostGain(), 10);

  meter.setVisible(true);
  EXPECT_TRUE(form.isVisible());
  form.close();  // the user closes it
  EXPECT_FALSE(meter.state.visible);
}

TEST(FormMainRecord, F4ShowsTheDialogAndStartRecords) {
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QueuedEventLoop loop;
  test::SimWaveIn waveIn{loop};
  test::MainWindow main(prompter, shell);
  main.services().attachRecording(waveIn, loop, nullptr);
  main.controller().startUp({});
  auto* record = child<QAction>(main, "MenuFileRecord");
  ASSERT_TRUE(record->isEnabled());
  EXPECT_EQ(record->shortcut(), QKeySequence(Qt::Key_F4));

  bool sawDialog = false;
  QTimer::singleShot(0, &main, [&] {
    auto* dialog = qobject_cast<TFormRecParam*>(QApplication::activeModalWidget());
    sawDialog = dialog != nullptr;
    if (dialog == nullptr) return;
    child<QCheckBox>(*dialog, "CheckBoxNormalize")->setChecked(false);
    child<QPushButton>(*dialog, "ButtonOK")->click();
  });
  record->trigger();
  EXPECT_TRUE(sawDialog);
  ASSERT_EQ(main.services().states.state(), kStateRecording);
  EXPECT_FALSE(main.services().recording.engine.params.normalize);
  EXPECT_EQ(main.windowTitle(), "Recording ...");
  auto* level = main.findChild<TFormRecLevel*>();
  ASSERT_NE(level, nullptr);
  EXPECT_TRUE(level->isVisible());
  EXPECT_FALSE(record->isEnabled());

  waveIn.supply(std::vector<std::uint8_t>(4410, 0x20));
  loop.processPending();
  child<QAction>(main, "MenuFileStop")->trigger();
  loop.processPending();
  EXPECT_EQ(main.services().states.state(), kStateIdle);
  EXPECT_EQ(main.windowTitle(), "New File - Voxloom 2.5");
  EXPECT_FALSE(level->isVisible());
  EXPECT_TRUE(child<QAction>(main, "MenuFileSave")->isEnabled());
}

}  // namespace
}  // namespace voxloom
