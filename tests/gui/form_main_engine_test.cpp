#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <array>
#include <memory>

#include "core/ports/queued_event_loop.h"
#include "gui/form_main.h"
#include "gui/status_panels.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/manual_timer.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_out.h"

namespace voxloom {
namespace {

// A 16-bit mono file of 2 s at 8000 Hz.
void writeWav(const QString& path) {
  QByteArray bytes;
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.append(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto u16 = [&](std::uint16_t v) {
    bytes.append(static_cast<char>(v & 0xFF));
    bytes.append(static_cast<char>(v >> 8));
  };
  const int frames = 16000;
  bytes.append("RIFF");
  u32(36 + frames * 2);
  bytes.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(8000);
  u32(16000);
  u16(2);
  u16(16);
  bytes.append("data");
  u32(frames * 2);
  for (int i = 0; i < frames; ++i) u16(static_cast<std::uint16_t>((i % 40 - 20) * 500));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class FormMainEngineTest : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<test::MainWindow>(prompter, shell);
    form->services().attachPlayback(device, loop, &timer);
    form->show();
    writeWav(dir.filePath("take.wav"));
    form->services().openWavFile(dir.filePath("take.wav").toStdString());
  }

  template <typename T>
  T* child(const char* name) {
    return test::child<T>(*form, name);
  }
  // The button and its menu item agree; returns their enabled state.
  bool enabled(const char* button, const char* action) {
    const bool b = child<QWidget>(button)->isEnabled();
    EXPECT_EQ(b, child<QAction>(action)->isEnabled()) << button;
    return b;
  }

  QTemporaryDir dir;
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QueuedEventLoop loop;
  test::SimWaveOut device{loop};
  test::ManualTimer timer;
  std::unique_ptr<TFormMain> form;
};

TEST_F(FormMainEngineTest, TransportButtonsFollowMakeEvpPauseAndStop) {
  ASSERT_TRUE(enabled("ButtonRndPlay", "MenuFileEVP"));
  EXPECT_TRUE(enabled("ButtonPlay", "MenuFilePlay"));
  EXPECT_FALSE(enabled("ButtonPause", "MenuFilePause"));

  child<QToolButton>("ButtonRndPlay")->click();
  EXPECT_EQ(form->services().states.state(), kStateMakingEvp);
  EXPECT_FALSE(enabled("ButtonRndPlay", "MenuFileEVP"));
  EXPECT_FALSE(enabled("ButtonPlay", "MenuFilePlay"));
  EXPECT_TRUE(enabled("ButtonPause", "MenuFilePause"));
  EXPECT_TRUE(enabled("ButtonStop", "MenuFileStop"));
  EXPECT_FALSE(child<QAction>("MenuExtrasProtRN")->isEnabled());
  // Options stay editable while generating.
  EXPECT_TRUE(child<QWidget>("CSpinEditSegDuration")->isEnabled());

  child<QToolButton>("ButtonPause")->click();
  EXPECT_TRUE(child<QToolButton>("ButtonPause")->isChecked());
  EXPECT_TRUE(child<QAction>("MenuFilePause")->isChecked());
  EXPECT_TRUE(device.isPaused);
  child<QAction>("MenuFilePause")->trigger();
  EXPECT_FALSE(child<QToolButton>("ButtonPause")->isChecked());
  EXPECT_FALSE(device.isPaused);
  child<QToolButton>("ButtonPause")->click();

  child<QToolButton>("ButtonStop")->click();
  EXPECT_FALSE(child<QToolButton>("ButtonPause")->isChecked());
  EXPECT_FALSE(child<QAction>("MenuFilePause")->isChecked());
  EXPECT_TRUE(enabled("ButtonStop", "MenuFileStop")) << "the run shows until its blocks are back";
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_TRUE(enabled("ButtonRndPlay", "MenuFileEVP"));
  EXPECT_FALSE(enabled("ButtonStop", "MenuFileStop"));

  // Play locks the segment controls until the file has played.
  child<QAction>("MenuFilePlay")->trigger();
  EXPECT_FALSE(child<QWidget>("CSpinEditSegDuration")->isEnabled());
  device.completeAll();
  loop.processPending();
  EXPECT_TRUE(child<QWidget>("CSpinEditSegDuration")->isEnabled());
}

TEST_F(FormMainEngineTest, SegmentControlsWriteBackSnappedValuesAndFollowTheEnablingRules) {
  auto* from = child<QSpinBox>("CSpinEditSegDuration");
  from->setValue(81);  // first change after start: not snapped
  from->stepBy(1);
  EXPECT_EQ(from->value(), 85);
  EXPECT_EQ(form->services().playback.parts.options.duration.value, 85);
  EXPECT_EQ(form->services().playback.parts.table.minFrames, 680);

  auto* zeroCross = child<QCheckBox>("CheckBoxZeroCrossAdjust");
  auto* to = child<QSpinBox>("CSpinEditSegDuration2");
  EXPECT_FALSE(to->isEnabled());
  child<QCheckBox>("CheckBoxSegTo")->click();
  EXPECT_TRUE(to->isEnabled());
  child<QCheckBox>("CheckBoxCrossFade")->click();
  EXPECT_TRUE(form->services().playback.parts.options.crossFade.on());
  EXPECT_FALSE(zeroCross->isEnabled());
  EXPECT_FALSE(form->services().playback.parts.options.zeroCrossAdjust.on());

  auto* fadeMenu = child<QMenu>("PopupMenuFade");
  child<QAction>("PopupMenuFadeTrapez30")->trigger();
  EXPECT_EQ(form->services().playback.parts.options.fadeMode, 5);
  form->services().playback.parts.options.fadeMode = 1;
  emit fadeMenu->aboutToShow();
  EXPECT_TRUE(child<QAction>("PopupMenuFadeSine")->isChecked());
  EXPECT_FALSE(child<QAction>("PopupMenuFadeTrapez30")->isChecked());

  // Every source's item can be picked.
  for (const RandomSourceItem& item : kRandomSourceItems)
    EXPECT_TRUE(child<QAction>(item.menuItem)->isEnabled()) << item.menuItem;
}

TEST_F(FormMainEngineTest, StatusBarShowsTheSourceAndItsHealthThroughARun) {
  auto* source = child<QLabel>("StatusBarSource");
  auto* health = child<QLabel>("StatusBarHealth");
  ASSERT_TRUE(source != nullptr && health != nullptr);
  child<QAction>("MenuPrefRndSrcManual")->trigger();
  EXPECT_EQ(source->text(), "Source: Manual sweep");
  EXPECT_EQ(health->text(), "Health: not tested");

  child<QToolButton>("ButtonRndPlay")->click();
  ASSERT_EQ(form->services().states.state(), kStateMakingEvp);
  form->statusBar()->showMessage("a long message that takes the left of the bar");
  EXPECT_TRUE(health->isVisible()) << "a message must not hide the health panel";
  if (const QByteArray shots = qgetenv("VOXLOOM_SCREENSHOT_DIR"); !shots.isEmpty()) {
    QCoreApplication::processEvents();  // the bar lays out the new texts
    form->grab().save(QString::fromLocal8Bit(shots) + "/main_health.png");
  }
  child<QToolButton>("ButtonStop")->click();
}

// The widest texts each panel shows in use, with the two longest source names and a
// source that fails its health tests thousands of times.
TEST_F(FormMainEngineTest, EveryStatusPanelShowsItsWholeTextAtTheDefaultWidth) {
  struct Case {
    std::array<const char*, 3> document;
    RandomSourceKind kind;
    int stuckValues;  // a stuck source fails the repetition test again and again
  };
  const Case cases[] = {
      {{"Sample: 22050 Hz \u00B7 16 Bit \u00B7 Mono", "Cues: 21", "Time: 0:00:08.552"},
       RandomSourceKind::Fractal,
       0},
      {{"Sample: 44100 Hz \u00B7 16 Bit \u00B7 Stereo", "Cues: 999", "Time: 1:02:03.456"},
       RandomSourceKind::SoundCard,
       100000},
      {{"Sample: 48000 Hz \u00B7 16 Bit \u00B7 Stereo", "Cues: 0", "Time: 0:00:08.552"},
       RandomSourceKind::ParallelPort,
       100000},
  };
  ASSERT_EQ(form->width(), 720);
  AppServices& services = form->services();
  // A framed label indents its text by half an "x".
  auto indentOf = [](const QLabel* panel) {
    return panel->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
  };
  for (const Case& c : cases) {
    for (std::size_t i = 0; i < 3; ++i) services.document.document.texts.status[i] = c.document[i];
    services.playback.parts.random.randomKind = c.kind;
    services.playback.parts.random.health.start(c.kind);
    for (int i = 0; i < c.stuckValues; ++i) services.playback.parts.random.health.noteValue(7);
    form->changed(ViewAspect::Texts);
    form->changed(ViewAspect::Commands);
    QCoreApplication::processEvents();  // the bar lays out the new texts

    auto fits = [&indentOf](const QLabel* panel) {
      return panel->contentsRect().width() - indentOf(panel) >=
             panel->fontMetrics().horizontalAdvance(panel->text());
    };
    for (const char* name : {"StatusPanel0", "StatusPanel1", "StatusPanel2", "StatusBarHealth"}) {
      const auto* panel = child<QLabel>(name);
      EXPECT_TRUE(fits(panel)) << name << ": " << panel->text().toStdString();
    }
    EXPECT_EQ(child<QLabel>("StatusPanel2")->text(), c.document[2]);
    // The source's name may give way, but then its tip holds the whole text.
    const auto* source = dynamic_cast<const CompactLabel*>(child<QLabel>("StatusBarSource"));
    ASSERT_NE(source, nullptr);
    const QString whole = QString::fromStdString(sourceIndicatorText(c.kind));
    const QString shown = source->shownText();
    EXPECT_EQ(source->text(), whole);
    EXPECT_GE(source->contentsRect().width() - indentOf(source),
              source->fontMetrics().horizontalAdvance(shown))
        << shown.toStdString();
    EXPECT_TRUE(shown == whole || source->toolTip() == whole) << shown.toStdString();
    if (c.kind == RandomSourceKind::Fractal) {
      EXPECT_TRUE(shown.endsWith("Fractal equation")) << "the name itself fits";
    }
    if (c.stuckValues > 0) {
      const auto* health = child<QLabel>("StatusBarHealth");
      EXPECT_TRUE(health->text().startsWith("Health: failing")) << health->text().toStdString();
      EXPECT_TRUE(health->toolTip().contains("failing: repetition")) << "the test that failed";
    }
  }
}

}  // namespace
}  // namespace voxloom
