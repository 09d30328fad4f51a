// Make EVP with session recording and the replay of captured EVPs, through the main
// controller against the simulated device.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/app/main_presenter.h"
#include "core/app/session_replay.h"
#include "core/ports/queued_event_loop.h"
#include "core/session/session_export.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_shell.h"
#include "tests/support/manual_timer.h"
#include "tests/support/run_cli.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/scripted_questions.h"
#include "tests/support/sim_wave_out.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

constexpr Frames kSignalFrames = 40000;

class SessionRunTest : public ::testing::Test {
 protected:
  SessionRunTest() : core(prompter, shell, questions) {
    questionAnswer = "Who is there?";
    services.attachPlayback(device, loop, &timer);
    services.sessions.sessions.setClock(clock);
    // Irregular samples with many zero crossings: a block's bytes tell where it came from.
    std::vector<int> samples(static_cast<std::size_t>(kSignalFrames));
    for (std::size_t i = 0; i < samples.size(); ++i)
      samples[i] = static_cast<int>((i * 7919) % 2001) - 1000;
    test::makeSignal(services.document.document, 1, 16, 8000, samples);
    services.document.document.path = "/signals/take.wav";
    services.playback.parts.random.pseudo.seedPseudoRandom(7);
    services.playback.parts.options.duration.value = 50;  // 4 slots
    services.states.set(kStateIdle);
  }

  Session& session() { return services.sessions.sessions.session; }
  const SessionPanel& panel() { return services.sessions.sessions.panel; }
  // Returns `n` blocks, delivering each notification before the next returns.
  void complete(int n) {
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(device.completeNext());
      loop.processPending();
    }
  }
  void stopAndDrain() {
    services.playback.stop();
    loop.processPending();
  }
  bool matchesSignal(const EvpSegmentEntry& e, const std::vector<std::uint8_t>& bytes) {
    const AudioDocument& doc = services.document.document;
    return bytes.size() == static_cast<std::size_t>(e.length * doc.frameBytes) &&
           std::memcmp(bytes.data(), doc.samples.get() + e.start * doc.frameBytes, bytes.size()) ==
               0;
  }
  EvpRecord record(std::vector<EvpSegmentEntry> entries) {
    EvpRecord r;
    r.dateTime = "2026 03 14 21 05 09";
    r.segments = std::move(entries);
    return r;
  }
  void holdRecords(std::vector<EvpRecord> records) {
    session().wavPath = services.document.document.path;
    session().records = std::move(records);
    services.sessions.sessions.updateSessionControls(0);
  }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  test::FakeClock clock;
  QueuedEventLoop loop;
  test::SimWaveOut device{loop};
  test::ManualTimer timer;
  test::ScriptedQuestions questions;
  WindowCore core;
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
  std::optional<std::string>& questionAnswer = questions.answer;
};

TEST_F(SessionRunTest, CaptureRecordsEachQueuedBlockAndKeepsWhatSoundedOnStop) {
  services.sessions.sessions.toggleRecordMode();
  services.playback.makeEvp();
  ASSERT_EQ(services.states.state(), kStateMakingEvp);
  ASSERT_EQ(session().count(), 1);
  EXPECT_TRUE(session().isCapturing);
  complete(10);  // 14 blocks queued, 4 of them still on the device
  stopAndDrain();
  ASSERT_FALSE(device.isOpen);
  EXPECT_EQ(services.states.state(), kStateIdle);

  const EvpRecord& r = session().records[0];
  EXPECT_EQ(r.dateTime, "2026 03 14 21 05 09");
  EXPECT_EQ(r.question, "Who is there?");
  EXPECT_EQ(session().wavPath, "/signals/take.wav");
  EXPECT_FALSE(session().isCapturing);
  ASSERT_EQ(device.written.size(), 14u);
  ASSERT_EQ(r.segments.size(), 11u);  // 14 - 4 + 1
  for (std::size_t i = 0; i < r.segments.size(); ++i) {
    const EvpSegmentEntry& e = r.segments[i];
    EXPECT_EQ(e.serial, static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(static_cast<std::uintptr_t>(e.segmentNumber), device.written[i].user) << i;
    EXPECT_FALSE(e.fade);
    EXPECT_EQ(e.label, "");
    EXPECT_TRUE(matchesSignal(e, device.written[i].bytes)) << "entry " << i;
  }
  // The new EVP can be replayed at once.
  EXPECT_TRUE(panel()[SessionControl::ButtonSessionPlay]);
  EXPECT_TRUE(panel()[SessionControl::ButtonSessionPlaySeq]);
  EXPECT_EQ(panel().sequence, "1/1");
}

TEST_F(SessionRunTest, CrossFadedCaptureReplaysToTheSameBlocks) {
  SegmentOptions& options = services.playback.parts.options;
  options.crossFade.checked = true;
  options.fadeMode = 1;  // Sine
  updateSegmentControls(options, 0, 0);

  services.sessions.sessions.toggleRecordMode();
  services.playback.makeEvp();
  complete(6);
  stopAndDrain();
  const std::vector<test::SimWaveOut::Written> generated = device.written;
  const EvpRecord captured = session().records.at(0);
  ASSERT_EQ(captured.segments.size(), 7u);  // 10 - 4 + 1
  for (const EvpSegmentEntry& e : captured.segments) {
    EXPECT_TRUE(e.fade);
    EXPECT_GT(e.length, 0);
  }

  device.written.clear();
  controller.playCurrentEvp();
  ASSERT_EQ(services.states.state(), kStateSessionPlay);
  ASSERT_EQ(device.written.size(), 7u);
  for (std::size_t i = 0; i < 7; ++i)
    EXPECT_EQ(device.written[i].bytes, generated[i].bytes) << "block " << i;
  device.completeAll();
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(session().records.at(0), captured);  // a replay changes nothing

  // Export renders with the shape the menu holds, not a fixed one.
  const std::string exported = testing::TempDir() + "xfade_export.wav";
  ASSERT_EQ(services.sessions.sessions.writeEvpWavFile(exported), 0);
  const auto written = [&](int mode) {
    const std::string path = testing::TempDir() + "xfade_direct.wav";
    EXPECT_EQ(writeEvpWav(path, services.document.document, captured, session().wavPath, mode),
              WavWriteStatus::Written);
    return test::readBytes(path);
  };
  EXPECT_EQ(test::readBytes(exported), written(1));
  EXPECT_NE(test::readBytes(exported), written(0));
}

TEST_F(SessionRunTest, NoRecordWhenTheSourceFailsFirstTheQuestionIsCancelledOrRecordingIsOff) {
  // The internet source without an HTTP client fails on the first draw.
  services.sessions.sessions.toggleRecordMode();
  services.playback.parts.random.randomKind = RandomSourceKind::Internet;
  services.playback.makeEvp();
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(device.written.size(), 1u);
  EXPECT_EQ(session().count(), 0);
  EXPECT_EQ(session().wavPath, "");
  EXPECT_FALSE(session().isCapturing);
  services.playback.parts.random.randomKind = RandomSourceKind::PseudoRng;

  questionAnswer.reset();
  services.playback.makeEvp();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(device.written.size(), 1u);
  EXPECT_EQ(services.states.state(), kStateIdle);
  EXPECT_EQ(session().count(), 0);

  services.sessions.sessions.toggleRecordMode();  // off: Make EVP asks nothing
  questionAnswer = "not asked";
  services.playback.makeEvp();
  complete(3);
  stopAndDrain();
  EXPECT_EQ(session().count(), 0);
}

TEST_F(SessionRunTest, ReplayOfOneRecordQueuesItsEntriesAndClosesAfterTheLast) {
  holdRecords(
      {record(
           {{100, 50, 1, 7, false, "a"}, {400, 30, 2, 8, false, ""}, {900, 20, 3, 9, false, "b"}}),
       record({{5, 5, 1, 1, false, ""}})});
  const std::vector<EvpRecord> before = session().records;
  controller.playCurrentEvp();
  ASSERT_EQ(services.states.state(), kStateSessionPlay);
  ASSERT_EQ(device.written.size(), 3u);  // the other 17 slots stay empty
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(matchesSignal(before[0].segments[i], device.written[i].bytes));
    EXPECT_EQ(device.written[i].user, 7 + i);
  }
  // State 4: the session's Stop and the memo work, everything else waits.
  EXPECT_TRUE(services.states.commands()[Command::SessionStop]);
  EXPECT_TRUE(services.states.commands()[Command::MemoCueLabels]);
  EXPECT_FALSE(services.states.commands()[Command::MakeEvp]);
  EXPECT_TRUE(panel()[SessionControl::ButtonSessionStop]);
  EXPECT_TRUE(panel()[SessionControl::MemoCueLabels]);
  EXPECT_FALSE(panel()[SessionControl::ButtonSessionPlay]);
  EXPECT_FALSE(panel()[SessionControl::ButtonSessionNext]);

  complete(2);
  EXPECT_TRUE(device.isOpen);
  complete(1);
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(services.states.state(), kStateIdle);
  EXPECT_FALSE(panel()[SessionControl::ButtonSessionStop]);
  EXPECT_TRUE(panel()[SessionControl::ButtonSessionPlay]);
  EXPECT_EQ(session().records, before);
}

TEST_F(SessionRunTest, WholeSessionReplaySkipsRecordsWithoutEntries) {
  holdRecords({record({}), record({{100, 10, 1, 1, false, ""}, {200, 10, 2, 2, false, ""}}),
               record({}), record({{300, 10, 1, 3, false, ""}}), record({})});
  session().currentIndex = 2;
  controller.playSession();
  ASSERT_EQ(device.written.size(), 3u);
  EXPECT_EQ(device.written[0].user, 1u);
  EXPECT_EQ(device.written[2].user, 3u);
  device.completeAll();
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(services.states.state(), kStateIdle);

  // The current record is empty: its replay plays nothing and ends at once.
  controller.playCurrentEvp();
  EXPECT_EQ(device.written.size(), 3u);
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(services.states.state(), kStateIdle);
}

TEST_F(SessionRunTest, EntriesOutsideTheSignalAreCutOrSilent) {
  const Frames end = kSignalFrames;
  holdRecords({record({{end - 10, 40, 1, 1, false, ""},
                       {-10, 30, 2, 2, false, ""},
                       {end + 5, 10, 3, 3, false, ""},
                       {2'000'000'000, 2'000'000'000, 4, 4, false, ""},
                       {end - 4, 2'000'000'000, 5, 5, true, ""}})});
  controller.playCurrentEvp();
  ASSERT_EQ(device.written.size(), 5u);
  EXPECT_TRUE(matchesSignal({end - 10, 10, 1, 1, false, ""}, device.written[0].bytes));
  EXPECT_TRUE(matchesSignal({0, 20, 2, 2, false, ""}, device.written[1].bytes));
  EXPECT_TRUE(device.written[2].bytes.empty());
  EXPECT_TRUE(device.written[3].bytes.empty());
  // A cross-faded entry renders at most the signal's length, silent past its end.
  const std::vector<std::uint8_t>& faded = device.written[4].bytes;
  ASSERT_EQ(faded.size(), static_cast<std::size_t>(end) * 2);
  for (std::size_t i = 8; i < faded.size(); ++i) ASSERT_EQ(faded[i], 0) << i;
  device.completeAll();
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
}

TEST_F(SessionRunTest, StopSessionPlayActsOnlyDuringAReplay) {
  std::vector<EvpSegmentEntry> many;
  for (int i = 1; i <= 30; ++i) many.push_back({i * 100, 10, i, i, false, ""});
  holdRecords({record(many)});

  services.playback.stopReplay();  // idle: nothing
  EXPECT_TRUE(device.calls.empty());

  services.playback.makeEvp();
  services.playback.stopReplay();  // Make EVP is not a replay
  EXPECT_EQ(services.states.state(), kStateMakingEvp);
  stopAndDrain();
  ASSERT_FALSE(device.isOpen);

  device.written.clear();
  controller.playSession();
  ASSERT_EQ(device.written.size(), 20u);
  complete(2);
  ASSERT_EQ(device.written.size(), 22u);
  services.playback.stopReplay();
  EXPECT_EQ(services.states.state(), kStateIdle);
  EXPECT_EQ(device.calls.back(), "reset");
  loop.processPending();
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(device.written.size(), 22u);  // nothing refilled after the stop
  EXPECT_FALSE(panel()[SessionControl::ButtonSessionStop]);
}

TEST(SessionReplayCursor, CountsRecordsFromTheFirstAndStaysInsideTheSession) {
  Session s;
  s.records.resize(3);
  s.records[0].segments = {{1, 1, 1, 10, false, ""}};
  s.records[2].segments = {{3, 1, 1, 30, false, ""}, {4, 1, 2, 40, true, ""}};
  auto numbers = [&](std::int32_t first, std::int32_t n) {
    std::vector<std::int32_t> out;
    SessionReplayCursor cursor(s, first, n);
    while (auto e = cursor.next()) out.push_back(e->segmentNumber);
    return out;
  };
  EXPECT_EQ(numbers(0, 3), (std::vector<std::int32_t>{10, 30, 40}));
  EXPECT_EQ(numbers(0, 2), std::vector<std::int32_t>{10});  // the empty record counts
  EXPECT_EQ(numbers(1, 99), (std::vector<std::int32_t>{30, 40}));
  EXPECT_TRUE(numbers(0, 0).empty());
  EXPECT_TRUE(numbers(3, 1).empty());
  EXPECT_TRUE(numbers(-1, 2).empty());
}

TEST_F(SessionRunTest, TheSessionOpenDialogAcceptsNewNames) {
  prompter.openFiles.push_back(std::nullopt);
  prompter.openFiles.push_back(std::nullopt);
  services.sessions.sessions.openSession("");
  services.openWavFile("");
  ASSERT_EQ(prompter.openDialogs.size(), 2u);
  EXPECT_FALSE(prompter.openDialogs[0].mustExist);
  EXPECT_TRUE(prompter.openDialogs[1].mustExist);
}

}  // namespace
}  // namespace voxloom
