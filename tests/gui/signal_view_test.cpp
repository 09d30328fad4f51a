#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>
#include <memory>

#include "gui/form_main.h"
#include "gui/signal_view_panel.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

class SignalViewTest : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<test::MainWindow>(prompter, shell);
    form->show();
    canvas = form->findChild<SignalCanvas*>("SignalCanvas");
    ASSERT_NE(canvas, nullptr);
  }
  SignalView& view() { return form->services().document.signalView; }
  void wheel(double x, int delta) {
    QWheelEvent event(QPointF(x, 50), canvas->mapToGlobal(QPointF(x, 50)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &event);
  }
  void key(int k) {
    QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
  }
  void mouse(QEvent::Type type, double x) {
    QMouseEvent event(type, QPointF(x, 60), canvas->mapToGlobal(QPointF(x, 60)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  std::unique_ptr<TFormMain> form;
  SignalCanvas* canvas = nullptr;
};

TEST_F(SignalViewTest, SitsBelowTheControlsAndOffersLabelsOnlyForALoadedIdleFile) {
  auto* panel = form->findChild<QWidget*>("SignalView");
  auto* segments = form->findChild<QGroupBox*>("GroupBoxSegments");
  ASSERT_TRUE(panel && segments);
  EXPECT_GT(panel->mapTo(form.get(), QPoint()).y(),
            segments->mapTo(form.get(), QPoint(0, segments->height())).y());
  EXPECT_GE(panel->height(), 100);
  auto* import = form->findChild<QAction*>("MenuFileImportLabels");
  auto* exportAction = form->findChild<QAction*>("MenuFileExportLabels");
  EXPECT_FALSE(import->isEnabled());
  EXPECT_FALSE(exportAction->isEnabled());
  ASSERT_EQ(form->services().readWavFile(kDemo), 0);
  EXPECT_TRUE(import->isEnabled());
  EXPECT_TRUE(exportAction->isEnabled());
  form->services().states.set(kStatePlaying);
  EXPECT_FALSE(import->isEnabled());
  form->services().states.set(kStateIdle);

  // Export through the menu, then import the file back in place of the cues.
  QTemporaryDir dir;
  const std::string labels = dir.filePath("demo.txt").toStdString();
  prompter.saveFiles.push_back(labels);
  exportAction->trigger();
  const std::vector<CuePoint> before = form->services().document.document.cues;
  prompter.openFiles.push_back(labels);
  prompter.answers.push_back(Answer::Yes);
  import->trigger();
  const std::vector<CuePoint>& after = form->services().document.document.cues;
  ASSERT_EQ(after.size(), 21u);
  for (std::size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].position, before[i].position);
    EXPECT_EQ(after[i].length, before[i].length);
    EXPECT_EQ(after[i].label, before[i].label);
  }
  EXPECT_TRUE(form->findChild<QWidget*>("ButtonSave")->isEnabled());
  form->services().document.document.isModified = false;  // no save question at the end
}

TEST_F(SignalViewTest, WheelZoomsAroundThePointerDragAndKeysMove) {
  ASSERT_EQ(form->services().readWavFile(kDemo), 0);
  const TimeAxis& axis = view().axis;
  EXPECT_TRUE(axis.fitted());
  EXPECT_EQ(axis.width(), canvas->width());
  const double fit = axis.framesPerPixel();

  const double under = axis.frameAt(200);
  wheel(200, 120 * 4);
  EXPECT_NEAR(axis.framesPerPixel(), fit / std::pow(SignalCanvas::kWheelStep, 4), 1e-6);
  EXPECT_NEAR(axis.frameAt(200), under, 1e-6);
  // Down to single samples and no further.
  for (int i = 0; i < 60; ++i) wheel(200, 120);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), TimeAxis::kMinFramesPerPixel);
  canvas->repaint();  // draws samples, not the summary

  wheel(200, -120 * 8);
  const double zoomed = axis.framesPerPixel();
  const double first = axis.firstFrame();
  mouse(QEvent::MouseButtonPress, 300);
  mouse(QEvent::MouseMove, 250);
  mouse(QEvent::MouseButtonRelease, 250);
  EXPECT_NEAR(axis.firstFrame(), first + 50 * zoomed, 1e-6);
  auto* bar = form->findChild<QScrollBar*>("ScrollBarSignalView");
  EXPECT_EQ(bar->value(), static_cast<int>(axis.firstFrame()));
  bar->setValue(0);
  EXPECT_DOUBLE_EQ(axis.firstFrame(), 0);

  key(Qt::Key_End);
  EXPECT_DOUBLE_EQ(axis.firstFrame(), axis.maxFirstFrame());
  EXPECT_GT(axis.maxFirstFrame(), 0);
  key(Qt::Key_Home);
  EXPECT_DOUBLE_EQ(axis.firstFrame(), 0);
  form->findChild<QToolButton*>("ButtonSignalViewFit")->click();
  EXPECT_TRUE(axis.fitted());
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), fit);
  // Zooming out never goes beyond the whole signal.
  wheel(10, -1200);
  EXPECT_DOUBLE_EQ(axis.framesPerPixel(), fit);
}

TEST_F(SignalViewTest, ShowsTheBlockSoundingAndWhatRunsUntilStop) {
  ASSERT_EQ(form->services().readWavFile(kDemo), 0);
  SignalView& v = view();
  std::int64_t now = 0;
  v.clock = [&now] { return now; };
  form->services().states.set(kStateMakingEvp);
  v.blockStarted(22050, 1764, 22050);
  now = 40'000'000;  // 40 ms into the block
  ASSERT_TRUE(v.sounding().has_value());
  EXPECT_DOUBLE_EQ(v.sounding()->cursor, 22050 + 882);
  EXPECT_EQ(v.runText(), "Make EVP 0:00:00.040 \u00B7 1 blocks");
  v.setPaused(true);
  now = 500'000'000;
  EXPECT_EQ(v.runText(), "Make EVP 0:00:00.040 \u00B7 1 blocks (paused)");
  v.setPaused(false);
  now = 510'000'000;
  EXPECT_DOUBLE_EQ(v.sounding()->cursor, 22050 + 1102.5);
  canvas->repaint();
  form->services().states.set(kStateIdle);
  EXPECT_FALSE(v.sounding().has_value());
  EXPECT_EQ(v.runText(), "");

  form->services().states.set(kStatePlaying);
  v.blockStarted(0, 188577, 22050);
  now += 1'000'000'000;
  EXPECT_EQ(v.runText(), "Playing 0:00:01.000 / 0:00:08.552");
  form->services().states.set(kStateIdle);

  form->services().states.set(kStateSessionPlay);
  v.blockStarted(0, 800, 22050);
  v.replayRecordSounding(1, 3);
  now += 20'000'000;
  EXPECT_EQ(v.runText(), "Replaying EVP 2/3: block 1 \u00B7 0:00:00.020");
  form->services().states.set(kStateIdle);
}

}  // namespace
}  // namespace voxloom
