#include "gui/form_settings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <fstream>
#include <sstream>

#include "gui/form_main.h"
#include "gui/form_speed_control.h"
#include "gui/form_visual_feedback.h"
#include "gui/window_settings.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

using test::child;

std::string fileText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class FormSettingsTest : public ::testing::Test {
 protected:
  FormSettingsTest() : formMain(prompter, shell), form(formMain.controller(), &formMain) {
    path = test::tempDir() + "/form_settings_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    std::remove(path.c_str());
    controller().services().settings.path = path;
  }
  MainPresenter& controller() { return formMain.controller(); }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  test::MainWindow formMain;
  TFormSettings form;
  std::string path;
};

TEST_F(FormSettingsTest, GroupsControlsAndCaptions) {
  controller().services().settings.devices.fillDeviceLists({"A", "B"}, {"Mic"});
  controller().services().loadSettings();  // no file: the defaults, stored indices 0
  form.refresh();
  EXPECT_EQ(form.windowTitle(), "Settings");
  const std::pair<const char*, const char*> boxes[] = {
      {"CheckBoxUseSeparateFolders", "Use separate folders for each file type"},
      {"CheckBoxRestWinPos", "Restore window position"},
      {"CheckBoxSaveOnExit", "Save settings on exit"},
      {"CheckBoxAutoOpenLastWavFile", "Auto-open last WAV file"}};
  for (const auto& [name, caption] : boxes) {
    auto* box = child<QCheckBox>(form, name);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), caption);
    EXPECT_TRUE(box->isChecked()) << name;  // all on by default
  }
  QStringList groups;
  for (auto* g : form.findChildren<QGroupBox*>()) groups << g->title();
  EXPECT_EQ(groups, QStringList({"Program", "Audio devices"}));
  EXPECT_EQ(child<QPushButton>(form, "ButtonSaveNow")->text(), "Save now");
  auto* close = child<QPushButton>(form, "ButtonClose");
  EXPECT_EQ(close->text(), "&Close");
  EXPECT_TRUE(close->isDefault());

  auto* playback = child<QComboBox>(form, "ComboBoxDevicePlayback");
  ASSERT_EQ(playback->count(), 2);
  EXPECT_EQ(playback->itemText(1), "B");
  EXPECT_EQ(playback->currentIndex(), 0);
  for (const char* input :
       {"ComboBoxDeviceRecord", "ComboBoxDeviceRandomSource", "ComboBoxDeviceLiveAudioSource"}) {
    auto* list = child<QComboBox>(form, input);
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentIndex(), 0) << input;
  }
  auto* buffer = child<QSpinBox>(form, "EditRecBufferTimeMilliseconds");
  EXPECT_EQ(std::vector<int>(
                {buffer->minimum(), buffer->maximum(), buffer->singleStep(), buffer->value()}),
            std::vector<int>({100, 1000, 100, 100}));

  // Changes take effect at once, without closing.
  playback->setCurrentIndex(1);
  EXPECT_EQ(controller().services().settings.devices.playback.selected, 1);
  EXPECT_EQ(controller().services().settings.settings.valueText("DevicePlaybackName"), "B");
  child<QCheckBox>(form, "CheckBoxUseSeparateFolders")->setChecked(false);
  EXPECT_FALSE(controller().services().document.folders.useSeparate);
  buffer->setValue(300);
  EXPECT_EQ(controller().services().recording.engine.bufferTimeMs, 300);
}

TEST_F(FormSettingsTest, SaveNowStoresTheUncheckedSaveOnExit) {
  controller().services().loadSettings();
  form.refresh();
  child<QCheckBox>(form, "CheckBoxSaveOnExit")->setChecked(false);
  QTest::mouseClick(child<QPushButton>(form, "ButtonSaveNow"), Qt::LeftButton);
  EXPECT_NE(fileText(path).find("SaveOnExit=0\n"), std::string::npos);
}

TEST_F(FormSettingsTest, ShownCentredOverTheMainWindow) {
  formMain.move(100, 80);
  formMain.show();
  form.show();
  QApplication::processEvents();
  const QRect main = formMain.frameGeometry();
  const QRect box = form.frameGeometry();
  EXPECT_EQ(box.left(), main.left() + (main.width() - box.width()) / 2);
  EXPECT_EQ(box.top(), main.top() + (main.height() - box.height()) / 2);
  form.hide();
}

TEST_F(FormSettingsTest, WindowStatesAreRestoredAndKeptOnScreen) {
  QWidget level;
  WindowSettings windows(&formMain, &level);
  windows.bind(controller().services().settings.settings);
  std::ofstream(path) << "[PROGRAM]\nRestWinPos=1\nWindowPosLeft=-30000\nWindowPosTop=99999\n"
                         "[EVPSESSION]\nCueLabelFontName=Monospace\nCueLabelFontStyleBold=1\n"
                         "CueLabelFontStyleItalic=1\nCueLabelFontSize=14\n"
                         "CueLabelFontColor=0x0000FF\n";
  formMain.show();
  controller().services().loadSettings();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(formMain.pos())) << formMain.x() << "," << formMain.y();
  auto* memo = formMain.findChild<QWidget*>("MemoCueLabels");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->font().family(), "Monospace");
  EXPECT_TRUE(memo->font().bold());
  EXPECT_TRUE(memo->font().italic());
  EXPECT_FALSE(memo->font().underline());
  EXPECT_EQ(memo->font().pointSize(), 14);
  EXPECT_EQ(memo->palette().color(QPalette::Text), QColor(255, 0, 0));
  // The level window's default place is beside the main window.
  EXPECT_EQ(controller().services().settings.settings.valueText("LevelWindowLeftPosition"),
            std::to_string(formMain.x() + formMain.width() + 8));
  EXPECT_EQ(controller().services().settings.settings.valueText("LevelWindowTopPosition"),
            std::to_string(formMain.y()));
  std::ofstream(path) << "[RECORDING]\nLevelWindowLeftPosition=40\nLevelWindowTopPosition=50\n";
  controller().services().loadSettings();
  EXPECT_EQ(level.pos(), QPoint(40, 50));

  // With RestWinPos off the stored place is ignored but the present one is saved.
  formMain.move(150, 120);
  std::ofstream(path) << "[PROGRAM]\nRestWinPos=0\nWindowPosLeft=400\nWindowPosTop=300\n";
  controller().services().loadSettings();
  EXPECT_EQ(formMain.pos(), QPoint(150, 120));
  ASSERT_TRUE(controller().services().settings.save(true));
  EXPECT_NE(fileText(path).find("WindowPosLeft=150\n"), std::string::npos);
  formMain.hide();
}

TEST_F(FormSettingsTest, ToolWindowsAndSourceDialogsTakeTheirValuesFromTheFile) {
  QWidget manual;
  WindowSettings::bindManualWindow(controller().services().settings.settings, &manual);
  std::ofstream(path)
      << "[RANDOMSOURCE]\nManualRandomWindowLeftPosition=60\n"
         "ManualRandomWindowTopPosition=70\nManualRandomWindowWidth=640\n"
         "ManualRandomWindowHeight=90\nManualRandomMute=0\n"
         "RandomSourceParallelPortAddress=3BC\nRandomSourceParallelSampleRate=5000\n"
         "[SPEEDCONTROLWINDOW]\nSpeedControlWindowVisible=1\n"
         "SpeedControlWindowSliderPosition=0\n"
         "[VISUALFEEDBACKWINDOW]\nVisualFeedbackWindowWidth=300\n"
         "VisualFeedbackWindowFontSize=99999\n";
  controller().services().loadSettings();
  EXPECT_EQ(manual.pos(), QPoint(60, 70));
  EXPECT_EQ(manual.size(), QSize(640, 90));
  const RandomSources& random = controller().services().playback.parts.random;
  EXPECT_FALSE(random.manualMute);
  EXPECT_EQ(random.parallelPort.dialogState.portAddressText, "3BC");
  EXPECT_EQ(random.parallelPort.dialogState.sampleRateText, "5000");
  EXPECT_TRUE(controller().services().playback.speed.window.checked);
  EXPECT_EQ(controller().services().playback.speed.speedPercent(), 200);  // the slider at its top
  EXPECT_EQ(controller().services().playback.feedback.width, 300);
  ASSERT_TRUE(controller().services().settings.save(true));
  EXPECT_NE(fileText(path).find("VisualFeedbackWindowFontSize=1638\n"), std::string::npos);
  EXPECT_NE(fileText(path).find("RandomSourceParallelPortAddress=3BC\n"), std::string::npos);
}

TEST_F(FormSettingsTest, ToolWindowsOpenAtTheirStoredPlaceAndSize) {
  std::ofstream(path) << "[SPEEDCONTROLWINDOW]\nSpeedControlWindowLeftPosition=30\n"
                         "SpeedControlWindowTopPosition=400\n"
                         "[VISUALFEEDBACKWINDOW]\nVisualFeedbackWindowLeftPosition=700\n"
                         "VisualFeedbackWindowTopPosition=200\nVisualFeedbackWindowWidth=400\n"
                         "VisualFeedbackWindowHeight=300\n";
  formMain.show();  // reads the file
  auto* speed = formMain.findChild<TFormSpeedControlWindow*>();
  auto* feedback = formMain.findChild<TFormVisualFeedbackWindow*>();
  ASSERT_NE(speed, nullptr);
  ASSERT_NE(feedback, nullptr);
  child<QAction>(formMain, "MenuExtrasSpeedControlWindow")->trigger();
  child<QAction>(formMain, "MenuExtrasVisualFeedbackWindow")->trigger();
  ASSERT_TRUE(speed->isVisible() && feedback->isVisible());
  QCoreApplication::processEvents();
  EXPECT_EQ(speed->pos(), QPoint(30, 400));
  EXPECT_EQ(feedback->pos(), QPoint(700, 200));
  EXPECT_EQ(feedback->size(), QSize(400, 300 + feedback->menuBar()->sizeHint().height()));
  // Showing them wrote nothing else back.
  ASSERT_TRUE(controller().services().settings.save(true));
  for (const char* line :
       {"SpeedControlWindowLeftPosition=30\n", "SpeedControlWindowTopPosition=400\n",
        "VisualFeedbackWindowLeftPosition=700\n", "VisualFeedbackWindowWidth=400\n",
        "VisualFeedbackWindowHeight=300\n"})
    EXPECT_NE(fileText(path).find(line), std::string::npos) << line << fileText(path);

  // A place off every screen is brought back onto one.
  child<QAction>(formMain, "MenuExtrasVisualFeedbackWindow")->trigger();
  std::ofstream(path) << "[VISUALFEEDBACKWINDOW]\nVisualFeedbackWindowLeftPosition=30000\n"
                         "VisualFeedbackWindowTopPosition=30000\n";
  controller().services().loadSettings();
  child<QAction>(formMain, "MenuExtrasVisualFeedbackWindow")->trigger();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(feedback->pos())) << feedback->x() << "," << feedback->y();
  speed->hide();
  feedback->hide();
  formMain.hide();
}

TEST_F(FormSettingsTest, WithoutRestoringTheMainWindowOpensAtItsDefaultPlace) {
  QWidget level;
  WindowSettings windows(&formMain, &level);
  windows.bind(controller().services().settings.settings);
  std::ofstream(path) << "[PROGRAM]\nRestWinPos=0\nWindowPosLeft=400\nWindowPosTop=300\n";
  formMain.show();  // reads the file
  EXPECT_EQ(formMain.pos(), QPoint(200, 100));
  // Beside it, as far as the screen allows.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const int besideMain = 200 + formMain.width() + 8;
  EXPECT_EQ(level.pos(), QPoint(std::min(besideMain, screen.right() - level.width() + 1), 100));
  formMain.hide();
}

}  // namespace
}  // namespace voxloom
