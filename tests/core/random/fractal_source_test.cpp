#include "core/random/fractal_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/random/fractal_form.h"
#include "core/random/random_sources.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

class FractalTest : public ::testing::Test {
 protected:
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
  FractalForm& form = random.fractalForm;

  void drawWholeImage() {
    form.resetGraphValues();
    ASSERT_TRUE(form.draw(prompter));
  }
  long double number(const std::string& text) { return parseDecimal(text).value_or(-99); }
};

TEST_F(FractalTest, LogisticDrawsFromRFourReachOneThenStayAtZero) {
  random.selectRandomSource(RandomSourceKind::Fractal, "", "", false);
  random.growthRate = 4;
  random.population = 0.5L;
  EXPECT_EQ(random.drawRandom(10), 9);  // x = 1.0 exactly, held inside 0..n-1
  EXPECT_EQ(random.population, 1.0L);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_EQ(random.population, 0.0L);

  random.growthRate = 3.8L;
  random.population = 0.5L;
  EXPECT_EQ(random.drawRandom(100), 95);  // 0.95
  EXPECT_EQ(random.drawRandom(100), 18);  // 0.1805
  EXPECT_EQ(random.drawRandom(1), 0);
}

TEST_F(FractalTest, ParametersOutsideTheEquationsRangeStillGiveValidResults) {
  random.selectRandomSource(RandomSourceKind::Fractal, "", "", false);
  random.growthRate = 4.5L;  // x leaves 0..1 and runs off to -infinity, then NaN
  random.population = 0.5L;
  for (int i = 0; i < 40; ++i) {
    const auto v = random.drawRandom(7);
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 7);
  }
}

TEST_F(FractalTest, ConvertFoldsThirtyTwoStepsWithTheFirstAsTopBitAndLogsTheWord) {
  const auto path = std::filesystem::temp_directory_path() / "voxloom_fractal_log_test.txt";
  random.log.logEnabled = true;
  random.log.logStartNew = true;
  random.log.logFileName = path.string();
  ASSERT_TRUE(random.log.openRandomLog(prompter));
  random.selectRandomSource(RandomSourceKind::Fractal, "", "", false);
  random.menu.convert = true;
  random.growthRate = 4;
  random.population = 0.5L;
  // 1.0 rises from the previous 0, then 0 falls and stays: only the top bit is set.
  EXPECT_EQ(random.drawRandom(10), 5);
  EXPECT_EQ(random.previousTrendValue, 0.0L);
  EXPECT_EQ(random.drawRandom(10), 0);  // all equal: the bit stays 0

  random.menu.convert = false;
  random.growthRate = 3.8L;
  random.population = 0.5L;
  random.drawRandom(10);
  random.log.closeRandomLog();
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "-2147483648\n0\n0.95\n");
  std::filesystem::remove(path);
}

TEST_F(FractalTest, DecimalTextsAreReadWithoutLocaleAndRejectWhatIsNoNumber) {
  struct Case {
    const char* text;
    std::optional<long double> value;
  };
  const Case cases[] = {{"3.8", 3.8L},          {" 0.5 ", 0.5L},       {"-2", -2.0L},
                        {"+4", 4.0L},           {"1e-3", 0.001L},      {".25", 0.25L},
                        {"", std::nullopt},     {"3,8", std::nullopt}, {"abc", std::nullopt},
                        {"inf", std::nullopt},  {"nan", std::nullopt}, {"1e99999", std::nullopt},
                        {"0x10", std::nullopt}, {"--1", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(parseDecimal(c.text), c.value) << c.text;
  EXPECT_EQ(formatDecimal(3.8L), "3.8");
  EXPECT_EQ(formatDecimal(0.1805L), "0.1805");
}

TEST_F(FractalTest, IterateTwiceFromTheDefaultsAndLeavesTheMainValues) {
  form.show();
  EXPECT_EQ(form.growthText, "3.8");
  EXPECT_EQ(form.populationText, "0.5");
  EXPECT_EQ(form.growthSlider, 3800000);
  EXPECT_EQ(form.populationSlider, 500000);
  form.iterate(prompter);
  EXPECT_EQ(form.populationText, "0.95");
  form.iterate(prompter);
  EXPECT_EQ(form.populationText, "0.1805");
  EXPECT_EQ(random.population, 0.5L);

  form.growthText = "x";
  form.iterate(prompter);
  EXPECT_EQ(form.populationText, "0.1805");
  EXPECT_EQ(prompter.log(),
            std::vector<std::string>{"Error: 'x' is not a valid floating point value"});
}

TEST_F(FractalTest, EditsAndSlidersKeepEachOtherInStep) {
  form.growthEdited("3.75");
  EXPECT_EQ(form.growthSlider, 3750000);
  form.growthEdited("nonsense");  // ignored by the slider, kept in the edit
  EXPECT_EQ(form.growthSlider, 3750000);
  form.growthEdited("4.2");  // beyond the slider: the edit keeps what was typed
  EXPECT_EQ(form.growthSlider, 4000000);
  EXPECT_EQ(form.growthText, "4.2");
  form.growthEdited("1e300");
  EXPECT_EQ(form.growthSlider, 4000000);
  form.populationEdited("-5");
  EXPECT_EQ(form.populationSlider, 0);
  form.growthSliderMoved(3600001);
  EXPECT_EQ(form.growthText, "3.600001");
  form.populationSliderMoved(1);
  EXPECT_EQ(form.populationText, "1e-06");

  random.pseudo.seedPseudoRandom(1);  // first value 346, then 13854878
  form.randomGrowth();
  EXPECT_EQ(form.growthText, "3.500346");
  EXPECT_EQ(form.growthSlider, 3500346);
  form.randomPopulation();
  EXPECT_EQ(form.populationSlider, 13854878 % 1000001);
}

TEST_F(FractalTest, SelectionTakesOkValuesAndKeepsOldOnesForNonNumbers) {
  struct Dialog : FractalDialog {
    bool answer = true;
    std::string r, x;
    bool askFractal(FractalForm& f) override {
      f.show();
      f.growthEdited(r);
      f.populationEdited(x);
      return answer;
    }
  } dialog;
  random.fractalDialog = &dialog;

  dialog.answer = false;
  dialog.r = "3.9";
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::Fractal, "", "", true),
            SelectOutcome::Cancelled);
  EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng);
  EXPECT_EQ(random.growthRate, 3.8L);

  dialog.answer = true;
  dialog.r = "3.9";
  dialog.x = "half";
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::Fractal, "", "", true),
            SelectOutcome::Selected);
  EXPECT_EQ(random.randomKind, RandomSourceKind::Fractal);
  EXPECT_TRUE(random.menu.checked[3]);
  EXPECT_EQ(random.growthRate, 3.9L);
  EXPECT_EQ(random.population, 0.5L);
  EXPECT_TRUE(prompter.shown.empty());

  // Apply sets the values but leaves the current source.
  random.selectRandomSource(RandomSourceKind::PseudoRng, "", "", false);
  form.growthEdited("3.55");
  form.apply();
  EXPECT_EQ(random.growthRate, 3.55L);
  EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng);
}

TEST_F(FractalTest, LeftClicksNarrowTheRangesPairingEachClickWithThePreviousOne) {
  form.click(40, 100, FractalForm::Button::Left, prompter);  // nothing drawn yet
  EXPECT_EQ(form.rMinText, "3.5");
  drawWholeImage();
  // X 40, 20, 80 of 200 are r 3.6, 3.55, 3.7.
  const struct {
    int x;
    long double rMin, rMax;
  } clicks[] = {{40, 3.6L, 4.0L}, {20, 3.55L, 3.6L}, {80, 3.55L, 3.7L}};
  for (const auto& c : clicks) {
    form.click(c.x, 100, FractalForm::Button::Left, prompter);
    EXPECT_NEAR(number(form.rMinText), c.rMin, 1e-12) << c.x;
    EXPECT_NEAR(number(form.rMaxText), c.rMax, 1e-12) << c.x;
  }
  // The x range: y 150 of 200 is x 0.25, below the upper edge 1.0.
  EXPECT_NEAR(number(form.xMinText), 0.5L, 1e-12);  // the three clicks at y 100
  form.resetGraphValues();
  form.zoomSwapX = false;
  form.click(0, 150, FractalForm::Button::Left, prompter);
  EXPECT_NEAR(number(form.xMinText), 0.25L, 1e-12);
  EXPECT_NEAR(number(form.xMaxText), 1.0L, 1e-12);
  // The clicks map through the range drawn, not the edits.
  EXPECT_EQ(form.drawnRange[0], 3.5L);

  form.click(100, 50, FractalForm::Button::Right, prompter);
  EXPECT_EQ(form.growthText, "3.75");
  EXPECT_EQ(form.populationText, "0.75");
  EXPECT_EQ(random.growthRate, 3.8L);  // only OK or Apply take them over
}

TEST_F(FractalTest, ANonNumericRangeEditBlocksDrawingAndEveryClick) {
  drawWholeImage();
  const auto before = form.image.pixels;
  form.xMaxText = "one";
  EXPECT_FALSE(form.draw(prompter));
  form.click(100, 50, FractalForm::Button::Right, prompter);
  EXPECT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].text, "'one' is not a valid floating point value");
  EXPECT_EQ(form.growthText, "");  // the right click changed nothing
  EXPECT_EQ(form.image.pixels, before);
}

}  // namespace
}  // namespace voxloom
