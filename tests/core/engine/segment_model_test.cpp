#include "core/engine/segment_model.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "core/random/random_sources.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

class SegmentModelTest : public ::testing::Test {
 protected:
  SegmentModelTest() {
    options.zeroCrossAdjust.checked = false;
    random.pseudo.seedPseudoRandom(1);  // draws 346, 13854878, 1621890440, 816282396
  }
  PickResult pick(bool muteRepeats = false) {
    return pickSegment(table, options, doc, random, muteRepeats);
  }

  AudioDocument doc;
  SegmentTable table;
  SegmentOptions options;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
};

TEST_F(SegmentModelTest, MillisecondsToFramesTruncatesAndCaps) {
  test::makeConstantSignal(doc, 100000, 0, 44100);
  EXPECT_EQ(msToFrames(80, doc), 3528);
  EXPECT_EQ(msToFrames(10000, doc), 100000);  // capped at the signal
  test::makeConstantSignal(doc, 100000, 0, 8000);
  EXPECT_EQ(msToFrames(1, doc), 8);
  options.duration.value = 120;
  options.duration2.value = 7;
  updateMinFrames(table, options, doc);
  updateMaxFrames(table, options, doc);
  EXPECT_EQ(table.minFrames, 960);
  EXPECT_EQ(table.maxFrames, 56);
}

TEST_F(SegmentModelTest, AdjacentGridUsesTheCappedMinimum) {
  test::makeConstantSignal(doc, 10000, 100);
  table.minFrames = 8000;  // capped to 10000 / 2: starts 0 or 5000
  // Draws with bound 2: 346 -> 0, 13854878 -> 0, 1621890440 -> 1.
  const Frames expected[] = {0, 0, 5000};
  for (const Frames start : expected) {
    const PickResult r = pick();
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.pick.start, start);
    EXPECT_EQ(r.pick.length, 5000);
    EXPECT_EQ(r.pick.segmentNumber, start / 5000);
    EXPECT_EQ(r.pick.cueIndex, -1);
    EXPECT_EQ(table.segmentCount, 2);
  }
}

TEST_F(SegmentModelTest, EqualDurationsDrawOnlyTheStart) {
  test::makeConstantSignal(doc, 10000, 100);
  table.minFrames = table.maxFrames = 800;
  options.segTo.checked = true;
  ASSERT_TRUE(pick().ok());
  PickResult r = pick();
  EXPECT_EQ(r.pick.length, 800);
  PseudoRng reference;
  reference.seedPseudoRandom(1);
  reference.nextPseudoRandom();
  reference.nextPseudoRandom();
  EXPECT_EQ(random.pseudo.state(), reference.state());
}

TEST_F(SegmentModelTest, OverlapDrawsLengthThenStartAndCutsAtTheEnd) {
  test::makeConstantSignal(doc, 10000, 100);
  table.minFrames = 1000;
  table.maxFrames = 3000;
  options.segTo.checked = true;
  options.overlap.checked = true;
  // Seed 1000070 draws 346024224 (length 2000 * v / 2^31 + 1000 = 1322) and
  // 2084897672 (start 9001 * v / 2^31 = 8738): the length is cut to the signal's end.
  random.pseudo.seedPseudoRandom(1000070);
  const PickResult r = pick();
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.pick.start, 8738);
  EXPECT_EQ(r.pick.length, 10000 - 8738);
  EXPECT_EQ(r.pick.segmentNumber, 8);
  EXPECT_EQ(table.segmentCount, 10);
}

TEST_F(SegmentModelTest, ReversedDurationsSwapRolesAndExcludeTheLargerBound) {
  test::makeConstantSignal(doc, 100000, 100, 8000);
  options.duration.value = 120;  // 960 frames
  options.duration2.value = 80;  // 640 frames
  options.segTo.checked = true;
  updateMinFrames(table, options, doc);
  updateMaxFrames(table, options, doc);
  Frames shortest = 100000;
  Frames longest = 0;
  for (int i = 0; i < 3000; ++i) {
    const PickResult r = pick();
    ASSERT_TRUE(r.ok());
    shortest = std::min(shortest, r.pick.length);
    longest = std::max(longest, r.pick.length);
    ASSERT_EQ(r.pick.start % 960, 0);  // the grid is the "From" length
  }
  EXPECT_GE(shortest, 640);
  EXPECT_LT(shortest, 660);
  EXPECT_EQ(longest, 959);
}

// Properties that must hold for every combination: picks stay in the signal, adjacent
// starts lie on the grid, and cross-fading leaves room for two lengths after a start.
TEST_F(SegmentModelTest, PicksNeverLeaveTheSignal) {
  std::vector<int> samples(9001);
  PseudoRng noise;
  noise.seedPseudoRandom(7);
  for (int& s : samples) s = noise.nextPseudoRandom() % 2001 - 1000;
  test::makeSignal(doc, 1, 16, 8000, samples);
  for (int combo = 0; combo < 16; ++combo) {
    options.segTo.checked = combo & 1;
    options.overlap.checked = combo & 2;
    options.zeroCrossAdjust.checked = combo & 4;
    options.crossFade.checked = combo & 8;
    for (const auto& [lo, hi] : {std::pair{100, 700}, {5000, 20}, {9001, 9001}, {1, 2}}) {
      table.minFrames = lo;
      table.maxFrames = hi;
      const Frames cap = options.crossFade.on() ? 3000 : 4500;
      const Frames grid = std::min(lo, cap);
      const Frames longest = std::min(options.segTo.on() ? std::max(lo, hi) : lo, cap);
      for (int i = 0; i < 200; ++i) {
        const PickResult r = pick();
        ASSERT_TRUE(r.ok());
        const SegmentPick& p = r.pick;
        ASSERT_GE(p.start, 0);
        ASSERT_GE(p.length, 0);
        ASSERT_LE(p.start + p.length, doc.frameCount);
        if (!options.zeroCrossAdjust.on()) {
          if (!options.overlap.on()) {
            ASSERT_EQ(p.start % grid, 0) << combo;
          }
          if (options.crossFade.on()) {
            ASSERT_LE(p.start + 2 * longest, doc.frameCount);
          }
          ASSERT_LE(p.length, longest);
        }
      }
    }
  }
}

TEST_F(SegmentModelTest, CuePicksStayInsideTheSignal) {
  test::makeConstantSignal(doc, 5000, 100);
  doc.cues = {test::cue(1000, 0), test::cue(4800, 500), test::cue(7000, 500)};
  options.useCueList.checked = true;
  updateSegmentControls(options, 0, doc.cueCount());
  options.zeroCrossAdjust.checked = false;
  // Draws with bound 3: 346 -> 0, 13854878 -> 0, 1621890440 -> 2, 816282396 -> 1.
  PickResult r = pick();
  EXPECT_EQ(r.pick.start, 1000);
  EXPECT_EQ(r.pick.length, 4000);  // a cue without region runs to the end
  EXPECT_EQ(r.pick.cueIndex, 0);
  EXPECT_EQ(table.segmentCount, 3);
  PseudoRng reference;
  reference.seedPseudoRandom(1);
  reference.nextPseudoRandom();
  EXPECT_EQ(random.pseudo.state(), reference.state());  // one draw per cue pick
  pick();
  r = pick();  // wholly beyond the end: an empty segment at the end
  EXPECT_EQ(r.pick.start, 5000);
  EXPECT_EQ(r.pick.length, 0);
  EXPECT_EQ(r.pick.segmentNumber, 2);
  r = pick();  // region crossing the end is cut
  EXPECT_EQ(r.pick.start, 4800);
  EXPECT_EQ(r.pick.length, 200);
}

TEST_F(SegmentModelTest, ZeroCrossingSearch) {
  test::makeSignal(doc, 1, 16, 8000, {5, 3, -2, -4, 0, 7, 8, -1, 2, 9, 4});
  EXPECT_EQ(findRisingZeroCrossing(doc, 0), 0);  // nothing before frame 0 counts as 0
  EXPECT_EQ(findRisingZeroCrossing(doc, 1), 4);  // zero after a negative stretch
  EXPECT_EQ(findRisingZeroCrossing(doc, 5), 5);  // positive after a zero
  EXPECT_EQ(findRisingZeroCrossing(doc, 6), 8);
  EXPECT_EQ(findRisingZeroCrossing(doc, 9), 9);  // no crossing left: unchanged
  EXPECT_EQ(findRisingZeroCrossing(doc, 11), 11);
  EXPECT_EQ(findRisingZeroCrossing(doc, 50), 50);  // never reads outside

  // Stereo: only the left channel decides.
  test::makeSignal(doc, 2, 8, 8000, {10, -5, -3, 9, 4, -9});
  EXPECT_EQ(findRisingZeroCrossing(doc, 1), 2);
}

TEST_F(SegmentModelTest, ZeroCrossAdjustmentMovesBothBordersAndMuteRule) {
  std::vector<int> s = {-1, -1, 3, 3, 3, 3, 3, -2, -2};
  s.resize(20, 4);
  test::makeSignal(doc, 1, 16, 8000, s);
  table.minFrames = 5;  // grid of 5, bound (20 - 5) / 5 + 1 = 4: draws 0, 0, 3
  options.zeroCrossAdjust.checked = true;
  table.lastStart = 0;
  PickResult r = pick(true);
  EXPECT_EQ(r.pick.start, 2);
  EXPECT_EQ(r.pick.length, 7);  // end 7 moves to the crossing at 9
  EXPECT_EQ(r.pick.segmentNumber, 0);
  EXPECT_FALSE(r.pick.muted);
  r = pick(true);
  EXPECT_TRUE(r.pick.muted);  // same start while the slider rests
  r = pick(true);
  EXPECT_EQ(r.pick.start, 15);  // no crossing after 15: start and end stay
  EXPECT_EQ(r.pick.length, 5);
  EXPECT_FALSE(r.pick.muted);
  EXPECT_EQ(table.lastStart, 15);
  random.pseudo.seedPseudoRandom(1);
  table.lastStart = 2;
  EXPECT_FALSE(pick(false).pick.muted);
}

TEST_F(SegmentModelTest, NoGridFailsWithoutDrawing) {
  const auto before = random.pseudo.state();
  EXPECT_EQ(pick().status, PickStatus::NoSignal);

  test::makeConstantSignal(doc, 1, 100);
  table.minFrames = 1;
  EXPECT_EQ(pick().status, PickStatus::SignalTooShort);  // 1 / 2 = 0
  EXPECT_EQ(random.pseudo.state(), before);

  test::makeConstantSignal(doc, 2, 100);
  EXPECT_TRUE(pick().ok());
  options.crossFade.checked = true;
  EXPECT_EQ(pick().status, PickStatus::SignalTooShort);  // 2 / 3 = 0

  test::makeConstantSignal(doc, 5000, 100, 500);
  options.duration.value = 1;
  updateMinFrames(table, options, doc);
  EXPECT_EQ(table.minFrames, 0);
  EXPECT_EQ(pick().status, PickStatus::SignalTooShort);
  EXPECT_STRNE(pickFailureText(PickStatus::SignalTooShort), "");
}

TEST_F(SegmentModelTest, StopDuringAPickMakesItsDrawsZero) {
  test::makeConstantSignal(doc, 10000, 100);
  table.minFrames = 1000;
  stop.stopRequested = true;
  const PickResult r = pick();
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.pick.start, 0);
  EXPECT_EQ(r.pick.length, 1000);
}

}  // namespace
}  // namespace voxloom
