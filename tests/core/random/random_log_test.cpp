#include "core/random/random_log.h"

#include <gtest/gtest.h>

#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

// Values that could not be written are reported when the log closes, not dropped.
TEST(RandomLog, WriteErrorsShowWhenTheLogCloses) {
  test::ScriptedPrompter prompter;
  RandomLog log;
  log.logEnabled = true;
  log.logStartNew = true;
  log.logFileName = "/dev/full";
  ASSERT_TRUE(log.openRandomLog(prompter));
  for (int i = 0; i < 10000; ++i) log.logRandomValue("1234567");  // past the stdio buffer
  EXPECT_FALSE(log.closeRandomLog());
  EXPECT_TRUE(log.closeRandomLog());  // closed: nothing more to report

  log.logFileName = test::tempDir() + "/log.txt";
  ASSERT_TRUE(log.openRandomLog(prompter));  // a new open starts without the old failure
  log.logRandomValue("42");
  EXPECT_TRUE(log.closeRandomLog());
  EXPECT_EQ(test::readWholeFile(log.logFileName), (std::vector<std::uint8_t>{'4', '2', '\n'}));
  EXPECT_EQ(cannotWriteLogText("/dev/full"), "Can't write to output log file '/dev/full'.");
}

}  // namespace
}  // namespace voxloom
