// The windows of the fractal, internet and manual sweep sources, alone and through the
// main window's menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "gui/form_fractal.h"
#include "gui/form_input_string.h"
#include "gui/form_main.h"
#include "gui/form_manual_random.h"
#include "tests/gui/main_window.h"
#include "tests/gui/modal.h"
#include "tests/support/fake_shell.h"
#include "tests/support/find_child.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

using test::child;

void retype(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

class SourceWindowsTest : public ::testing::Test {
 protected:
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  StopRequest stop;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
};

TEST_F(SourceWindowsTest, FractalFormDrawsOnFirstShowAndItsControlsFollowTheRules) {
  TFormFractal form;
  EXPECT_EQ(form.windowTitle(), "Fractal formula");
  form.bind(&random.fractalForm, &prompter);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QCoreApplication::processEvents();  // the first showing draws once the window is up

  auto* growth = child<QLineEdit>(form, "EditFracGrowthConstant");
  auto* population = child<QLineEdit>(form, "EditFracInitPopulation");
  auto* growthTrack = child<QSlider>(form, "TrackBarGrowthConstant");
  auto* populationTrack = child<QSlider>(form, "TrackBarInitPopulation");
  EXPECT_EQ(growth->text(), "3.8");
  EXPECT_EQ(population->text(), "0.5");
  EXPECT_EQ(growthTrack->minimum(), 3500000);
  EXPECT_EQ(growthTrack->maximum(), 4000000);
  EXPECT_EQ(growthTrack->value(), 3800000);
  EXPECT_EQ(populationTrack->maximum(), 1000000);
  EXPECT_EQ(child<QSpinBox>(form, "EditnIterations")->value(), 300);
  EXPECT_EQ(child<QSpinBox>(form, "EditnInvisible")->value(), 50);
  EXPECT_EQ(child<QSpinBox>(form, "EditnColors")->value(), 4);
  EXPECT_TRUE(child<QCheckBox>(form, "CheckBoxG")->isChecked());
  EXPECT_FALSE(child<QCheckBox>(form, "CheckBoxR")->isChecked());

  // The first showing drew the diagram: green points on black.
  const QImage drawn = child<QLabel>(form, "ImageFractal")->pixmap().toImage();
  EXPECT_EQ(drawn.size(), QSize(200, 200));
  int green = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) green += qGreen(drawn.pixel(x, y)) > 0;
  EXPECT_GT(green, 1000);
  EXPECT_EQ(qRed(drawn.pixel(199, 0)), 0);
  if (qEnvironmentVariableIsSet("VOXLOOM_SCREENSHOTS")) form.grab().save("/tmp/form_fractal.png");

  retype(growth, "3.75");
  EXPECT_EQ(growthTrack->value(), 3750000);
  retype(growth, "abc");
  EXPECT_EQ(growthTrack->value(), 3750000);
  EXPECT_EQ(growth->text(), "abc");
  populationTrack->setValue(250000);
  EXPECT_EQ(population->text(), "0.25");

  retype(growth, "3.8");
  retype(population, "0.5");
  QTest::mouseClick(child<QPushButton>(form, "ButtonIterate"), Qt::LeftButton);
  EXPECT_EQ(population->text(), "0.95");

  auto* image = child<QLabel>(form, "ImageFractal");
  QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(40, 100));
  EXPECT_EQ(child<QLineEdit>(form, "EditrMin")->text(), "3.6");
  EXPECT_EQ(child<QLineEdit>(form, "EditxMin")->text(), "0.5");
  QTest::mouseClick(image, Qt::RightButton, {}, QPoint(100, 50));
  EXPECT_EQ(growth->text(), "3.75");
  EXPECT_EQ(population->text(), "0.75");
  EXPECT_EQ(random.growthRate, 3.8L);
  QTest::mouseClick(child<QPushButton>(form, "ButtonApply"), Qt::LeftButton);
  EXPECT_EQ(random.growthRate, 3.75L);
  EXPECT_EQ(random.population, 0.75L);
  EXPECT_TRUE(form.isVisible());
  QTest::mouseClick(child<QPushButton>(form, "ButtonReset"), Qt::LeftButton);
  EXPECT_EQ(child<QLineEdit>(form, "EditrMin")->text(), "3.5");
  EXPECT_EQ(child<QLineEdit>(form, "EditrMax")->text(), "4.0");

  retype(child<QLineEdit>(form, "EditxStart"), "zero");
  QTest::mouseClick(child<QPushButton>(form, "ButtonDraw"), Qt::LeftButton);
  EXPECT_EQ(prompter.log(),
            std::vector<std::string>{"Error: 'zero' is not a valid floating point value"});
  EXPECT_TRUE(prompter.shown.size() == 1);
}

TEST_F(SourceWindowsTest, TheFractalMenuItemAsksAndOkSelectsWithTheTypedValues) {
  test::MainWindow main(prompter, shell);
  QAction* item = main.findChild<QAction*>("MenuPrefRndSrcFractal");
  ASSERT_TRUE(item->isEnabled());
  RandomSources& sources = main.services().playback.parts.random;

  test::whenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  item->trigger();
  EXPECT_EQ(sources.randomKind, RandomSourceKind::PseudoRng);
  EXPECT_TRUE(main.findChild<QAction*>("MenuPrefRndSrcProgram")->isChecked());
  EXPECT_FALSE(item->isChecked());

  test::whenModalShows([](QWidget* w) {
    retype(w->findChild<QLineEdit*>("EditFracGrowthConstant"), "3.9");
    retype(w->findChild<QLineEdit*>("EditFracInitPopulation"), "0.3");
    QTest::mouseClick(w->findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
  });
  item->trigger();
  EXPECT_EQ(sources.randomKind, RandomSourceKind::Fractal);
  EXPECT_TRUE(item->isChecked());
  EXPECT_EQ(sources.growthRate, 3.9L);
  EXPECT_EQ(sources.population, 0.3L);
}

TEST_F(SourceWindowsTest, TheInternetDialogKeepsItsListAndOkSelectsTheTemplate) {
  test::MainWindow main(prompter, shell);
  QAction* item = main.findChild<QAction*>("MenuPrefRndSrcHttp");
  ASSERT_TRUE(item->isEnabled());
  RandomSources& sources = main.services().playback.parts.random;

  test::whenModalShows([](QWidget* w) {
    EXPECT_EQ(w->windowTitle(), "Internet Random Number Service");
    EXPECT_EQ(w->findChild<QLabel*>("LabelInputText")->text(),
              "Please enter or select the URL of an Internet random number service (HTTP):");
    auto* combo = w->findChild<QComboBox*>("ComboBoxUrl");
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->count(), 1);  // the default service
    combo->setEditText("http://numbers.test:8080/get?n=%num%");
    QTest::mouseClick(w->findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
  });
  item->trigger();
  EXPECT_EQ(sources.randomKind, RandomSourceKind::Internet);
  EXPECT_EQ(sources.serviceUrl, "http://numbers.test:8080/get?n=%num%");
  EXPECT_EQ(item->text(), "I&nternet [numbers.test:8080] ...");
  EXPECT_EQ(sources.urlForm.items.size(), 2u);

  // Delete removes the shown template and empties the box; Cancel then changes nothing.
  test::whenModalShows([](QWidget* w) {
    auto* combo = w->findChild<QComboBox*>("ComboBoxUrl");
    EXPECT_EQ(combo->currentText(), "http://numbers.test:8080/get?n=%num%");
    QTest::mouseClick(w->findChild<QPushButton*>("ButtonDelete"), Qt::LeftButton);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(combo->currentText(), "");
    EXPECT_EQ(combo->count(), 1);
    QTest::mouseClick(w->findChild<QPushButton*>("ButtonCancel"), Qt::LeftButton);
  });
  item->trigger();
  EXPECT_EQ(sources.randomKind, RandomSourceKind::Internet);
  EXPECT_EQ(sources.urlForm.items.size(), 1u);

  // OK with an empty text chooses the pseudo-random generator.
  test::whenModalShows([](QWidget* w) {
    w->findChild<QComboBox*>("ComboBoxUrl")->setEditText("");
    QTest::mouseClick(w->findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
  });
  item->trigger();
  EXPECT_EQ(sources.randomKind, RandomSourceKind::PseudoRng);
  EXPECT_EQ(item->text(), "I&nternet...");
  EXPECT_EQ(sources.urlForm.items.size(), 1u);
}

TEST_F(SourceWindowsTest, TheManualSliderShowsWithItsSourceAndWritesPositionAndMute) {
  test::MainWindow main(prompter, shell);
  main.show();
  RandomSources& sources = main.services().playback.parts.random;
  main.findChild<QAction*>("MenuPrefRndSrcManual")->trigger();
  EXPECT_EQ(sources.randomKind, RandomSourceKind::ManualSweep);
  auto* window = main.findChild<TFormManualRandom*>();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Manual random number generation");
  EXPECT_EQ(window->height(), 120);
  auto* slider = child<QSlider>(*window, "TrackBarRandom");
  EXPECT_EQ(slider->maximum(), 2147483647);
  EXPECT_EQ(slider->pageStep(), 1);
  EXPECT_EQ(slider->focusPolicy(), Qt::NoFocus);
  slider->setValue(2147483647);
  EXPECT_EQ(sources.manualPosition, 2147483647);
  EXPECT_EQ(sources.drawRandom(10), 9);
  auto* mute = child<QCheckBox>(*window, "CheckBoxMute");
  EXPECT_TRUE(mute->isChecked());
  mute->setChecked(false);
  EXPECT_FALSE(sources.manualMute);
  if (qEnvironmentVariableIsSet("VOXLOOM_SCREENSHOTS"))
    window->grab().save("/tmp/form_manual_random.png");

  window->close();  // idle: only hides; the source stays
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(sources.randomKind, RandomSourceKind::ManualSweep);
  main.findChild<QAction*>("MenuPrefRndSrcManual")->trigger();
  EXPECT_TRUE(window->isVisible());
  main.findChild<QAction*>("MenuPrefRndSrcProgram")->trigger();
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace voxloom
