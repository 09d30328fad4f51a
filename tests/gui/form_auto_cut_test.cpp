#include "gui/form_auto_cut.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/form_about.h"
#include "gui/form_main.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

using test::child;

TEST(FormAutoCut, ControlsCaptionsRangesAndDefaults) {
  TFormAutoCut form;
  EXPECT_EQ(form.windowTitle(), "Auto-cut parameters");
  EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowContextHelpButtonHint);

  EXPECT_EQ(child<QGroupBox>(form, "RadioGroupThreshold")->title(), "Threshold");
  const QString manual = child<QRadioButton>(form, "RadioGroupThresholdItem0")->text();
  EXPECT_TRUE(manual.startsWith("Set threshold to   ")) << manual.toStdString();
  EXPECT_TRUE(manual.endsWith("   percent")) << manual.toStdString();
  EXPECT_EQ(child<QRadioButton>(form, "RadioGroupThresholdItem1")->text(),
            "Determine threshold automatically");
  EXPECT_EQ(child<QGroupBox>(form, "GroupBoxEnvelope")->title(), "Amplitude envelope");
  EXPECT_EQ(child<QLabel>(form, "LabelFrameSize")->text(), "Frame size:");
  EXPECT_EQ(child<QLabel>(form, "LabelFrameSizeUnit")->text(), "ms");

  auto* threshold = child<QSpinBox>(form, "CSpinEditThreshold");
  auto* frame = child<QSpinBox>(form, "CSpinEditFrameSize");
  EXPECT_EQ(threshold->minimum(), 0);
  EXPECT_EQ(threshold->maximum(), 100);
  EXPECT_EQ(frame->minimum(), 1);
  EXPECT_EQ(frame->maximum(), 100);
  // The defaults: 30 %, determined automatically, 15 ms frames.
  EXPECT_EQ(threshold->value(), 30);
  EXPECT_TRUE(child<QRadioButton>(form, "RadioGroupThresholdItem1")->isChecked());
  EXPECT_EQ(frame->value(), 15);

  auto* ok = child<QPushButton>(form, "ButtonOK");
  EXPECT_EQ(ok->text(), "&OK");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(child<QPushButton>(form, "ButtonCancel")->text(), "&Cancel");
}

TEST(FormAutoCut, TheThresholdSpinEditChoosesTheManualItem) {
  TFormAutoCut form;
  form.show();
  auto* threshold = child<QSpinBox>(form, "CSpinEditThreshold");
  auto* manual = child<QRadioButton>(form, "RadioGroupThresholdItem0");
  auto* automatic = child<QRadioButton>(form, "RadioGroupThresholdItem1");

  // The spin edit sits in the gap of item 0's caption, on its line.
  const QRect spin = threshold->geometry();
  const QRect item = manual->geometry();
  EXPECT_GT(spin.left(), item.left());
  EXPECT_LT(spin.right(), item.left() + manual->sizeHint().width());
  EXPECT_TRUE(spin.contains(spin.left() + 1, item.center().y()));

  threshold->setValue(42);
  EXPECT_TRUE(manual->isChecked());
  EXPECT_EQ(form.options().thresholdPercent, 42);
  EXPECT_FALSE(form.options().automatic());

  QTest::mouseClick(automatic, Qt::LeftButton);
  EXPECT_TRUE(form.options().automatic());
  // Clicking into the spin edit, without changing it, chooses item 0 again.
  QTest::mouseClick(threshold->findChild<QLineEdit*>(), Qt::LeftButton);
  EXPECT_TRUE(manual->isChecked());
  EXPECT_FALSE(form.options().automatic());

  child<QSpinBox>(form, "CSpinEditFrameSize")->setValue(99);
  EXPECT_EQ(form.options().frameSizeMs, 99);

  // Showing options changes no choice by itself.
  AutoCutOptions shown;
  shown.thresholdPercent = 12;
  form.showOptions(shown);
  EXPECT_EQ(threshold->value(), 12);
  EXPECT_TRUE(automatic->isChecked());
  EXPECT_TRUE(form.options().automatic());
}

TEST(FormAutoCut, MenuRunsItCentredAndTheAutomaticThresholdIsShownNextTime) {
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  test::MainWindow main(prompter, shell);
  main.setGeometry(50, 40, 900, 640);
  main.show();
  TFormAutoCut form(&main);
  // Loud 61 %, quiet, loud: three 10 ms frames each at 1000 Hz.
  std::vector<int> s(90, 20000);
  for (int i = 30; i < 60; ++i) s[static_cast<std::size_t>(i)] = 0;
  test::makeSignal(main.services().document.document, 1, 16, 1000, s);
  main.services().states.set(kStateIdle);

  auto run = [&](const std::function<void()>& user) {
    QTimer::singleShot(0, &form, user);
    QTimer::singleShot(5000, &form, [&] { form.reject(); });  // never hang the suite
    main.findChild<QAction*>("MenuExtrasAutocut")->trigger();
  };
  QPoint shownAt;
  run([&] {
    EXPECT_EQ(QApplication::activeModalWidget(), &form);
    shownAt = form.pos();
    child<QSpinBox>(form, "CSpinEditFrameSize")->setValue(10);
    QTest::mouseClick(child<QPushButton>(form, "ButtonOK"), Qt::LeftButton);
  });
  EXPECT_EQ(shownAt, centredOver(main.frameGeometry(), form.frameGeometry().size()));
  ASSERT_EQ(main.services().document.document.cues.size(), 1u);
  EXPECT_EQ(main.services().document.document.cues[0].length, 50);
  bool countShown = false;
  for (QLabel* panel : main.statusBar()->findChildren<QLabel*>())
    countShown = countShown || panel->text() == "Cues: 1";
  EXPECT_TRUE(countShown);

  run([&] {
    EXPECT_EQ(child<QSpinBox>(form, "CSpinEditThreshold")->value(), 40);
    EXPECT_TRUE(child<QRadioButton>(form, "RadioGroupThresholdItem1")->isChecked());
    child<QSpinBox>(form, "CSpinEditThreshold")->setValue(90);
    QTest::mouseClick(child<QPushButton>(form, "ButtonCancel"), Qt::LeftButton);
  });
  EXPECT_EQ(main.services().document.effects.autoCut.thresholdPercent, 40);
  EXPECT_EQ(main.services().document.document.cues.size(), 1u);
}

}  // namespace
}  // namespace voxloom
