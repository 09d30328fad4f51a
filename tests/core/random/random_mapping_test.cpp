#include "core/random/random_mapping.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "core/random/bitwise_convert.h"
#include "core/random/service_host.h"

namespace voxloom {
namespace {

TEST(RandomMappingTest, EveryMappingGivesZeroForBoundOne) {
  EXPECT_EQ(scaleFrom31Bits(2147483647, 1), 0);
  EXPECT_EQ(scaleFromSample16(32767, 1), 0);
  EXPECT_EQ(scaleFromWord(0xFFFFFFFFu, 1), 0);
  EXPECT_EQ(scaleFromFractal(0.999999L, 1), 0);
  EXPECT_EQ(scaleFromService(-123, 1), 0);
  EXPECT_EQ(scaleFromService(2147483647, 1), 0);
}

TEST(RandomMappingTest, ExtremeRawValuesStayInsideTheRange) {
  const std::int32_t n = 2147483647;  // the products need 64 bits
  EXPECT_EQ(scaleFrom31Bits(2147483647, n), n - 1);
  EXPECT_EQ(scaleFrom31Bits(0, n), 0);
  EXPECT_EQ(scaleFromSample16(-32768, 10), 0);
  EXPECT_EQ(scaleFromSample16(32767, 10), 9);
  EXPECT_EQ(scaleFromSample16(0, 10), 5);
  EXPECT_EQ(scaleFromWord(0xFFFFFFFFu, n), n - 1);
  EXPECT_EQ(scaleFromWord(0x80000000u, 10), 5);  // unsigned, not negative
  EXPECT_EQ(scaleFrom31Bits(346, 100), 0);
  EXPECT_EQ(scaleFrom31Bits(1621890440, 100), 75);
}

TEST(RandomMappingTest, FractalAndServiceValuesOutsideTheirRangeAreBroughtIn) {
  EXPECT_EQ(scaleFromFractal(0.55L, 10), 5);
  EXPECT_EQ(scaleFromFractal(1.0L, 10), 9);  // r = 4 from x = 0.5 reaches 1.0
  EXPECT_EQ(scaleFromFractal(7.5L, 10), 9);
  EXPECT_EQ(scaleFromFractal(-0.3L, 10), 0);
  EXPECT_EQ(scaleFromFractal(std::numeric_limits<long double>::quiet_NaN(), 10), 0);
  EXPECT_EQ(scaleFromService(17, 5), 2);
  EXPECT_EQ(scaleFromService(-1, 5), 4);
  EXPECT_EQ(scaleFromService(-10, 5), 0);
}

TEST(RandomMappingTest, FractalLogTextHas15SignificantDigits) {
  EXPECT_EQ(fractalLogText(0.5L), "0.5");
  EXPECT_EQ(fractalLogText(0.123456789012345678L), "0.123456789012346");
}

TEST(BitwiseConvertTest, TrendBitsAgainstThePreviousValue) {
  std::array<std::int16_t, 32> same;
  same.fill(100);
  std::int32_t previous = 99;  // the first value rises, the rest keep the bit
  EXPECT_EQ(bitwiseConvert(same, previous), 0xFFFFFFFFu);
  EXPECT_EQ(previous, 100);
  EXPECT_EQ(bitwiseConvert(same, previous), 0u);  // equal to the previous call's last

  std::array<std::int16_t, 32> alternating;
  for (int i = 0; i < 32; ++i) alternating[static_cast<std::size_t>(i)] = i % 2 ? -5 : 5;
  previous = 0;
  EXPECT_EQ(bitwiseConvert(alternating, previous), 0xAAAAAAAAu);  // first bit most significant
  EXPECT_EQ(previous, -5);
}

TEST(BitwiseConvertTest, FractalValuesKeepTheirOwnPrevious) {
  std::array<long double, 32> values;
  for (int i = 0; i < 32; ++i) values[static_cast<std::size_t>(i)] = 0.5L - i * 0.01L;
  long double previous = 0.25L;  // first value rises, then every value falls
  EXPECT_EQ(bitwiseConvert(values, previous), 0x80000000u);
  EXPECT_EQ(previous, values[31]);
}

TEST(ServiceHostTest, HostOfUrlTemplates) {
  EXPECT_EQ(serviceHost("https://www.random.org/integers/?num=%num%"), "www.random.org");
  EXPECT_EQ(serviceHost("http://localhost:8080?x=1"), "localhost:8080");
  EXPECT_EQ(serviceHost("example.org/path?q"), "example.org");
  EXPECT_EQ(serviceHost("host?q=/a"), "host");
}

}  // namespace
}  // namespace voxloom
