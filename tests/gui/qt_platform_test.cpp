#include <gtest/gtest.h>

#include "tests/gui/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <thread>
#include <vector>

#include "core/app/main_presenter.h"
#include "platform/qt_event_loop.h"
#include "platform/qt_prompter.h"
#include "platform/qt_shell.h"

namespace voxloom {
namespace {

TEST(QtFileFilter, ConvertsPipeFiltersToQtFilters) {
  EXPECT_EQ(qtFileFilter("WAV Files (*.wav)|*.wav|All Files (*.*)|*.*"),
            "WAV Files (*.wav);;All Files (*)");
  // Several patterns per entry, and a description without its own pattern list.
  EXPECT_EQ(qtFileFilter("Random files|*.pcm;*.txt"), "Random files (*.pcm *.txt)");
  // A dangling description without patterns is dropped rather than shown empty.
  EXPECT_EQ(qtFileFilter("Session (*.evp)|*.evp|Broken"), "Session (*.evp)");
  EXPECT_EQ(qtFileFilter(""), "");
}

TEST(QtEventLoop, RunsCallsPostedFromOtherThreadsOnTheMainThreadInOrder) {
  QtEventLoop loop;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i)
      loop.post([&, i] {
        order.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
  });
  worker.join();
  EXPECT_TRUE(order.empty()) << "posted calls must wait for the loop";
  loop.processPending();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  for (const auto& id : threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(QtShell, FindsProgramsOnTheSearchPathOnly) {
  QtShell shell;
  EXPECT_TRUE(shell.programExists("sh"));
  EXPECT_FALSE(shell.programExists("voxloom-no-such-program-xyz"));
  EXPECT_FALSE(shell.startProgram("voxloom-no-such-program-xyz", "--tab=1"));
}

}  // namespace
}  // namespace voxloom

namespace voxloom {
namespace {

using test::whenModalShows;

TEST(QtPrompter, MessageBoxAnswersAndClosingCountsAsCancel) {
  QtPrompter prompter;
  whenModalShows([](QWidget* box) {
    EXPECT_EQ(box->windowTitle(), "Warning");
    EXPECT_EQ(static_cast<QMessageBox*>(box)->icon(), QMessageBox::Question);
    box->close();
  });
  EXPECT_EQ(
      prompter.message("Warning", "Save?", MessageIcon::Question, MessageButtons::YesNoCancel),
      Answer::Cancel);

  whenModalShows(
      [](QWidget* box) { static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click(); });
  EXPECT_EQ(
      prompter.message("Warning", "Save?", MessageIcon::Question, MessageButtons::YesNoCancel),
      Answer::No);

  whenModalShows([](QWidget* box) { box->close(); });
  EXPECT_EQ(prompter.message("Error", "Broken.", MessageIcon::Error, MessageButtons::Ok),
            Answer::Ok);
}

TEST(QtPrompter, SaveDialogTakesTitleFilterFolderAndName) {
  QTemporaryDir dir;
  QtPrompter prompter;
  FileDialogSpec spec{"Save WAV file...",       kWavFilter, "*.wav",
                      dir.path().toStdString(), "take1",    true};
  whenModalShows([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Save WAV file...");
    EXPECT_EQ(dialog->nameFilters(), QStringList({"WAV Files (*.wav)", "All Files (*)"}));
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  const std::optional<std::string> chosen = prompter.chooseSaveFile(spec);
  ASSERT_TRUE(chosen.has_value());
  // The default extension is added to a name typed without one.
  EXPECT_EQ(*chosen, QDir(dir.path()).filePath("take1.wav").toStdString());

  whenModalShows([](QWidget* modal) { modal->close(); });
  EXPECT_FALSE(prompter.chooseOpenFile(spec).has_value());
}

TEST(QtPrompter, OpenDialogTakesANewNameOnlyWhenTheFileNeedNotExist) {
  QTemporaryDir dir;
  QtPrompter prompter;
  FileDialogSpec spec;
  spec.title = "Open new or existing session file...";
  spec.initialFolder = dir.path().toStdString();
  spec.fileName = "fresh.evp";
  for (const bool mustExist : {true, false}) {
    spec.mustExist = mustExist;
    whenModalShows([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->fileMode(), mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
      // Open refuses a name that is not there; only the new-name dialog takes it.
      if (mustExist) {
        dialog->reject();
      } else {
        static_cast<QDialog*>(dialog)->accept();
      }
    });
    const std::optional<std::string> chosen = prompter.chooseOpenFile(spec);
    EXPECT_EQ(chosen.has_value(), !mustExist);
    if (chosen) {
      EXPECT_EQ(*chosen, QDir(dir.path()).filePath("fresh.evp").toStdString());
    }
  }
}

TEST(QtPrompter, BusyCursorNestsAndIsRestoredOnce) {
  QtPrompter prompter;
  prompter.setBusy(true);
  prompter.setBusy(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  prompter.setBusy(false);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  prompter.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  prompter.setBusy(false);  // an unmatched end does not pop someone else's cursor
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace voxloom
