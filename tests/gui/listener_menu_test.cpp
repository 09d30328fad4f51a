#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "gui/signal_view_panel.h"
#include "gui/status_panels.h"
#include "platform/qt_event_loop.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/fake_speech_listener.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

TEST(ListenerMenu, DisabledWithoutAListenerElseListensDrawsTheWordsAndAddsThemAsCues) {
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QtEventLoop loop;
  test::MainWindow form(prompter, shell);
  form.show();
  auto* listen = form.findChild<QAction*>("MenuExtrasListener");
  auto* addCues = form.findChild<QAction*>("MenuExtrasListenerAddCues");
  ASSERT_TRUE(listen && addCues);
  AppServices& services = form.services();
  ASSERT_EQ(services.readWavFile(std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav"), 0);
  EXPECT_FALSE(listen->isEnabled());
  EXPECT_EQ(listen->toolTip().toStdString(), kListenerNotBuiltText);

  services.listener.setFactory(std::make_unique<test::FakeSpeechListenerFactory>(), "");
  services.listener.attach(loop);
  services.states.set(kStateIdle);
  ASSERT_TRUE(listen->isEnabled());
  EXPECT_FALSE(addCues->isEnabled());
  listen->trigger();  // no dialog: the remembered choices
  QElapsedTimer timer;
  timer.start();
  while (services.listener.running() && timer.elapsed() < 10000)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  const std::vector<HeardWord>& words = services.document.signalView.heardWords;
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(form.findChild<QLabel*>("StatusBarListener")->text().toStdString(),
            services.listener.statusText());

  // The lane, in the words' own colour, lies at the bottom of the canvas.
  const QImage shot = form.findChild<SignalCanvas*>("SignalCanvas")->grab().toImage();
  bool laneColour = false;
  for (int x = 0; x < shot.width() && !laneColour; ++x)
    laneColour = shot.pixelColor(x, shot.height() - 3) == QColor(20, 140, 150);
  EXPECT_TRUE(laneColour);

  const std::size_t cues = services.document.document.cues.size() + words.size();
  ASSERT_TRUE(addCues->isEnabled());
  addCues->trigger();
  EXPECT_EQ(services.document.document.cues.size(), cues);
  EXPECT_TRUE(services.document.document.isModified);
  EXPECT_FALSE(addCues->isEnabled());  // the words are cues now

  // A record's words show under its answer, which stays the person's.
  SessionController& sessions = services.sessions.sessions;
  sessions.session.records.push_back({"2026 01 02 03 04 05", "q", "my answer", {}, nullptr});
  ASSERT_TRUE(sessions.keepHeardWords(0, "2026 01 02 03 04 05", {{"hello", 0, 1, 0.9}}));
  auto* heard = form.findChild<CompactLabel*>("LabelHeardWords");
  EXPECT_TRUE(heard->isVisible());
  EXPECT_EQ(heard->text(), "Machine listener heard: hello (1 word)");
  EXPECT_EQ(form.findChild<QLineEdit*>("EditAnswer")->text(), "my answer");
}

}  // namespace
}  // namespace voxloom
