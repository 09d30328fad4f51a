#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QToolButton>
#include <memory>

#include "gui/form_main.h"
#include "gui/signal_view_panel.h"
#include "platform/qt_event_loop.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/fake_speech_listener.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

class ListenerMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<test::MainWindow>(prompter, shell);
    form->show();
    listen = form->findChild<QAction*>("MenuExtrasListener");
    addCues = form->findChild<QAction*>("MenuExtrasListenerAddCues");
    ASSERT_TRUE(listen && addCues);
  }
  ListenerService& listener() { return form->services().listener; }
  bool waitForEnd() {
    QElapsedTimer timer;
    timer.start();
    while (listener().running() && timer.elapsed() < 10000)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    return !listener().running();
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QtEventLoop loop;
  std::unique_ptr<test::MainWindow> form;
  QAction* listen = nullptr;
  QAction* addCues = nullptr;
};

TEST_F(ListenerMenuTest, WithoutAListenerTheItemIsDisabledAndItsTipSaysWhy) {
  listener().setFactory(nullptr, kListenerNotBuiltText);
  ASSERT_EQ(form->services().readWavFile(kDemo), 0);
  EXPECT_FALSE(listen->isEnabled());
  EXPECT_EQ(listen->toolTip().toStdString(), kListenerNotBuiltText);
  EXPECT_FALSE(addCues->isEnabled());
}

TEST_F(ListenerMenuTest, ListensInTheBackgroundDrawsTheWordsAndAddsThemAsCues) {
  listener().setFactory(std::make_unique<test::FakeSpeechListenerFactory>(), "");
  listener().attach(loop);
  EXPECT_FALSE(listen->isEnabled());  // nothing loaded
  ASSERT_EQ(form->services().readWavFile(kDemo), 0);
  ASSERT_TRUE(listen->isEnabled());
  const std::size_t cuesBefore = form->services().document.document.cues.size();

  listen->trigger();  // no dialog: the remembered choices
  auto* panel = form->findChild<QLabel*>("StatusBarListener");
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible() || !listener().running());
  ASSERT_TRUE(waitForEnd());
  const std::vector<HeardWord>& words = form->services().document.signalView.heardWords;
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(panel->text().toStdString(), listener().statusText());
  EXPECT_FALSE(form->findChild<QToolButton*>("ButtonListenerCancel")->isVisible());

  // The lane shows the first word's colour at the bottom of the canvas.
  auto* canvas = form->findChild<SignalCanvas*>("SignalCanvas");
  const QImage shot = canvas->grab().toImage();
  bool laneColour = false;
  for (int x = 0; x < shot.width() && !laneColour; ++x)
    laneColour = shot.pixelColor(x, shot.height() - 3) == QColor(20, 140, 150);
  EXPECT_TRUE(laneColour);

  ASSERT_TRUE(addCues->isEnabled());
  const std::size_t heard = words.size();
  addCues->trigger();
  EXPECT_EQ(form->services().document.document.cues.size(), cuesBefore + heard);
  EXPECT_TRUE(form->services().document.document.isModified);
  EXPECT_FALSE(addCues->isEnabled());  // the words are cues now
}

}  // namespace
}  // namespace voxloom
