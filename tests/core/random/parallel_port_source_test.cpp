#include "core/random/parallel_port_source.h"

#include <gtest/gtest.h>

#include "core/ports/queued_event_loop.h"
#include "core/random/random_sources.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_port_driver.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

class ScriptedPortDialog : public ParallelPortDialog {
 public:
  bool answer = true;
  std::function<void(ParallelPortDialogState&)> edit;
  int shown = 0;
  bool askParallelPort(ParallelPortDialogState& state) override {
    ++shown;
    if (edit) edit(state);
    return answer;
  }
};

class ParallelPortSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ParallelPortSource& p = random.parallelPort;
    p.driver = &driver;
    p.clock = &clock;
    p.loop = &loop;
    p.dialog = &dialog;
    clock.steadyStep = 1000;  // 1 us a read; the default rate's period is 10 us
  }
  SelectOutcome select(bool interactive = true) {
    return random.selectRandomSource(RandomSourceKind::ParallelPort, "", "", interactive);
  }

  test::FakePortDriver driver;
  test::FakeClock clock;
  QueuedEventLoop loop;
  ScriptedPortDialog dialog;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
};

TEST_F(ParallelPortSourceTest, ProbedPortsFillTheDialog) {
  driver.ports = {{0x3BC, "/dev/parport1"}, {0x278, "/dev/parport0"}};
  random.parallelPort.loadAndProbe();
  const ParallelPortDialogState& d = random.parallelPort.dialogState;
  EXPECT_EQ(d.portList, (std::vector<std::string>{"278", "3BC"}));
  EXPECT_EQ(d.portAddressText, "278");
  EXPECT_FALSE(d.noPortsText);

  ParallelPortSource none;
  test::FakePortDriver empty;
  empty.ports.clear();
  none.driver = &empty;
  none.loadAndProbe();
  EXPECT_TRUE(none.dialogState.portList.empty());
  EXPECT_TRUE(none.dialogState.noPortsText);
}

TEST_F(ParallelPortSourceTest, SelectionChecksAndTheirMessages) {
  const std::string setup = kPortSetupPrefix;
  struct Case {
    const char* name;
    bool loaded;
    std::string address;
    std::string rate;
    int line;
    std::string openFailure;
    std::string message;  // "" when selected
  };
  const std::vector<Case> cases = {
      {"ok", true, "378", "100000", 4, "", ""},
      {"no driver", false, "378", "100000", 3, "",
       std::string(kPortUnusablePrefix) + kNoPortDriverText},
      {"address not hex", true, "37G", "100000", 3, "",
       setup + "'37G' is not a valid port address."},
      {"empty rate", true, "378", "", 3, "", setup + "'' is not a valid integer value."},
      {"huge rate", true, "378", "99999999999", 3, "",
       setup + "'99999999999' is not a valid integer value."},
      {"zero rate", true, "378", "0", 3, "", setup + "The sample rate must be at least 1 Hz."},
      {"negative rate", true, "378", "-5", 3, "", setup + "The sample rate must be at least 1 Hz."},
      {"line outside", true, "378", "100", 5, "", setup + kInvalidInputLineText},
      {"no such port", true, "278", "100", 3, "",
       setup + "there is no parallel port at address 278."},
      {"no permission", true, "378", "100", 3, "can't open /dev/parport0: Permission denied.",
       setup + "can't open /dev/parport0: Permission denied."},
  };
  for (const Case& c : cases) {
    prompter.shown.clear();
    driver.isLoaded = c.loaded;
    driver.openFailure = c.openFailure;
    random.parallelPort.loadAndProbe();
    dialog.edit = [&](ParallelPortDialogState& s) {
      s.portAddressText = c.address;
      s.sampleRateText = c.rate;
      s.inputLineIndex = c.line;
      s.unbiasMethod = 2;
    };
    const SelectOutcome outcome = select();
    if (c.message.empty()) {
      EXPECT_EQ(outcome, SelectOutcome::Selected) << c.name;
      EXPECT_EQ(random.parallelPort.portAddress, 0x378u);
      EXPECT_EQ(random.parallelPort.inputBit, 3);  // "15 - Error"
      EXPECT_EQ(random.parallelPort.unbiasMethod, 2);
      EXPECT_EQ(driver.openedDevice, "/dev/parport0");
      // Selected before: a failing selection falls back to the pseudo generator.
      EXPECT_EQ(random.randomKind, RandomSourceKind::ParallelPort);
      continue;
    }
    EXPECT_EQ(outcome, SelectOutcome::Failed) << c.name;
    ASSERT_EQ(prompter.shown.size(), 1u) << c.name;
    EXPECT_EQ(prompter.shown[0].title, "Error");
    EXPECT_EQ(prompter.shown[0].text, c.message) << c.name;
    EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng) << c.name;
  }
}

TEST_F(ParallelPortSourceTest, CancellingTheDialogChangesNothing) {
  random.parallelPort.loadAndProbe();
  dialog.answer = false;
  EXPECT_EQ(select(), SelectOutcome::Cancelled);
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng);
}

TEST_F(ParallelPortSourceTest, WordsAreSampledOnTheGridAndUnbiased) {
  random.parallelPort.loadAndProbe();
  ASSERT_EQ(select(false), SelectOutcome::Selected);  // "13 - Select": bit 4
  // Method 0: one status read a bit, the first the most significant.
  for (int i = 0; i < 32; ++i)
    driver.statuses.push_back(static_cast<std::uint16_t>(i % 2 == 0 ? 0x10 : 0xEF));
  random.log.logEnabled = false;
  clock.steadyReads = 0;
  const std::int64_t start = clock.steady;
  random.drawRandom(2);
  EXPECT_EQ(driver.reads, 32);
  // 31 waits of 10 us on a clock that moves 1 us a read.
  EXPECT_GE(clock.steady - start, 31 * 10000);
  EXPECT_LE(clock.steady - start, 31 * 10000 + 2000);

  // The word itself, through the raw mapping of the full range.
  for (int i = 0; i < 32; ++i)
    driver.statuses.push_back(static_cast<std::uint16_t>(i % 2 == 0 ? 0x10 : 0x00));
  EXPECT_EQ(random.parallelPort.readPortWord(random.stop(), random.prompter()), 0xAAAAAAAAu);

  // XOR of a constant input is always 0.
  random.parallelPort.unbiasMethod = kUnbiasXor;
  driver.idle = 0xFF;
  EXPECT_EQ(random.parallelPort.readPortWord(random.stop(), random.prompter()), 0u);
  EXPECT_FALSE(stop.stopRequested);
}

TEST_F(ParallelPortSourceTest, AStuckGeneratorIsReportedAfter256EqualPairs) {
  random.parallelPort.loadAndProbe();
  ASSERT_EQ(select(false), SelectOutcome::Selected);
  random.parallelPort.unbiasMethod = kUnbiasVonNeumann;
  int focused = 0;
  random.parallelPort.focusDialog = [&] { ++focused; };
  driver.idle = 0x10;
  driver.reads = 0;
  EXPECT_EQ(random.drawRandom(100), 0);
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_EQ(driver.reads, 512);
  EXPECT_EQ(prompter.log(), std::vector<std::string>{std::string("Error: ") + kNoGeneratorText});
  EXPECT_EQ(focused, 1);

  // Von Neumann keeps the first reading of a pair that differs.
  stop.stopRequested = false;
  for (int i = 0; i < 32; ++i) {
    driver.statuses.push_back(0x10);
    driver.statuses.push_back(0x00);
  }
  EXPECT_EQ(random.parallelPort.readPortWord(random.stop(), random.prompter()), 0xFFFFFFFFu);
}

TEST_F(ParallelPortSourceTest, StopEndsAWordAtOnce) {
  random.parallelPort.loadAndProbe();
  dialog.edit = [](ParallelPortDialogState& s) { s.sampleRateText = "1"; };
  ASSERT_EQ(select(), SelectOutcome::Selected);
  clock.steadyStep = 1;  // one second a bit would take a billion reads
  loop.post([this] { random.stopSourceWaits(); });
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_LT(clock.steadyReads, 10);
  EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace voxloom
