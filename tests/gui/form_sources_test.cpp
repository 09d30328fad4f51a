#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "gui/form_main.h"
#include "gui/form_parallel_port.h"
#include "gui/form_write_rn.h"
#include "platform/linux/char_device.h"
#include "tests/gui/main_window.h"
#include "tests/gui/modal.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

using test::child;

TEST(FormWriteRN, ControlsAndTheirRange) {
  TFormWriteRN form;
  EXPECT_EQ(form.windowTitle(), "Write random numbers to file...");
  EXPECT_EQ(child<QLabel>(form, "Label1")->text(),
            "Please enter the number of samples to be written:");
  auto* spin = child<QSpinBox>(form, "CSpinEditSamples");
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(std::vector<int>({spin->minimum(), spin->maximum(), spin->singleStep(), spin->value()}),
            std::vector<int>({1, 1000000, 1000, 1000}));
  EXPECT_EQ(child<QPushButton>(form, "Button10")->text(), "x 10");
  EXPECT_EQ(child<QPushButton>(form, "Button01")->text(), ": 10");
  EXPECT_TRUE(child<QPushButton>(form, "ButtonOK")->isDefault());

  struct Case {
    int from;
    const char* button;
    int to;
  };
  for (const Case& c :
       {Case{500000, "Button10", 1000000}, Case{5, "Button01", 1}, Case{1234, "Button10", 12340}}) {
    spin->setValue(c.from);
    QTest::mouseClick(child<QPushButton>(form, c.button), Qt::LeftButton);
    EXPECT_EQ(spin->value(), c.to);
    EXPECT_EQ(form.state().samples, c.to);
  }
}

TEST(FormParallelPort, ControlsShowTheStateAndReadItBack) {
  TFormParallelPort form;
  EXPECT_EQ(form.windowTitle(), "Random bit generator @ Parallel printer port");
  auto* lines = child<QComboBox>(form, "ComboBoxInputLine");
  ASSERT_NE(lines, nullptr);
  QStringList items;
  for (int i = 0; i < lines->count(); ++i) items << lines->itemText(i);
  EXPECT_EQ(items, QStringList({"10 - Ack", "11 - Busy (Inverted)", "12 - Paper Out", "13 - Select",
                                "15 - Error"}));
  EXPECT_EQ(lines->currentIndex(), 3);
  EXPECT_EQ(child<QLineEdit>(form, "EditSampleRate")->text(), "100000");
  EXPECT_EQ(child<QLabel>(form, "LabelErrortext")->text(), "No parallel printer ports found.");
  EXPECT_NE(child<QWidget>(form, "RadioGroupUnbias"), nullptr);
  EXPECT_TRUE(child<QRadioButton>(form, "RadioButtonUnbias0")->isChecked());

  ParallelPortDialogState s;
  s.portList = {"278", "378"};
  s.portAddressText = "378";
  s.noPortsText = false;
  form.showState(s);
  EXPECT_EQ(child<QLabel>(form, "LabelErrortext")->text(), "");
  auto* address = child<QComboBox>(form, "ComboBoxPortAddress");
  EXPECT_TRUE(address->isEditable());
  EXPECT_EQ(address->count(), 2);
  address->setEditText(" 3bc ");
  child<QLineEdit>(form, "EditSampleRate")->setText("abc");
  child<QRadioButton>(form, "RadioButtonUnbias2")->setChecked(true);
  lines->setCurrentIndex(1);
  const ParallelPortDialogState back = form.state();
  EXPECT_EQ(back.portAddressText, "3bc");
  EXPECT_EQ(back.sampleRateText, "abc");
  EXPECT_EQ(back.unbiasMethod, 2);
  EXPECT_EQ(back.inputLineIndex, 1);
}

TEST(FormMainSources, MenuItemsWorkAndTheFileDialogSelectsTheSource) {
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  test::MainWindow main(prompter, shell);
  main.controller().startUp({});
  for (const char* name :
       {"MenuPrefRndSrcFile", "MenuPrefRndSrcSoundcard", "MenuPrefRndSrcLPT", "MenuExtrasWriteRN"})
    EXPECT_TRUE(child<QAction>(main, name)->isEnabled()) << name;

  const std::string path =
      (std::filesystem::path(::testing::TempDir()) / "gui_numbers.pcm").string();
  std::ofstream(path) << "ab";
  prompter.openFiles.push_back(path);
  child<QAction>(main, "MenuPrefRndSrcFile")->trigger();
  EXPECT_TRUE(child<QAction>(main, "MenuPrefRndSrcFile")->isChecked());
  EXPECT_EQ(child<QAction>(main, "MenuPrefRndSrcFile")->text(), "F&ile [gui_numbers.pcm] ...");

  // Write RN: the dialog, then the save dialog (cancelled here).
  prompter.saveFiles.push_back(std::nullopt);
  test::whenModalShows([](QWidget* modal) {
    auto* spin = modal->findChild<QSpinBox*>("CSpinEditSamples");
    ASSERT_NE(spin, nullptr);
    spin->setValue(7);
    QTest::mouseClick(modal->findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
  });
  child<QAction>(main, "MenuExtrasWriteRN")->trigger();
  ASSERT_EQ(prompter.saveDialogs.size(), 1u);
  EXPECT_EQ(prompter.saveDialogs[0].title, "Write random numbers to file...");

  // The parallel port without a driver: the message, and the source stays.
  child<QAction>(main, "MenuPrefRndSrcLPT")->trigger();
  ASSERT_FALSE(prompter.shown.empty());
  EXPECT_EQ(prompter.shown.back().text,
            "The parallel port can't be used as a random source,\nbecause the parallel port "
            "driver (ppdev) couldn't be loaded.");
  EXPECT_TRUE(child<QAction>(main, "MenuPrefRndSrcFile")->isChecked());

  // The device item asks for the device and names it once it opens.
  CharDevice device;
  main.services().playback.parts.random.device.device = &device;
  prompter.openFiles.push_back("/dev/zero");
  child<QAction>(main, "MenuPrefRndSrcDevice")->trigger();
  EXPECT_EQ(prompter.openDialogs.back().initialFolder, "/dev");
  EXPECT_TRUE(child<QAction>(main, "MenuPrefRndSrcDevice")->isChecked());
  EXPECT_EQ(child<QAction>(main, "MenuPrefRndSrcDevice")->text(), "D&evice [/dev/zero] ...");
}

}  // namespace
}  // namespace voxloom
