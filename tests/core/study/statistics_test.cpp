#include "core/study/statistics.h"

#include <gtest/gtest.h>

#include <vector>

namespace voxloom {
namespace {

// Expected values come from enumerating every arrangement of the pooled values (exact
// cases) and from the textbook formula with tie correction (the others), worked out
// apart from this code.
struct MannWhitneyCase {
  const char* name;
  std::vector<double> x;
  std::vector<double> y;
  double u;
  double p;
  bool exact;
};

std::vector<double> range(int from, int to) {
  std::vector<double> out;
  for (int v = from; v <= to; ++v) out.push_back(v);
  return out;
}

TEST(MannWhitney, MatchesValuesWorkedOutByHand) {
  const std::vector<MannWhitneyCase> cases = {
      {"x all below", {1, 2, 3}, {4, 5, 6}, 0, 0.1, true},
      {"x all above", {4, 5, 6}, {1, 2, 3}, 9, 0.1, true},
      {"interleaved", {1, 3, 5}, {2, 4, 6}, 3, 0.7, true},
      {"one each", {1.5}, {0.5}, 1, 1.0, true},
      {"unequal sizes", {3.1, 4.2, 6.0, 7.7, 9.9}, {1.0, 2.2, 5.0}, 13, 1.0 / 7.0, true},
      {"four and six", {10, 20, 30, 40}, {15, 25, 35, 45, 55, 65}, 6, 0.2571428571428571, true},
      {"twelve and ten",
       {2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24},
       {9, 11, 13, 15, 17, 19, 21, 23, 25, 27},
       36,
       0.12291114458297121,
       true},
      {"twenty each, apart", range(1, 20), range(21, 40), 0, 1.4508889103849688e-11, true},
      {"ties across arms", {1, 2, 2, 3}, {2, 3, 4, 4}, 2.5, 0.1341691801, false},
      {"many zeros", {0, 0, 0, 1, 2}, {0, 1, 1, 3, 3, 4}, 6.5, 0.1302576767, false},
      {"twenty-one each", range(1, 21), range(22, 42), 0, 3.125399998e-08, false},
      {"all equal", {2, 2, 2}, {2, 2}, 3, 1.0, false},
  };
  for (const MannWhitneyCase& c : cases) {
    const MannWhitney r = mannWhitneyU(c.x, c.y);
    EXPECT_DOUBLE_EQ(r.u, c.u) << c.name;
    EXPECT_NEAR(r.p, c.p, c.p * 1e-8) << c.name;
    EXPECT_EQ(r.exact, c.exact) << c.name;
  }
}

TEST(Bootstrap, IntervalOfConstantArmsIsTheirDifference) {
  const Interval i =
      bootstrapMeanDifference(std::vector<double>{5, 5, 5}, std::vector<double>{3, 3}, 7);
  EXPECT_EQ(i.low, 2.0);
  EXPECT_EQ(i.high, 2.0);
}

TEST(Bootstrap, TakesTheTwoAndAHalfPercentPoints) {
  // Resampled means of {0, 1} are 0, 1/2 and 1 with chances 1/4, 1/2, 1/4: both tails
  // of 2.5 % lie inside the outer values. Taking the extremes or one tail twice fails.
  const Interval i = bootstrapMeanDifference(std::vector<double>{0, 1}, std::vector<double>{0}, 11);
  EXPECT_EQ(i.low, 0.0);
  EXPECT_EQ(i.high, 1.0);
  const Interval wide = bootstrapMeanDifference(std::vector<double>{0, 0, 0, 0, 0, 0, 0, 0, 0, 9},
                                                std::vector<double>{0}, 3);
  // One 9 among ten: a resample holds none 35 % of the time, three or more 7 %, four or
  // more 1.3 %: the 97.5 % point is three nines.
  EXPECT_EQ(wide.low, 0.0);
  EXPECT_NEAR(wide.high, 2.7, 1e-12);
}

TEST(Bootstrap, SameSeedSameIntervalOtherSeedOther) {
  const std::vector<double> x = {1, 4, 2, 8, 5, 7};
  const std::vector<double> y = {3, 1, 0, 2, 2};
  const Interval a = bootstrapMeanDifference(x, y, 42);
  const Interval b = bootstrapMeanDifference(x, y, 42);
  const Interval c = bootstrapMeanDifference(x, y, 43, 101);
  EXPECT_EQ(a.low, b.low);
  EXPECT_EQ(a.high, b.high);
  EXPECT_LT(a.low, 3.7);  // the observed difference lies well inside
  EXPECT_GT(a.high, 3.7);
  EXPECT_NE(a.low, c.low);
}

}  // namespace
}  // namespace voxloom
