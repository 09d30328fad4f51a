// The session panel during a replay: its buttons and menu items start and stop it.
#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "core/ports/queued_event_loop.h"
#include "gui/form_main.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/manual_timer.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_out.h"

namespace voxloom {
namespace {

class FormMainReplayTest : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<test::MainWindow>(prompter, shell);
    form->services().attachPlayback(device, loop, &timer);
    form->show();
    const std::string wav = test::writeTempFile("replay.wav", test::simpleWav(1, 16, 8000, 4000));
    form->services().openWavFile(wav);
    SessionController& sessions = form->services().sessions.sessions;
    for (int r = 0; r < 2; ++r) {
      ASSERT_TRUE(sessions.beginEvpCapture());
      for (int i = 1; i <= 3; ++i) sessions.appendSegmentEntry(i * 100, 50, i, "x", false, i);
      sessions.finishEvpCapture(4, 2);
    }
    form->services().states.set(kStateIdle);
  }

  bool enabled(const char* button, const char* action) {
    auto* b = form->findChild<QWidget*>(button);
    auto* a = form->findChild<QAction*>(action);
    EXPECT_TRUE(b != nullptr && a != nullptr) << button;
    if (b == nullptr || a == nullptr) return false;
    EXPECT_EQ(b->isEnabled(), a->isEnabled()) << button << " and " << action;
    return b->isEnabled();
  }
  void click(const char* button) { form->findChild<QPushButton*>(button)->click(); }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QueuedEventLoop loop;
  test::SimWaveOut device{loop};
  test::ManualTimer timer;
  std::unique_ptr<TFormMain> form;
};

TEST_F(FormMainReplayTest, ReplayEnablesOnlyStopAndTheMemoUntilItEnds) {
  ASSERT_TRUE(enabled("ButtonSessionPlaySeq", "MenuSessionEVP"));
  EXPECT_FALSE(enabled("ButtonSessionStop", "MenuSessionStop"));
  click("ButtonSessionPlaySeq");
  ASSERT_EQ(form->services().states.state(), kStateSessionPlay);
  EXPECT_EQ(device.written.size(), 3u);
  EXPECT_TRUE(enabled("ButtonSessionStop", "MenuSessionStop"));
  EXPECT_TRUE(form->findChild<QPlainTextEdit*>("MemoCueLabels")->isEnabled());
  EXPECT_FALSE(enabled("ButtonSessionPlay", "MenuSessionPlay"));
  EXPECT_FALSE(enabled("ButtonSessionPrev", "MenuSessionPrev"));
  EXPECT_FALSE(enabled("ButtonPlay", "MenuFilePlay"));
  EXPECT_FALSE(enabled("ButtonRndPlay", "MenuFileEVP"));

  device.completeAll();
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_FALSE(enabled("ButtonSessionStop", "MenuSessionStop"));
  EXPECT_TRUE(enabled("ButtonSessionPlay", "MenuSessionPlay"));
}

TEST_F(FormMainReplayTest, MenuPlaysTheWholeSessionAndStopEndsIt) {
  form->findChild<QAction*>("MenuSessionPlay")->trigger();
  ASSERT_EQ(device.written.size(), 6u);
  click("ButtonSessionStop");
  EXPECT_EQ(device.calls.back(), "reset");
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(form->services().states.state(), kStateIdle);
  EXPECT_TRUE(enabled("ButtonSessionPlaySeq", "MenuSessionEVP"));

  form->findChild<QAction*>("MenuSessionEVP")->trigger();
  EXPECT_EQ(device.written.size(), 9u);
  form->findChild<QAction*>("MenuSessionStop")->trigger();
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
}

}  // namespace
}  // namespace voxloom
