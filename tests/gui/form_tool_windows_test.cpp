#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRawFont>
#include <QSlider>
#include <memory>
#include <set>

#include "core/ports/queued_event_loop.h"
#include "gui/feedback_symbols.h"
#include "gui/form_main.h"
#include "gui/form_speed_control.h"
#include "gui/form_visual_feedback.h"
#include "tests/gui/main_window.h"
#include "tests/gui/modal.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/manual_timer.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_in.h"
#include "tests/support/sim_wave_out.h"

namespace voxloom {
namespace {

class ToolWindowsTest : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<test::MainWindow>(prompter, shell);
    form->services().attachPlayback(device, loop, &timer);
    form->show();
    speed = form->findChild<TFormSpeedControlWindow*>();
    feedback = form->findChild<TFormVisualFeedbackWindow*>();
    ASSERT_NE(speed, nullptr);
    ASSERT_NE(feedback, nullptr);
  }

  QAction* item(const char* name) { return test::child<QAction>(*form, name); }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  QueuedEventLoop loop;
  test::SimWaveOut device{loop};
  test::ManualTimer timer;
  std::unique_ptr<TFormMain> form;
  TFormSpeedControlWindow* speed = nullptr;
  TFormVisualFeedbackWindow* feedback = nullptr;
};

TEST_F(ToolWindowsTest, SpeedWindowControlsDriveTheSpeed) {
  EXPECT_EQ(speed->windowTitle(), "Speed Control");
  EXPECT_TRUE(speed->windowFlags().testFlag(Qt::Tool));
  auto* slider = test::child<QSlider>(*speed, "TrackBarSpeed");
  auto* label = test::child<QLabel>(*speed, "LabelPercentage");
  auto* reset = test::child<QPushButton>(*speed, "ButtonResetSpeed");
  EXPECT_EQ(std::make_tuple(slider->minimum(), slider->maximum(), slider->value(),
                            slider->pageStep(), slider->orientation()),
            std::make_tuple(0, 100, 50, 10, Qt::Vertical));
  EXPECT_EQ(slider->toolTip(), "Vary the playback speed between 50% and 200%");
  EXPECT_EQ(label->text(), "100%");
  EXPECT_TRUE(label->font().bold());
  EXPECT_EQ(reset->text(), "100 %");
  EXPECT_EQ(reset->toolTip(), "Reset the playback speed to 100 %");

  slider->setValue(25);
  EXPECT_EQ(label->text(), "150%");
  EXPECT_EQ(form->services().playback.parts.engine()->speedPercent, 150);
  slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // towards the bottom
  EXPECT_EQ(label->text(), "148%");
  reset->click();
  EXPECT_EQ(slider->value(), 50);
  EXPECT_EQ(label->text(), "100%");
  EXPECT_EQ(form->services().playback.parts.engine()->speedPercent, 100);
}

TEST_F(ToolWindowsTest, MenuItemsShowAndHideTheWindowsWithTheirCheckMarks) {
  const struct {
    const char* item;
    QWidget* window;
  } cases[] = {{"MenuExtrasSpeedControlWindow", speed},
               {"MenuExtrasVisualFeedbackWindow", feedback}};
  for (const auto& c : cases) {
    QAction* menu = item(c.item);
    EXPECT_TRUE(menu->isEnabled()) << c.item;
    EXPECT_FALSE(c.window->isVisible());
    menu->trigger();
    EXPECT_TRUE(menu->isChecked()) << c.item;
    EXPECT_TRUE(c.window->isVisible()) << c.item;
    menu->trigger();
    EXPECT_FALSE(menu->isChecked());
    EXPECT_FALSE(c.window->isVisible());
    menu->trigger();
    c.window->close();  // by the user: the mark goes
    EXPECT_FALSE(menu->isChecked()) << c.item;
    EXPECT_FALSE(c.window->isVisible());
  }
  // The feedback window's own "&Close" does the same.
  item("MenuExtrasVisualFeedbackWindow")->trigger();
  test::child<QAction>(*feedback, "MenuSettingsClose")->trigger();
  EXPECT_FALSE(item("MenuExtrasVisualFeedbackWindow")->isChecked());
  EXPECT_FALSE(feedback->isVisible());
}

TEST_F(ToolWindowsTest, ClosingTheMainWindowKeepsTheMarksOfOpenWindows) {
  item("MenuExtrasSpeedControlWindow")->trigger();
  item("MenuExtrasVisualFeedbackWindow")->trigger();
  ASSERT_TRUE(speed->isVisible());
  form->close();
  EXPECT_FALSE(speed->isVisible());
  EXPECT_FALSE(feedback->isVisible());
  EXPECT_TRUE(form->services().playback.speed.window.checked);
  EXPECT_TRUE(form->services().playback.feedback.window.checked);
  EXPECT_TRUE(item("MenuExtrasSpeedControlWindow")->isChecked());
}

TEST_F(ToolWindowsTest, FeedbackWindowShowsSymbolColourAndNote) {
  EXPECT_EQ(feedback->windowTitle(), "Visual Feedback Window");
  auto* symbol = test::child<QLabel>(*feedback, "LabelFeedbackString");
  auto* note = test::child<QLabel>(*feedback, "LabelNote1");
  test::child<QWidget>(*feedback, "Panel");
  auto* settings = test::child<QMenu>(*feedback, "MenuSettings");
  EXPECT_EQ(settings->title(), "&Settings");
  EXPECT_EQ(test::child<QAction>(*feedback, "MenuSettingsFont")->text(), "&Font...");
  // A symbol font this machine does not have, as the default one usually is not.
  form->services().playback.feedback.font.name = "Voxloom No Such Symbol Font";
  feedback->refresh();
  // The caption "A" of the symbol font, drawn by its stand-in.
  const QString caption = feedbackSymbolText('A', false);
  EXPECT_EQ(symbol->text(), caption);

  AppServices& services = form->services();
  services.playback.showSegment(223);  // hidden: ignored
  EXPECT_EQ(symbol->text(), caption);
  item("MenuExtrasVisualFeedbackWindow")->trigger();
  services.playback.parts.options.overlap.checked = true;
  services.playback.showSegment(224);
  // Code 34 shows its stand-in, in maroon.
  EXPECT_EQ(symbol->text(), feedbackSymbolText(34, false));
  EXPECT_EQ(symbol->font().family(), kFallbackSymbolFont);
  EXPECT_EQ(symbol->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
  EXPECT_EQ(note->text(), "Note: \"Overlap\" should not be checked.");

  // A font the user picks and has: the character itself, recoloured at the next segment.
  feedback->setFontChooser([](const QFont&) {
    QFont chosen(kFallbackSymbolFont, 72);
    chosen.setItalic(true);
    return std::optional<QFont>(chosen);
  });
  test::child<QAction>(*feedback, "MenuSettingsFont")->trigger();
  EXPECT_EQ(services.playback.feedback.font.name, kFallbackSymbolFont);
  EXPECT_EQ(services.playback.feedback.font.size, 72);
  EXPECT_TRUE(services.playback.feedback.font.italic);
  services.playback.parts.options.overlap.checked = false;
  services.playback.showSegment(12 * 223 + 32);  // code 65 in blue
  EXPECT_EQ(symbol->text(), "A");
  EXPECT_TRUE(symbol->font().italic());
  EXPECT_EQ(symbol->palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));
  EXPECT_TRUE(note->text().isEmpty());
}

// The dialog starts on the face shown ("Book", not the first style listed, "Oblique"), so
// OK without a change keeps the font.
TEST_F(ToolWindowsTest, FontDialogAcceptedUnchangedKeepsTheFont) {
  FeedbackFont& font = form->services().playback.feedback.font;
  const FeedbackFont start = font;
  test::whenModalShows([](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
  test::child<QAction>(*feedback, "MenuSettingsFont")->trigger();
  EXPECT_EQ(std::tie(font.name, font.size, font.italic),
            std::tie(start.name, start.size, start.italic));
}

class AnswerLive : public RecParamDialog {
 public:
  bool askRecParam(RecParamState& state) override {
    state.liveSeconds = 1;
    return start;
  }
  bool start = false;
};

TEST_F(ToolWindowsTest, LiveMenuItemShowsTheModeAndLocksTheFileCommands) {
  test::SimWaveIn liveIn{loop};
  AnswerLive dialog;
  AppServices& services = form->services();
  services.attachLive(liveIn, loop);
  services.playback.live.dialog = &dialog;
  QAction* live = item("MenuExtrasLive");
  ASSERT_TRUE(live->isEnabled());
  live->trigger();  // the dialog is cancelled
  EXPECT_FALSE(live->isChecked());
  EXPECT_TRUE(item("MenuFileOpen")->isEnabled());

  dialog.start = true;
  live->trigger();
  EXPECT_TRUE(live->isChecked());
  for (const char* name : {"MenuFileOpen", "MenuFileRecord", "MenuFilePlay", "MenuFileEVP"})
    EXPECT_FALSE(item(name)->isEnabled()) << name;
  EXPECT_EQ(form->windowTitle(), "Initializing Live Audio Mode ...");
  liveIn.supply(std::vector<std::uint8_t>(44100 / 20 * 2, 1));
  while (!services.document.document.isLoaded && liveIn.queuedCount() > 0) {
    loop.processPending();
    liveIn.supply(std::vector<std::uint8_t>(44100 / 20 * 2, 1));
  }
  loop.processPending();
  EXPECT_TRUE(item("MenuFileEVP")->isEnabled());
  EXPECT_FALSE(item("MenuFileOpen")->isEnabled());

  live->trigger();  // off again
  loop.processPending();
  EXPECT_FALSE(live->isChecked());
  EXPECT_TRUE(item("MenuFileOpen")->isEnabled());
  EXPECT_FALSE(item("MenuFileEVP")->isEnabled());
}

TEST(FeedbackSymbols, TheFallbackTableHas223DistinctSymbolsTheFallbackFontDraws) {
  const QRawFont raw = QRawFont::fromFont(QFont(kFallbackSymbolFont));
  ASSERT_TRUE(raw.isValid());
  ASSERT_EQ(raw.familyName(), kFallbackSymbolFont) << "the fallback font is not installed";
  std::set<char32_t> seen;
  for (int code = 33; code <= 255; ++code) {
    const char32_t symbol = fallbackSymbol(code);
    EXPECT_TRUE(seen.insert(symbol).second) << code;
    EXPECT_TRUE(raw.supportsCharacter(symbol)) << code;
    EXPECT_GT(symbol, U' ');
  }
  EXPECT_EQ(seen.size(), 223u);
}

}  // namespace
}  // namespace voxloom

namespace voxloom {
namespace {

// All 223 stand-ins drawn into one sheet, 16 to a row: no cell may stay blank. With
// VOXLOOM_SCREENSHOT_DIR set the sheet and both windows are saved there as PNG files.
TEST(FeedbackSymbols, EverySymbolDrawsSomething) {
  constexpr int kCell = 48;
  QImage sheet(16 * kCell, 14 * kCell, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  QFont font(kFallbackSymbolFont);
  font.setPixelSize(kCell * 3 / 4);
  painter.setFont(font);
  painter.setPen(Qt::black);
  for (int code = 33; code <= 255; ++code) {
    const QRect cell(((code - 33) % 16) * kCell, ((code - 33) / 16) * kCell, kCell, kCell);
    painter.drawText(cell, Qt::AlignCenter, feedbackSymbolText(code, false));
  }
  painter.end();
  for (int code = 33; code <= 255; ++code) {
    const QRect cell(((code - 33) % 16) * kCell, ((code - 33) / 16) * kCell, kCell, kCell);
    int ink = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x) ink += qGray(sheet.pixel(x, y)) < 128;
    EXPECT_GT(ink, 20) << "code " << code << " draws (almost) nothing";
  }
  const QByteArray dir = qgetenv("VOXLOOM_SCREENSHOT_DIR");
  if (!dir.isEmpty()) sheet.save(QString::fromLocal8Bit(dir) + "/feedback_symbols.png");
}

TEST_F(ToolWindowsTest, ScreenshotsForTheManual) {
  const QByteArray dir = qgetenv("VOXLOOM_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "VOXLOOM_SCREENSHOT_DIR not set";
  AppServices& services = form->services();
  item("MenuExtrasSpeedControlWindow")->trigger();
  services.playback.changeSpeedSlider(25);
  item("MenuExtrasVisualFeedbackWindow")->trigger();
  services.playback.parts.options.overlap.checked = true;
  services.playback.showSegment(4 * 223 + 40);
  QApplication::processEvents();
  speed->grab().save(QString::fromLocal8Bit(dir) + "/speed_control.png");
  feedback->grab().save(QString::fromLocal8Bit(dir) + "/visual_feedback.png");
}

}  // namespace
}  // namespace voxloom
