// The window program's behaviour at its edges: access keys, the help fallback, start-up
// messages, and the end by a signal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QWindow>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "gui/form_main.h"
#include "gui/help_window.h"
#include "platform/qt_signal_watcher.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

class FormMainHardeningTest : public testing::Test {
 protected:
  void SetUp() override { form = std::make_unique<test::MainWindow>(prompter, shell); }

  void showActive() {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  template <typename T>
  T* child(const char* name) {
    return test::child<T>(*form, name);
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  std::unique_ptr<TFormMain> form;
};

TEST_F(FormMainHardeningTest, MenuKeysWinOverControlsAndOutsideTheSessionGroup) {
  showActive();
  SessionController& sessions = form->services().sessions.sessions;
  form->services().openWavFile(test::writeTempFile("k.wav", test::simpleWav(1, 16, 8000, 400)));
  ASSERT_TRUE(sessions.beginEvpCapture());
  sessions.appendSegmentEntry(0, 10, 1, "", false, 0);
  sessions.finishEvpCapture(2, 2);
  sessions.replayAvailable = true;  // Play and EVP as with a playback device
  sessions.updateSessionControls(0);
  auto* play = child<QPushButton>("ButtonSessionPlay");
  auto* evp = child<QPushButton>("ButtonSessionPlaySeq");
  ASSERT_TRUE(play->isEnabled());
  ASSERT_TRUE(evp->isEnabled());
  EXPECT_EQ(play->text(), "&Play");  // the underline stays

  struct Case {
    Qt::Key key;
    bool focusInGroup;
    const char* menu;     // opens, or nullptr
    QPushButton* button;  // clicked, or nullptr
  };
  const Case cases[] = {
      {Qt::Key_P, false, "MenuPref", nullptr},
      {Qt::Key_E, false, "MenuExtras", nullptr},
      {Qt::Key_P, true, nullptr, play},
      {Qt::Key_E, true, nullptr, evp},
  };
  for (const Case& c : cases) {
    QSignalSpy playClicks(play, &QPushButton::clicked);
    QSignalSpy evpClicks(evp, &QPushButton::clicked);
    QWidget* target = c.focusInGroup
                          ? static_cast<QWidget*>(child<QLineEdit>("EditQuestion"))
                          : static_cast<QWidget*>(child<QWidget>("CSpinEditRandomPlayTime"));
    target->setFocus();
    QTest::keyClick(target, c.key, Qt::AltModifier);
    QTest::qWait(300);  // a button's click is animated
    if (c.menu != nullptr) {
      auto* menu = child<QMenu>(c.menu);
      EXPECT_TRUE(menu->isVisible()) << c.menu;
      menu->hide();
    }
    EXPECT_EQ(playClicks.count(), c.button == play ? 1 : 0) << c.key << " " << c.focusInGroup;
    EXPECT_EQ(evpClicks.count(), c.button == evp ? 1 : 0) << c.key << " " << c.focusInGroup;
  }
  // Ctrl+X is the menu's export, not the Cut of the spin box or edit field in focus.
  QSignalSpy exports(child<QAction>("MenuSessionWAV"), &QAction::triggered);
  for (const char* focus : {"CSpinEditSegDuration", "EditQuestion", "MemoCueLabels"}) {
    child<QWidget>(focus)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::ControlModifier);
  }
  EXPECT_EQ(exports.count(), 3);
}

TEST_F(FormMainHardeningTest, HelpTheDesktopCannotOpenShowsInOurOwnWindow) {
  const std::string folder = test::tempDir();
  std::filesystem::create_directories(folder + "/docs");
  std::ofstream(folder + "/docs/manual.html") << "<html><body><h1>Manual page</h1></body></html>";
  form->services().programFolder = folder;
  form->show();
  shell.desktopOpens = false;

  child<QAction>("MenuHelpManual")->trigger();
  auto* help = form->findChild<HelpWindow*>("HelpWindow");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_FALSE(help->isModal());
  auto* browser = help->findChild<QTextBrowser*>("TextBrowserHelp");
  EXPECT_EQ(browser->source(),
            QUrl::fromLocalFile(QString::fromStdString(folder + "/docs/manual.html")));
  EXPECT_TRUE(browser->toPlainText().contains("Manual page"));
  const QString note = help->findChild<QLabel*>("LabelHelpNote")->text();
  EXPECT_TRUE(note.contains(QString::fromStdString(folder + "/docs/manual.html")))
      << note.toStdString();

  child<QAction>("MenuHelpDownload")->trigger();
  EXPECT_TRUE(help->findChild<QLabel*>("LabelHelpNote")->text().contains(kWebSiteUrl));
  EXPECT_EQ(form->findChildren<HelpWindow*>().size(), 1);  // one window, reused
  EXPECT_TRUE(prompter.shown.empty());

  // The quick start guide is not there: say so instead of showing an empty window.
  help->close();
  child<QAction>("QuickstartGuide1")->trigger();
  EXPECT_FALSE(help->isVisible());
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.log()[0],
            "Error: Can't open help file '" + folder + "/docs/quickstart.html'.");

  // A desktop that opens it needs no window of ours.
  shell.desktopOpens = true;
  child<QAction>("MenuHelpManual")->trigger();
  EXPECT_FALSE(help->isVisible());
}

// Records whether the main window was on the screen when each message appeared.
class ExposurePrompter : public test::ScriptedPrompter {
 public:
  QWidget* window = nullptr;
  std::vector<bool> exposed;
  Answer message(const std::string& title, const std::string& text, MessageIcon icon,
                 MessageButtons buttons) override {
    exposed.push_back(window->windowHandle() != nullptr && window->windowHandle()->isExposed());
    return ScriptedPrompter::message(title, text, icon, buttons);
  }
};

TEST(FormMainStartUp, MessagesOfStartUpFilesAppearOverTheShownWindow) {
  ExposurePrompter prompter;
  test::FakeShell shell;
  test::MainWindow form(prompter, shell);
  prompter.window = &form;
  const std::string wav = test::writeTempFile("start.wav", test::simpleWav(1, 16, 8000, 40));
  form.setStartupFiles({"/tmp/notes.txt", wav});
  form.show();
  EXPECT_EQ(form.services().states.state(), kStateIdle);  // idle at once
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QTRY_COMPARE_WITH_TIMEOUT(prompter.exposed.size(), std::size_t{1}, 5000);
  EXPECT_TRUE(prompter.exposed[0]);
  EXPECT_EQ(prompter.shown[0].text, kUnknownFiletypeText);
  EXPECT_EQ(form.services().document.document.path, wav);
  // Shown again later: the files are not opened twice.
  form.hide();
  form.show();
  QTest::qWait(50);
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST(QtSignalWatcher, DeliversSignalsOnTheEventLoopAndRestoresTheDefaults) {
  std::vector<int> received;
  {
    QtSignalWatcher watcher([&received](int s) { received.push_back(s); });
    ASSERT_TRUE(watcher.isWatching());
    ASSERT_EQ(raise(SIGHUP), 0);
    ASSERT_EQ(raise(SIGINT), 0);
    EXPECT_TRUE(received.empty());  // nothing runs inside the handler
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), std::size_t{2}, 5000);
    EXPECT_EQ(received, (std::vector<int>{SIGHUP, SIGINT}));
  }
  for (int s : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction now {};
    sigaction(s, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL) << s;
  }
}

// The real program, ended by SIGTERM while it asks about recovery copies of an earlier
// run: it must end within 2 s, by itself, and keep those copies.
TEST(WindowProgram, EndsWithinTwoSecondsOfSigtermAndKeepsTheRecoveryCopies) {
  const std::string state = test::tempDir() + "/state";
  const std::string recovery = state + "/voxloom/recovery";
  std::filesystem::create_directories(recovery);
  const auto wav = test::simpleWav(1, 16, 8000, 4000);
  std::ofstream(recovery + "/document.wav", std::ios::binary)
      .write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
  std::ofstream(recovery + "/origin") << "document\t/music/take.wav\n";

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    std::string program = VOXLOOM_GUI_PATH;
    std::string settings = "--settings";
    std::string settingsFile = test::tempDir() + "/voxloom.ini";
    char* argv[] = {program.data(), settings.data(), settingsFile.data(), nullptr};
    execv(program.c_str(), argv);
    _exit(127);
  }
  // Ready once its handler for SIGTERM is in place (SigCgt), then given time to ask.
  const auto handlesSigterm = [child] {
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("SigCgt:", 0) == 0)
        return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
    return 0ULL;
  };
  const auto start = std::chrono::steady_clock::now();
  while (handlesSigterm() == 0 &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(800));

  ASSERT_EQ(kill(child, SIGTERM), 0);
  const auto sent = std::chrono::steady_clock::now();
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(child, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() - sent < std::chrono::seconds(2))
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (done == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "still running 2 s after SIGTERM";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_TRUE(std::filesystem::exists(recovery + "/document.wav"));
  EXPECT_TRUE(std::filesystem::exists(recovery + "/origin"));
}

TEST(WindowProgram, AnswersHelpAndVersionOnStdoutWithoutADisplay) {
  struct Case {
    const char* option;
    const char* start;
  };
  for (const Case& c : {Case{"--help", "Usage: voxloom "}, Case{"--version", "voxloom 2.5\n"}}) {
    const std::string out = test::tempDir() + "/out.txt";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      unsetenv("DISPLAY");
      unsetenv("WAYLAND_DISPLAY");
      setenv("QT_QPA_PLATFORM", "xcb", 1);  // would fail: there is no display
      if (freopen(out.c_str(), "w", stdout) == nullptr) _exit(126);
      std::string program = VOXLOOM_GUI_PATH;
      std::string option = c.option;
      char* argv[] = {program.data(), option.data(), nullptr};
      execv(program.c_str(), argv);
      _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << c.option;
    const auto bytes = test::readWholeFile(out);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind(c.start, 0), 0u) << text;
  }
}

}  // namespace
}  // namespace voxloom
