#include "core/util/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>

namespace voxloom {
namespace {

TEST(NumberText, WholeNumbersTakeTheWholeTextWithinTheirRange) {
  struct Case {
    const char* text;
    std::optional<int> expected;
  };
  const Case cases[] = {
      {"7", 7},
      {"0", 0},
      {"-3", std::nullopt},  // below the range
      {"100", 100},
      {"101", std::nullopt},  // above it
      {"", std::nullopt},
      {"+7", std::nullopt},
      {" 7", std::nullopt},
      {"7 ", std::nullopt},
      {"7x", std::nullopt},
      {"0x10", std::nullopt},
      {"99999999999", std::nullopt},  // beyond int
  };
  for (const Case& c : cases)
    EXPECT_EQ(parseWholeNumber<int>(c.text, 0, 100), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(parseWholeNumber<std::uint64_t>("18446744073709551615"), UINT64_MAX);
  EXPECT_EQ(parseWholeNumber<std::uint64_t>("-1"), std::nullopt);
}

TEST(NumberText, DecimalsTakeTheWholeTextWithAPoint) {
  EXPECT_EQ(parseDecimal<double>("2.5"), 2.5);
  EXPECT_EQ(parseDecimal<double>("1e3"), 1000.0);
  EXPECT_EQ(parseDecimal<long double>("-0.25"), -0.25L);
  EXPECT_TRUE(std::isinf(*parseDecimal<double>("inf")));  // callers refuse it themselves
  for (const char* text : {"", "2,5", "2.5s", " 2.5", "+2.5", "1e999"})
    EXPECT_EQ(parseDecimal<double>(text), std::nullopt) << '"' << text << '"';
}

}  // namespace
}  // namespace voxloom
