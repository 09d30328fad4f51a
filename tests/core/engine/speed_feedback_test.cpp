#include <gtest/gtest.h>

#include "core/engine/speed_control.h"
#include "core/engine/visual_feedback.h"

namespace voxloom {
namespace {

TEST(SpeedControlTest, SliderPositionsGiveTheirPercentages) {
  const struct {
    int position;
    int percent;
  } cases[] = {
      {0, 200}, {25, 150}, {49, 102}, {50, 100}, {51, 99},
      {75, 75}, {100, 50}, {-5, 200}, {130, 50}};  // out of range: clamped to the slider's ends
  for (const auto& c : cases) EXPECT_EQ(speedPercentOf(c.position), c.percent) << c.position;
  SpeedControl speed;
  EXPECT_EQ(speed.labelText(), "100%");
  speed.sliderPosition = 49;
  EXPECT_EQ(speed.labelText(), "102%");
}

TEST(SpeedControlTest, RatesAndFactorsTruncate) {
  EXPECT_EQ(speedAdjustedRate(44100, 75), 33075u);
  EXPECT_EQ(speedAdjustedRate(22050, 99), 21829u);
  EXPECT_EQ(speedAdjustedRate(2'000'000'000, 200), 4'000'000'000u);  // no 32-bit wrap
  EXPECT_EQ(playbackRateFactor(100), 0x10000u);
  EXPECT_EQ(playbackRateFactor(150), 98304u);
  EXPECT_EQ(playbackRateFactor(99), 64880u);
  EXPECT_EQ(playbackRateFactor(200), 0x20000u);
}

TEST(VisualFeedbackTest, SymbolAndColourFollowTheSegmentNumber) {
  const struct {
    std::int32_t n;
    int code;
    std::uint32_t colour;
  } cases[] = {{0, 33, 0x000000},
               {222, 255, 0x000000},
               {223, 33, 0x000080},
               {446, 33, 0x008000},
               {3344, 255, 0xFFFF00},
               {3345, 33, 0x000000},
               {2147483647, 2147483647 % 223 + 33, kFeedbackPalette[2147483647 / 223 % 15]}};
  VisualFeedback feedback;
  feedback.window.visible = true;
  for (const auto& c : cases) {
    ASSERT_TRUE(feedback.showSegment(c.n, {}));
    EXPECT_EQ(feedback.symbolCode, c.code) << c.n;
    EXPECT_EQ(feedback.colour, c.colour) << c.n;
  }
}

TEST(VisualFeedbackTest, NotesHaveTheirExactTexts) {
  const std::string count =
      "Number of segments (20000) is greater than number of character/color combinations "
      "(3345). ";
  const std::string overlap = "\"Overlap\" should not be checked.";
  const struct {
    FeedbackOptions options;
    std::string note;
  } cases[] = {
      {{false, true, 3345}, ""},
      {{false, true, 20000}, "Note: " + count},
      {{true, true, 10}, "Note: " + overlap},
      {{true, true, 20000}, "Note: " + count + "Also " + overlap},
      {{false, false, 20000}, ""},  // the cue list is in use: the count never matters
      {{true, false, 20000}, "Note: " + overlap},
  };
  for (const auto& c : cases) EXPECT_EQ(feedbackNote(c.options), c.note);
}

TEST(VisualFeedbackTest, AHiddenWindowOrAMutedBlockShowsNothing) {
  VisualFeedback feedback;
  int repaints = 0;
  feedback.segmentChanged = [&] { ++repaints; };
  EXPECT_FALSE(feedback.showSegment(5, {true, true, 20000}));
  EXPECT_EQ(feedback.symbolCode, 'A');
  EXPECT_TRUE(feedback.note.empty());
  feedback.window.visible = true;
  EXPECT_FALSE(feedback.showSegment(-1, {}));
  EXPECT_EQ(repaints, 0);
  EXPECT_TRUE(feedback.showSegment(5, {}));  // shown again: the next segment appears
  EXPECT_EQ(feedback.symbolCode, 38);
  EXPECT_EQ(repaints, 1);
}

TEST(ToolWindowStateTest, MenuTogglesAndUserCloseUnchecksOnlyWhileTheMainWindowIsOpen) {
  ToolWindowState window;
  int shown = 0, marks = 0;
  window.changed = [&] { ++shown; };
  window.checkChanged = [&] { ++marks; };
  window.toggle();
  EXPECT_TRUE(window.checked);
  EXPECT_TRUE(window.visible);
  window.toggle();
  EXPECT_FALSE(window.checked);
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(marks, 2);

  window.toggle();
  window.closedByUser(true);  // the title bar's close button or "&Close"
  EXPECT_FALSE(window.checked);
  EXPECT_FALSE(window.visible);

  window.toggle();
  window.closedByUser(false);  // the main window is closing: the mark is remembered
  EXPECT_TRUE(window.checked);
  EXPECT_FALSE(window.visible);
  window.showIfChecked();  // the next start
  EXPECT_TRUE(window.visible);
}

}  // namespace
}  // namespace voxloom
