#include "gui/form_echo.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
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

TEST(FormEcho, ControlsCaptionsAndRanges) {
  TFormEcho form;
  EXPECT_EQ(form.windowTitle(), "Echo parameters");
  EXPECT_TRUE(form.windowFlags() & Qt::WindowContextHelpButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);

  auto* delay = child<QScrollBar>(form, "ScrollBarDelay");
  auto* decay = child<QScrollBar>(form, "ScrollBarDecay");
  ASSERT_TRUE(delay && decay);
  EXPECT_EQ(delay->orientation(), Qt::Horizontal);
  EXPECT_EQ(std::vector<int>(
                {delay->minimum(), delay->maximum(), delay->singleStep(), delay->pageStep()}),
            std::vector<int>({0, 1000, 1, 100}));
  EXPECT_EQ(std::vector<int>(
                {decay->minimum(), decay->maximum(), decay->singleStep(), decay->pageStep()}),
            std::vector<int>({0, 100, 1, 10}));
  EXPECT_EQ(child<QLabel>(form, "LabelDelay")->text(), "Delay:");
  EXPECT_EQ(child<QLabel>(form, "LabelDecay")->text(), "Decay:");
  auto* ok = child<QPushButton>(form, "ButtonOK");
  EXPECT_EQ(ok->text(), "&OK");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(child<QPushButton>(form, "ButtonCancel")->text(), "&Cancel");
}

TEST(FormEcho, LabelsFollowTheBarsAndShowStateSetsBoth) {
  TFormEcho form;
  auto* delay = child<QScrollBar>(form, "ScrollBarDelay");
  auto* decay = child<QScrollBar>(form, "ScrollBarDecay");
  delay->setValue(250);
  decay->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(child<QLabel>(form, "LabelDelay")->text(), "Delay: 250 ms");
  EXPECT_EQ(child<QLabel>(form, "LabelDecay")->text(), "Decay: 10 %");
  EXPECT_EQ(form.state().delayPosition, 250);
  EXPECT_EQ(form.state().decayPosition, 10);

  EchoDialogState state;
  state.showFor({700, 35});
  form.showState(state);
  EXPECT_EQ(delay->value(), 700);
  EXPECT_EQ(decay->value(), 35);
  EXPECT_EQ(child<QLabel>(form, "LabelDelay")->text(), "Delay: 700 ms");
  EXPECT_EQ(child<QLabel>(form, "LabelDecay")->text(), "Decay: 35 %");
}

class EchoMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    main.setGeometry(120, 90, 800, 600);
    main.show();
    std::vector<int> impulse(400, 0);
    impulse[0] = 16000;
    test::makeSignal(main.services().document.document, 1, 16, 1000, impulse);
    main.services().states.set(kStateIdle);
  }

  // Triggers MenuExtrasEcho and lets `user` work the modal form.
  void runEcho(const std::function<void()>& user) {
    QTimer::singleShot(0, &echo, user);
    QTimer::singleShot(5000, &echo, [this] { echo.reject(); });  // never hang the suite
    main.findChild<QAction*>("MenuExtrasEcho")->trigger();
  }
  int sampleAt(Frames i) {
    const AudioDocument& d = main.services().document.document;
    return d.sampleAt(d.channelBase(0), i);
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  test::MainWindow main{prompter, shell};
  TFormEcho echo{&main};  // created at start-up, as the program does
};

TEST_F(EchoMenuTest, CancelChangesNothingAndOkStoresAndApplies) {
  QPoint shownAt;
  bool modal = false;
  runEcho([&] {
    modal = QApplication::activeModalWidget() == &echo;
    shownAt = echo.pos();
    EXPECT_EQ(child<QScrollBar>(echo, "ScrollBarDelay")->value(), 100);
    EXPECT_EQ(child<QLabel>(echo, "LabelDecay")->text(), "Decay: 50 %");
    child<QScrollBar>(echo, "ScrollBarDelay")->setValue(300);
    QTest::mouseClick(child<QPushButton>(echo, "ButtonCancel"), Qt::LeftButton);
  });
  EXPECT_TRUE(modal);
  EXPECT_EQ(shownAt, centredOver(main.frameGeometry(), echo.frameGeometry().size()));
  EXPECT_EQ(main.services().document.effects.echo.delayMs, 100);
  EXPECT_EQ(sampleAt(100), 0);
  EXPECT_FALSE(main.findChild<QAction*>("MenuFileSave")->isEnabled());

  runEcho([&] {
    EXPECT_EQ(child<QScrollBar>(echo, "ScrollBarDelay")->value(), 100) << "the stored value again";
    child<QScrollBar>(echo, "ScrollBarDelay")->setValue(200);
    QTest::mouseClick(child<QPushButton>(echo, "ButtonOK"), Qt::LeftButton);
  });
  EXPECT_EQ(main.services().document.effects.echo.delayMs, 200);
  EXPECT_EQ(sampleAt(200), 8000);
  EXPECT_EQ(sampleAt(400 - 1), 0);
  EXPECT_TRUE(main.findChild<QAction*>("MenuFileSave")->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone again";
}

TEST_F(EchoMenuTest, ReverseAndNormalizeRunFromTheMenu) {
  main.findChild<QAction*>("MenuExtrasReverse")->trigger();
  EXPECT_EQ(sampleAt(399), 16000);
  main.findChild<QAction*>("MenuExtrasNormalize")->trigger();
  EXPECT_EQ(sampleAt(399), 32767);
  EXPECT_TRUE(main.findChild<QAction*>("MenuFileSave")->isEnabled());

  main.services().states.set(kStateRecording);
  for (const char* name :
       {"MenuExtrasReverse", "MenuExtrasEcho", "MenuExtrasNormalize", "MenuExtrasAutocut"})
    EXPECT_FALSE(main.findChild<QAction*>(name)->isEnabled()) << name;
}

}  // namespace
}  // namespace voxloom
