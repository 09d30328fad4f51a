#include "core/app/window_arguments.h"

#include <gtest/gtest.h>

namespace voxloom {
namespace {

TEST(WindowArguments, OptionsComeBeforeFiles) {
  auto a = parseWindowArguments({"--seed", "42", "--settings", "/t/v.ini", "a.wav", "--seed"});
  EXPECT_TRUE(a.error.empty());
  EXPECT_EQ(a.seed, 42u);
  EXPECT_EQ(a.settingsPath, "/t/v.ini");
  EXPECT_EQ(a.files, (std::vector<std::string>{"a.wav", "--seed"}));
  EXPECT_FALSE(parseWindowArguments({"--seed", "x1"}).error.empty());
  EXPECT_FALSE(parseWindowArguments({"--settings"}).error.empty());
  EXPECT_EQ(parseWindowArguments({"--", "--seed"}).files, std::vector<std::string>{"--seed"});
  // --help and --version are options, not files of an unknown type.
  EXPECT_TRUE(parseWindowArguments({"--help"}).help);
  EXPECT_TRUE(parseWindowArguments({"--seed", "1", "--version"}).version);
  EXPECT_TRUE(parseWindowArguments({"--help"}).files.empty());
  EXPECT_FALSE(parseWindowArguments({"a.wav", "--help"}).help);
}

}  // namespace
}  // namespace voxloom
