#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "gui/form_main.h"
#include "tests/gui/main_window.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

// A 16-bit mono PCM file of `frames` frames at `rate` Hz.
void writeWav(const QString& path, int rate, int frames) {
  QByteArray bytes;
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.append(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto u16 = [&](std::uint16_t v) {
    bytes.append(static_cast<char>(v & 0xFF));
    bytes.append(static_cast<char>(v >> 8));
  };
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames) * 2;
  bytes.append("RIFF");
  u32(36 + dataBytes);
  bytes.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  bytes.append("data");
  u32(dataBytes);
  for (int i = 0; i < frames; ++i) u16(static_cast<std::uint16_t>((i % 50) * 300));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class FormMainTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    shell.installed.insert("pavucontrol");
    form = std::make_unique<test::MainWindow>(prompter, shell);
    form->show();  // the first show runs the start-up: idle state
  }

  QString path(const char* name) const { return dir.filePath(name); }
  template <typename T>
  T* child(const char* name) {
    return test::child<T>(*form, name);
  }
  bool enabled(const char* button, const char* action) {
    const bool b = child<QWidget>(button)->isEnabled();
    EXPECT_EQ(b, child<QAction>(action)->isEnabled()) << button << " and " << action;
    return b;
  }
  QString status(int i) {
    return child<QLabel>(qPrintable(QString("StatusPanel%1").arg(i)))->text();
  }

  // Enter, then drop, as a drag from the file manager does.
  void drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &enter);
    QDropEvent event(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &event);
  }

  QTemporaryDir dir;
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  std::unique_ptr<TFormMain> form;
};

TEST_F(FormMainTest, MenuItemsHaveTheirCaptionsAndShortcuts) {
  struct Item {
    const char* name;
    const char* caption;
    const char* shortcut;
  };
  const Item items[] = {
      {"MenuFileOpen", "&Open WAV file...", "F2"},
      {"MenuFileSave", "&Save WAV file...", "F3"},
      {"MenuFileRecord", "&Record WAV file...", "F4"},
      {"MenuFilePlay", "&Play WAV file", "F5"},
      {"MenuFileEVP", "&Make an EVP!", "F6"},
      {"MenuFilePause", "P&ause", "F7"},
      {"MenuFileStop", "S&top", "F8"},
      {"MenuFileExit", "&Exit", ""},
      {"MenuSessionNew", "&New", "Ctrl+N"},
      {"MenuSessionOpen", "&Open...", "Ctrl+O"},
      {"MenuSessionSave", "&Save...", "Ctrl+S"},
      {"MenuSessionRecord", "&Record", "Ctrl+R"},
      {"MenuSessionPlay", "&Play", "Ctrl+P"},
      {"MenuSessionEVP", "Play &EVP", "Ctrl+E"},
      {"MenuSessionStop", "S&top", "Ctrl+T"},
      {"MenuSessionWAV", "E&xport EVP as WAV file...", "Ctrl+X"},
      {"MenuSessionEdit", "Loa&d EVP into WAV editor", "Ctrl+D"},
      {"MenuSessionPrev", "&- Skip to previous EVP", ""},
      {"MenuSessionNext", "&+ Skip to next EVP", ""},
      {"PopupMenuEditSelect", "&Select editor...", ""},
      {"PopupMenuEditDefault", "Use the system's &default program", ""},
      {"MenuExtrasLive", "L&ive audio source", ""},
      {"MenuExtrasReverse", "Re&verse signal", ""},
      {"MenuExtrasEcho", "Add &echo to signal...", ""},
      {"MenuExtrasNormalize", "&Normalize signal", ""},
      {"MenuExtrasAutocut", "Auto-&cut signal...", ""},
      {"MenuExtrasSpeedControlWindow", "Spee&d control", ""},
      {"MenuExtrasVisualFeedbackWindow", "Visual &feedback window", ""},
      {"MenuPrefRndSrcProgram", "&Pseudo RNG", ""},
      {"MenuPrefRndSrcFractal", "&Fractal equation...", ""},
      {"MenuPrefRndSrcSoundcard", "&Sound card", ""},
      {"MenuPrefRndSrcFile", "F&ile...", ""},
      {"MenuPrefRndSrcHttp", "I&nternet...", ""},
      {"MenuPrefRndSrcManual", "&Manual sweep", ""},
      {"MenuPrefRndSrcLPT", "P&arallel printer port...", ""},
      {"MenuPrefRndSrcDevice", "&Device...", ""},
      {"MenuPrefRndSrcConvert", "Bitwise &convert 32 RN to 1 RN", ""},
      {"MenuPrefRndSrcRecBest", "Use &best sample rate", ""},
      {"MenuPrefRndSrcRecNew", "&Retrieve new RN for each EVP", ""},
      {"MenuPrefRndSrcFileLoop", "&Loop file", ""},
      {"MenuExtrasProtRN", "&Log random numbers...", ""},
      {"MenuExtrasWriteRN", "&Write RN to a file...", ""},
      {"MenuPrefMixerPlayback", "&Playback", ""},
      {"MenuPrefMixerRecordig", "&Recordig", ""},
      {"MenuExtrasSettings", "&Settings...", ""},
      {"MenuHelpManual", "&Manual", "F1"},
      {"QuickstartGuide1", "&Quickstart guide", ""},
      {"MenuHelpDownload", "Go to &web site / download", ""},
      {"MenuHelpAbout", "&About Voxloom...", ""},
      {"PopupMenuFadeLinear", "&Linear", ""},
      {"PopupMenuFadeSineHalf", "Sine &half-wave", ""},
      {"PopupMenuFadeTrapez90", "Trapezoid &90%", ""},
  };
  for (const Item& item : items) {
    QAction* action = child<QAction>(item.name);
    if (action == nullptr) continue;
    EXPECT_EQ(action->text(), item.caption) << item.name;
    EXPECT_EQ(action->shortcut(), QKeySequence(item.shortcut)) << item.name;
  }
  EXPECT_EQ(form->findChildren<QAction*>(QRegularExpression("^PopupMenuFade")).size(), 12);
  // The random sources form one radio group that starts on the pseudo generator; of the
  // options all but the 32-to-1 conversion start checked.
  EXPECT_TRUE(child<QAction>("MenuPrefRndSrcProgram")->isChecked());
  EXPECT_TRUE(child<QAction>("MenuPrefRndSrcProgram")->actionGroup()->isExclusive());
  EXPECT_FALSE(child<QAction>("MenuPrefRndSrcConvert")->isChecked());
  EXPECT_TRUE(child<QAction>("MenuPrefRndSrcFileLoop")->isChecked());
  EXPECT_TRUE(child<QAction>("PopupMenuFadeLinear")->isChecked());
}

TEST_F(FormMainTest, RandomSourceItemsSitInTheirSubmenuAndNoMenuRepeatsAnAccessKey) {
  auto* random = child<QMenu>("MenuPrefRndSrc");
  ASSERT_TRUE(random && random->title() == "&Random source");
  EXPECT_EQ(random->actions().size(), 13);  // eight sources, a separator, four options
  QList<QWidget*> menus{form->menuBar()};
  for (QMenu* menu : form->findChildren<QMenu*>()) menus.append(menu);
  for (QWidget* menu : menus) {  // a shared letter would reach only the first item
    std::set<QString> keys;
    for (QAction* item : menu->actions()) {
      const QString key = QKeySequence::mnemonic(item->text()).toString();
      EXPECT_TRUE(key.isEmpty() || keys.insert(key).second) << item->text().toStdString();
    }
  }
}

TEST_F(FormMainTest, ControlsHaveTheirHintsAndCaptions) {
  const std::pair<const char*, const char*> hints[] = {
      {"ButtonOpen", "Open WAV file (F2)"},
      {"ButtonSave", "Save to a WAV file (F3)"},
      {"ButtonRecord", "Record (F4)"},
      {"ButtonPlay", "Play (F5)"},
      {"ButtonRndPlay", "Make EVP (F6)"},
      {"ButtonPause", "Pause/Continue (F7)"},
      {"ButtonStop", "Stop (F8)"},
      {"ButtonCloseSessionFile", "Close Session file / New session"},
      {"ButtonSessionEdit", "Open EVP in external editor (right-click to configure)"},
      {"EditQuestion", "Enter your question here!"},
      {"EditAnswer", "Enter your EVP Interpretation here!"},
      {"MemoCueLabels", "Right-click to change Font..."},
      {"CheckBoxZeroCrossAdjust", "Adjust the segment borders to avoid \"clicks\""},
      {"RadioGroupRandomPlay", "Play segments until \"Stop\", or stop after x seconds"},
      {"CSpinEditRandomPlayTime",
       "Number of seconds after which EVP generation stops automatically"},
  };
  for (const auto& [name, hint] : hints) {
    if (QWidget* w = child<QWidget>(name)) {
      EXPECT_EQ(w->toolTip(), hint) << name;
    }
  }
  for (const char* name : {"ButtonOpen", "ButtonSave", "ButtonRecord", "ButtonPlay",
                           "ButtonRndPlay", "ButtonPause", "ButtonStop"})
    child<QToolButton>(name);
  EXPECT_EQ(child<QAbstractButton>("ButtonSessionWav")->text(), "E&xp");
  // Make EVP is "the yellow Play button" of the manual sweep's window.
  const QColor evp =
      child<QToolButton>("ButtonRndPlay")->icon().pixmap(32).toImage().pixelColor(8, 16);
  EXPECT_TRUE(evp.hue() >= 40 && evp.hue() <= 65 && evp.saturation() > 150) << evp.hue();
  EXPECT_EQ(child<QRadioButton>("RadioGroupRandomPlayItem1")->text(), "for               s");

  auto* duration = child<QSpinBox>("CSpinEditSegDuration");
  EXPECT_EQ(duration->value(), 80);
  EXPECT_EQ(duration->maximum(), 10000);
  auto* playTime = child<QSpinBox>("CSpinEditRandomPlayTime");
  EXPECT_EQ(playTime->minimum(), 1);
  EXPECT_EQ(playTime->maximum(), 999);
  EXPECT_EQ(playTime->value(), 15);

  const QFont memoFont = child<QPlainTextEdit>("MemoCueLabels")->font();
  EXPECT_EQ(memoFont.family(), "Courier New");
  EXPECT_EQ(memoFont.pointSize(), 10);

  const int widths[] = {170, 65, 50};
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(child<QLabel>(qPrintable(QString("StatusPanel%1").arg(i)))->minimumWidth(),
              widths[i]);
}

TEST_F(FormMainTest, IdleWithoutDocumentOffersOnlyOpen) {
  EXPECT_EQ(form->services().states.state(), kStateIdle);
  EXPECT_TRUE(enabled("ButtonOpen", "MenuFileOpen"));
  EXPECT_FALSE(enabled("ButtonSave", "MenuFileSave"));
  EXPECT_FALSE(enabled("ButtonPlay", "MenuFilePlay"));
  EXPECT_FALSE(enabled("ButtonPause", "MenuFilePause"));
  EXPECT_FALSE(enabled("ButtonStop", "MenuFileStop"));
  EXPECT_FALSE(enabled("ButtonSessionStop", "MenuSessionStop"));
  EXPECT_EQ(status(0), "Sample:");
  EXPECT_EQ(status(1), "Cues:");
  EXPECT_EQ(status(2), "Time:");
  EXPECT_EQ(form->windowTitle(), "Voxloom 2.5");
  // The play-time controls are live in the idle state.
  EXPECT_TRUE(child<QSpinBox>("CSpinEditRandomPlayTime")->isEnabled());
}

TEST_F(FormMainTest, OpenCommandLoadsTheChosenFileAndShowsIt) {
  writeWav(path("take1.wav"), 8000, 16000);
  prompter.openFiles.push_back(path("take1.wav").toStdString());
  child<QAction>("MenuFileOpen")->trigger();

  ASSERT_EQ(prompter.openDialogs.size(), 1u);
  EXPECT_EQ(form->windowTitle(), "take1.wav - Voxloom 2.5");
  EXPECT_EQ(status(0), QString::fromUtf8("Sample: 8000 Hz \u00B7 16 Bit \u00B7 Mono"));
  EXPECT_EQ(status(1), "Cues: 0");
  EXPECT_EQ(status(2), "Time: 0:00:02.000");
  EXPECT_TRUE(enabled("ButtonPlay", "MenuFilePlay"));
  EXPECT_FALSE(enabled("ButtonSave", "MenuFileSave")) << "an unchanged document needs no save";

  form->services().document.document.markModified();
  form->services().states.set(kStateIdle);
  EXPECT_TRUE(enabled("ButtonSave", "MenuFileSave"));

  // The toolbar button runs the same command: the open dialog, here cancelled.
  child<QToolButton>("ButtonOpen")->click();
  EXPECT_EQ(prompter.openDialogs.size(), 2u);
}

TEST_F(FormMainTest, PlayTimeControlsLockOutsideTheIdleState) {
  auto* spin = child<QSpinBox>("CSpinEditRandomPlayTime");
  const QColor idleBackground = spin->palette().color(QPalette::Base);
  form->services().states.set(kStateRecording);
  EXPECT_FALSE(spin->isEnabled());
  EXPECT_FALSE(child<QWidget>("RadioGroupRandomPlay")->isEnabled());
  EXPECT_EQ(spin->palette().color(QPalette::Disabled, QPalette::Base),
            form->palette().color(QPalette::Button));
  form->services().states.set(kStateIdle);
  EXPECT_TRUE(spin->isEnabled());
  EXPECT_EQ(spin->palette().color(QPalette::Base), idleBackground);

  // Changing the play time chooses the timed item.
  auto* timed = child<QRadioButton>("RadioGroupRandomPlayItem1");
  EXPECT_FALSE(timed->isChecked());
  spin->setValue(30);
  EXPECT_TRUE(timed->isChecked());
}

TEST_F(FormMainTest, ClosingAModifiedDocumentAsksAndCancelKeepsTheWindow) {
  writeWav(path("take1.wav"), 8000, 800);
  form->services().openFileByType(path("take1.wav").toStdString());
  form->services().document.document.markModified();
  prompter.answers.push_back(Answer::Cancel);

  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].title, "Warning");
  EXPECT_TRUE(form->services().document.document.isLoaded);

  prompter.answers.push_back(Answer::No);
  EXPECT_TRUE(form->close());
}

TEST_F(FormMainTest, DroppedFilesOpenInTheirOrder) {
  writeWav(path("first.wav"), 8000, 800);
  writeWav(path("second.wav"), 11025, 800);
  drop({QUrl::fromLocalFile(path("first.wav")), QUrl::fromLocalFile(path("notes.txt")),
        QUrl::fromLocalFile(path("second.wav"))});

  // The unknown file in the middle is reported and does not stop the others.
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, kUnknownFiletypeText);
  EXPECT_EQ(form->services().document.document.path, path("second.wav").toStdString());
  EXPECT_EQ(form->windowTitle(), "second.wav - Voxloom 2.5");
}

TEST_F(FormMainTest, DropsOfNonLocalAddressesAreRefused) {
  QMimeData data;
  data.setUrls({QUrl("https://example.org/take.wav")});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &enter);
  EXPECT_FALSE(enter.isAccepted());

  drop({QUrl("https://example.org/take.wav")});
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_FALSE(form->services().document.document.isLoaded);
}

TEST_F(FormMainTest, HelpAndMixerCommandsGoThroughTheShell) {
  child<QAction>("MenuHelpManual")->trigger();
  child<QAction>("QuickstartGuide1")->trigger();
  child<QAction>("MenuHelpDownload")->trigger();
  ASSERT_EQ(shell.opened.size(), 3u);
  EXPECT_EQ(shell.opened[0], form->controller().manualPath());
  EXPECT_EQ(shell.opened[1], form->controller().quickstartPath());
  EXPECT_EQ(shell.opened[2], kWebSiteUrl);

  auto* playback = child<QAction>("MenuPrefMixerPlayback");
  EXPECT_TRUE(playback->isEnabled());
  playback->trigger();
  child<QAction>("MenuPrefMixerRecordig")->trigger();
  ASSERT_EQ(shell.started.size(), 2u);
  EXPECT_EQ(shell.started[0].first, kMixerProgram);
  EXPECT_NE(shell.started[0].second, shell.started[1].second);
}

TEST(FormMainMixer, MixerItemsAreDisabledWithoutAMixerProgram) {
  test::ScriptedPrompter prompter;
  test::FakeShell shell;  // nothing installed
  test::MainWindow form(prompter, shell);
  form.show();
  EXPECT_FALSE(form.findChild<QAction*>("MenuPrefMixerPlayback")->isEnabled());
  EXPECT_FALSE(form.findChild<QAction*>("MenuPrefMixerRecordig")->isEnabled());
}

TEST_F(FormMainTest, RightClickOnTheCueMemoChangesItsFont) {
  auto* memo = child<QPlainTextEdit>("MemoCueLabels");
  QFont offered;
  int asked = 0;
  form->setFontChooser([&](const QFont& current) -> std::optional<QFont> {
    offered = current;
    ++asked;
    if (asked == 1) return QFont("Monospace", 14);
    return std::nullopt;  // the second time the dialog is cancelled
  });
  emit memo->customContextMenuRequested(QPoint(5, 5));
  EXPECT_EQ(offered.family(), "Courier New");
  EXPECT_EQ(memo->font().pointSize(), 14);
  emit memo->customContextMenuRequested(QPoint(5, 5));
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(offered.pointSize(), 14);
  EXPECT_EQ(memo->font().pointSize(), 14);
}

}  // namespace
}  // namespace voxloom
