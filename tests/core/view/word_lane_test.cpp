#include "core/view/word_lane.h"

#include <gtest/gtest.h>

namespace voxloom {
namespace {

// 1000 frames a second, 10 frames a column: a second is 100 columns.
TimeAxis axisOf(double firstFrame) {
  TimeAxis axis;
  axis.setWidth(200);
  axis.setFrameCount(100000);
  axis.zoomAround(0, 50);  // 2000 frames a column -> 10
  axis.scrollTo(firstFrame);
  return axis;
}

TEST(WordLane, BarsTextsAndWhatLiesOutsideTheView) {
  ASSERT_DOUBLE_EQ(axisOf(0).framesPerPixel(), 10);
  const auto width = [](const std::string& s) { return 10.0 * static_cast<double>(s.size()); };
  const std::vector<HeardWord> words = {
      {"before", 0.0, 0.5, 1},   // ends left of the view
      {"edge", 0.9, 1.2, 1},     // starts left of it: text at the edge
      {"long", 1.3, 1.4, 1},     // its text would overlap "edge"'s: no text
      {"tiny", 1.8, 1.8, 1},     // no length: still a column
      {"later", 2.4, 2.6, 1},    // room again
      {"outside", 3.1, 3.5, 1},  // right of the view
  };
  const auto marks = wordLaneMarks(words, axisOf(1000), 1000, width);
  struct Expected {
    std::size_t index;
    double x0, x1;
    bool labelled;
  };
  const Expected expected[] = {
      {1, -10, 20, true}, {2, 30, 40, false}, {3, 80, 81, true}, {4, 140, 160, true}};
  ASSERT_EQ(marks.size(), std::size(expected));
  for (std::size_t i = 0; i < marks.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(marks[i].index, expected[i].index);
    EXPECT_DOUBLE_EQ(marks[i].x0, expected[i].x0);
    EXPECT_DOUBLE_EQ(marks[i].x1, expected[i].x1);
    EXPECT_EQ(marks[i].labelled, expected[i].labelled);
  }
  EXPECT_TRUE(wordLaneMarks(words, axisOf(0), 0, width).empty());  // no rate, no lane
}

}  // namespace
}  // namespace voxloom
