#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "gui/form_main.h"
#include "gui/form_session_edit.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

class FormMainSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<test::MainWindow>(prompter, shell);
    form->show();
    form->questions().answer = "Who is there?";
  }

  SessionController& sessions() { return form->services().sessions.sessions; }
  template <typename T>
  T* child(const char* name) {
    return test::child<T>(*form, name);
  }
  bool enabled(const char* button, const char* action) {
    const bool b = child<QWidget>(button)->isEnabled();
    EXPECT_EQ(b, child<QAction>(action)->isEnabled()) << button << " and " << action;
    return b;
  }
  void captureRecords(int n) {
    const std::string wav = test::writeTempFile("s.wav", test::simpleWav(1, 16, 8000, 200));
    form->services().openWavFile(wav);
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(sessions().beginEvpCapture());
      sessions().appendSegmentEntry(0, 10, 1, "a", false, 0);
      sessions().appendSegmentEntry(10, 10, 2, "", false, 1);
      sessions().appendSegmentEntry(20, 10, 3, "b", false, 2);
      sessions().finishEvpCapture(4, 2);
    }
  }
  QString text(const char* edit) { return child<QLineEdit>(edit)->text(); }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  std::unique_ptr<test::MainWindow> form;
};

TEST_F(FormMainSessionTest, EmptySessionOffersOnlyOpen) {
  EXPECT_EQ(text("EditSequence"), "0/0");
  EXPECT_TRUE(enabled("ButtonOpenSessionFile", "MenuSessionOpen"));
  for (auto [button, action] : {std::pair{"ButtonCloseSessionFile", "MenuSessionNew"},
                                {"ButtonSaveSessionFile", "MenuSessionSave"},
                                {"ButtonSessionRec", "MenuSessionRecord"},
                                {"ButtonSessionPrev", "MenuSessionPrev"},
                                {"ButtonSessionWav", "MenuSessionWAV"},
                                {"ButtonSessionStop", "MenuSessionStop"}})
    EXPECT_FALSE(enabled(button, action)) << button;
  EXPECT_FALSE(child<QLineEdit>("EditQuestion")->isEnabled());
  EXPECT_FALSE(child<QPlainTextEdit>("MemoCueLabels")->isEnabled());
  EXPECT_EQ(child<QLineEdit>("EditQuestion")->palette().color(QPalette::Base),
            form->palette().color(QPalette::Button));
}

TEST_F(FormMainSessionTest, RecordsShowAndNavigateThroughThePanel) {
  captureRecords(3);
  EXPECT_EQ(text("EditSequence"), "3/3");
  EXPECT_EQ(text("EditQuestion"), "Who is there?");
  EXPECT_EQ(child<QPlainTextEdit>("MemoCueLabels")->toPlainText(), "ab");
  EXPECT_FALSE(enabled("ButtonSessionNext", "MenuSessionNext"));
  EXPECT_TRUE(enabled("ButtonSessionPrev", "MenuSessionPrev"));
  EXPECT_TRUE(enabled("ButtonSaveSessionFile", "MenuSessionSave"));
  child<QPushButton>("ButtonSessionPrev")->click();
  EXPECT_EQ(text("EditSequence"), "2/3");
  child<QAction>("MenuSessionNext")->trigger();
  EXPECT_EQ(text("EditSequence"), "3/3");

  // Typing into the question edits the current record.
  auto* question = child<QLineEdit>("EditQuestion");
  EXPECT_EQ(question->palette().color(QPalette::Base), form->palette().color(QPalette::Base));
  question->setText("Anybody?");
  EXPECT_EQ(sessions().session.records[2].question, "Anybody?");

  child<QPushButton>("ButtonSessionRec")->click();
  EXPECT_EQ(child<QLabel>("LabelSessionRecordMode")->text(), "Recording");
  EXPECT_TRUE(child<QAction>("MenuSessionRecord")->isChecked());
}

TEST_F(FormMainSessionTest, NewAsksBeforeDroppingChanges) {
  captureRecords(1);
  prompter.answers = {Answer::No};
  child<QPushButton>("ButtonCloseSessionFile")->click();
  EXPECT_EQ(text("EditSequence"), "0/0");
  EXPECT_EQ(text("EditQuestion"), "");
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].title, "Warning");
}

TEST(FormSessionEdit, AsksAndCentresOverTheWindow) {
  TFormSessionEdit prompt;
  EXPECT_EQ(prompt.windowTitle(), "EVP Session");
  EXPECT_EQ(prompt.centredOver(QRect(100, 50, 401, 300)),
            QPoint(100 + (401 - prompt.width()) / 2, 50 + (300 - prompt.height()) / 2));
  QTimer::singleShot(0, &prompt, [&] {
    EXPECT_EQ(prompt.label1()->text(), "Please enter your comment or question:");
    prompt.editString()->setText("typed");
    prompt.findChild<QPushButton*>("ButtonOK")->click();
  });
  EXPECT_EQ(prompt.ask("Please enter your comment or question:", nullptr), "typed");
  QTimer::singleShot(0, &prompt, [&] {
    EXPECT_EQ(prompt.editString()->text(), "");  // every prompt starts empty
    prompt.findChild<QPushButton*>("ButtonCancel")->click();
  });
  EXPECT_EQ(prompt.ask("x", nullptr), std::nullopt);
}

// The program builds the prompt before its window and keeps it after the window is gone.
TEST(SessionQuestion, AsksOnlyWhileItsWindowIsThere) {
  SessionQuestion questions;
  EXPECT_EQ(questions.askQuestion("before"), std::nullopt);
  {
    QWidget window;
    questions.showOver(&window);
    auto* prompt = window.findChild<TFormSessionEdit*>();
    ASSERT_NE(prompt, nullptr);
    QTimer::singleShot(0, prompt, [&] {
      EXPECT_EQ(prompt->label1()->text(), "Who?");
      prompt->editString()->setText("me");
      prompt->findChild<QPushButton*>("ButtonOK")->click();
    });
    EXPECT_EQ(questions.askQuestion("Who?"), "me");
  }
  EXPECT_EQ(questions.askQuestion("after"), std::nullopt);
}

}  // namespace
}  // namespace voxloom
