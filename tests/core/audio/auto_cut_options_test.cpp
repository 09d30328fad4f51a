#include "core/audio/auto_cut_options.h"

#include <gtest/gtest.h>

namespace voxloom {
namespace {

TEST(AutoCutOptions, SpinEditChangesSelectManual) {
  AutoCutOptions options;
  EXPECT_EQ(options.thresholdPercent, 30);
  EXPECT_EQ(options.frameSizeMs, 15);
  EXPECT_TRUE(options.automatic());
  options.thresholdChange(140);
  EXPECT_EQ(options.thresholdPercent, 100);
  EXPECT_FALSE(options.automatic());
  options.radioGroupThresholdClick(AutoCutOptions::kAutomatic);
  options.thresholdClick();
  EXPECT_FALSE(options.automatic());
  options.radioGroupThresholdClick(5);
  EXPECT_FALSE(options.automatic());
  options.frameSizeChange(0);
  EXPECT_EQ(options.frameSizeMs, 1);
}

}  // namespace
}  // namespace voxloom
