#include "core/engine/segment_sequencer.h"

#include <gtest/gtest.h>

#include "core/random/random_sources.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

class SequencerTest : public ::testing::Test {
 protected:
  SequencerTest() {
    test::makeConstantSignal(doc, 10000, 1000);
    options.zeroCrossAdjust.checked = false;
    table.minFrames = 1000;
    random.pseudo.seedPseudoRandom(1);  // bound 10: draws 0, 0, 7
  }

  AudioDocument doc;
  SegmentTable table;
  SegmentOptions options;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
  RendererState renderer;
  SequencerContext context{table, options, doc, random, renderer};
};

TEST_F(SequencerTest, PlainBlocksAreWindowsIntoTheSignal) {
  makeNextBlock(context, 0, false);
  makeNextBlock(context, 1, false);
  const NextBlock block = makeNextBlock(context, 2, false);
  ASSERT_EQ(block.status, BlockStatus::Ready);
  EXPECT_EQ(block.pick.start, 7000);
  EXPECT_EQ(block.data, doc.samples.get() + 7000 * 2);
  EXPECT_EQ(block.bytes, 2000);
  EXPECT_EQ(block.userValue, 7);
  EXPECT_FALSE(block.fade);
  EXPECT_TRUE(block.recordable);
  EXPECT_EQ(renderer.renderBuffers[2], nullptr);
}

TEST_F(SequencerTest, CrossFadedBlocksUseTheSlotBufferAndKeepThePickStart) {
  options.crossFade.checked = true;  // grid of 1000, reserve 2000: bound 9 -> 0, 0, 6
  renderer.prevEnd = -1;
  makeNextBlock(context, 0, false);
  makeNextBlock(context, 1, false);
  const NextBlock block = makeNextBlock(context, 3, false);
  EXPECT_TRUE(block.fade);
  EXPECT_EQ(block.data, renderer.renderBuffers[3].get());
  EXPECT_EQ(block.pick.start, 6000);  // recorded start, not the renderer's 0
  EXPECT_EQ(block.length, 1000);
  EXPECT_EQ(renderer.prevEnd, 7000);
}

TEST_F(SequencerTest, FadedCuesAreHalvedAndCarryTheirLabel) {
  doc.cues = {test::cue(100, 901, "ah")};
  options.useCueList = {true, true};
  options.crossFade.checked = true;  // both counted when set past the enabling rules
  const NextBlock block = makeNextBlock(context, 0, false);
  EXPECT_EQ(block.pick.length, 901);
  EXPECT_EQ(block.length, 450);
  EXPECT_EQ(block.bytes, 900);
  EXPECT_EQ(block.label, "ah");
  EXPECT_EQ(block.userValue, 0);
}

TEST_F(SequencerTest, MutedStoppedAndImpossibleBlocks) {
  table.lastStart = 0;
  NextBlock block = makeNextBlock(context, 0, true);
  EXPECT_TRUE(block.pick.muted);
  EXPECT_EQ(block.bytes, 0);
  EXPECT_FALSE(block.recordable);

  // A source failing during the pick: the block is still made, but not recorded.
  random.randomKind = RandomSourceKind::ParallelPort;
  block = makeNextBlock(context, 0, false);
  EXPECT_EQ(block.status, BlockStatus::Ready);
  EXPECT_FALSE(block.recordable);
  block = makeNextBlock(context, 0, false);
  EXPECT_EQ(block.status, BlockStatus::Stopped);

  stop.stopRequested = false;
  random.randomKind = RandomSourceKind::PseudoRng;
  table.minFrames = 0;
  block = makeNextBlock(context, 0, false);
  EXPECT_EQ(block.status, BlockStatus::NoPick);
  EXPECT_EQ(block.pickStatus, PickStatus::SignalTooShort);
  EXPECT_EQ(block.bytes, 0);
}

}  // namespace
}  // namespace voxloom
