#include "core/engine/segment_options.h"

#include <gtest/gtest.h>

namespace voxloom {
namespace {

TEST(SnapSpinValueTest, SpinClicksJumpBetweenRoundNumbers) {
  EXPECT_EQ(snapSpinValue(25, 26), 30);
  EXPECT_EQ(snapSpinValue(30, 29), 25);
  EXPECT_EQ(snapSpinValue(1000, 1001), 1100);
  EXPECT_EQ(snapSpinValue(1000, 999), 950);
  EXPECT_EQ(snapSpinValue(2600, 2599), 2500);
  EXPECT_EQ(snapSpinValue(24, 25), 25);
  EXPECT_EQ(snapSpinValue(97, 98), 100);
  EXPECT_EQ(snapSpinValue(250, 249), 240);
  EXPECT_EQ(snapSpinValue(9000, 9001), 9500);
  EXPECT_EQ(snapSpinValue(80, 333), 333);  // typed
}

TEST(SnapSpinValueTest, FirstChangeIsNeverSnappedAndTheRangeStillApplies) {
  SegmentSpin spin{80};
  EXPECT_EQ(applySpinChange(spin, 0, 1, 10000), 1);  // -1 + 1: a "step" from nothing
  spin.previous = -1;
  EXPECT_EQ(applySpinChange(spin, 81, 1, 10000), 81);
  EXPECT_EQ(spin.previous, 81);
  EXPECT_EQ(applySpinChange(spin, 82, 1, 10000), 85);
  EXPECT_EQ(applySpinChange(spin, 84, 1, 10000), 80);
  spin.previous = 10000;
  EXPECT_EQ(applySpinChange(spin, 10001, 1, 10000), 10000);  // 10500 clamped
  EXPECT_EQ(spin.previous, 10000);
}

TEST(SegmentControlsTest, CueModeDisablesTheGridOptions) {
  SegmentOptions o;
  o.useCueList.checked = true;
  o.crossFade.checked = true;
  o.segTo.checked = true;
  updateSegmentControls(o, 0, 5);
  EXPECT_TRUE(o.useCueList.enabled);
  EXPECT_FALSE(o.segTo.enabled);
  EXPECT_FALSE(o.overlap.enabled);
  EXPECT_FALSE(o.crossFade.enabled);
  EXPECT_FALSE(o.duration.enabled);
  EXPECT_FALSE(o.duration2.enabled);
  EXPECT_TRUE(o.zeroCrossAdjust.enabled);  // stays available with cues
  EXPECT_FALSE(o.crossFade.on());
  EXPECT_TRUE(cueListInUse(o, 5));
  EXPECT_EQ(o.duration.colour, ControlColour::ButtonFace);

  // Without cues the same check marks give the grid back, and the cue box goes grey.
  updateSegmentControls(o, 0, 0);
  EXPECT_FALSE(o.useCueList.enabled);
  EXPECT_FALSE(cueListInUse(o, 0));
  EXPECT_TRUE(o.crossFade.on());
  EXPECT_FALSE(o.zeroCrossAdjust.enabled);  // never with cross-fading on the grid
  EXPECT_TRUE(o.duration2.enabled);
  EXPECT_EQ(o.duration.colour, ControlColour::Window);
  EXPECT_EQ(o.duration2.colour, ControlColour::Window);
}

TEST(SegmentControlsTest, DefaultsLockedModeAndUnknownMode) {
  SegmentOptions o;
  updateSegmentControls(o, 0, 0);
  EXPECT_TRUE(o.zeroCrossAdjust.on());
  EXPECT_FALSE(o.duration2.enabled);  // "To" is off
  EXPECT_EQ(o.duration2.colour, ControlColour::ButtonFace);

  updateSegmentControls(o, 1, 3);
  for (const SegmentCheck* c :
       {&o.useCueList, &o.segTo, &o.overlap, &o.zeroCrossAdjust, &o.crossFade}) {
    EXPECT_FALSE(c->enabled);
  }
  EXPECT_FALSE(o.duration.enabled);
  EXPECT_EQ(o.duration.colour, ControlColour::ButtonFace);

  const SegmentOptions before = o;
  updateSegmentControls(o, 2, 3);
  EXPECT_EQ(o.duration.enabled, before.duration.enabled);
  EXPECT_EQ(o.useCueList.enabled, before.useCueList.enabled);
}

}  // namespace
}  // namespace voxloom
