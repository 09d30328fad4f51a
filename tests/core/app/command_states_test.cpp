#include "core/app/command_states.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace voxloom {
namespace {

using Log = std::vector<std::string>;

class LoggingFollower : public CommandFollower {
 public:
  LoggingFollower(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
  void commandStateChanged(int state, const CommandView& commands) override {
    // What a follower reads must already be the new table.
    log_.push_back(name_ + " " + std::to_string(state) + (commands[Command::Play] ? " play" : ""));
  }

 private:
  std::string name_;
  Log& log_;
};

class LoggingView : public View {
 public:
  explicit LoggingView(Log& log) : log_(log) {}
  void changed(ViewAspect aspect) override {
    if (aspect == ViewAspect::Commands) log_.push_back("window");
  }

 private:
  Log& log_;
};

struct CommandStatesTest : ::testing::Test {
  CommandStatesTest() {
    relay.attach(&view);
    states.follow(first);
    states.follow(second);
  }
  Log log;
  LoggingView view{log};
  ViewRelay relay;
  CommandStates states{relay};
  LoggingFollower first{"first", log};
  LoggingFollower second{"second", log};
};

TEST_F(CommandStatesTest, FollowersHearTheNewTableInOrderAndTheWindowLast) {
  AudioDocument document;
  document.isLoaded = true;
  states.watch(document);
  states.set(kStateIdle);
  EXPECT_EQ(log, (Log{"first 1 play", "second 1 play", "window"}));
}

TEST_F(CommandStatesTest, StoppingMovesTheStateButTheCommandsWaitForTheEnd) {
  states.onRunEvent(RunEvent::PlayStarted);
  ASSERT_EQ(states.state(), kStatePlaying);
  ASSERT_TRUE(states.enabled(Command::Stop));
  log.clear();
  states.onRunEvent(RunEvent::Stopping);
  EXPECT_EQ(states.state(), kStateIdle);
  EXPECT_TRUE(states.enabled(Command::Stop));
  EXPECT_TRUE(log.empty());
  states.onRunEvent(RunEvent::Ended);
  EXPECT_FALSE(states.enabled(Command::Stop));
  EXPECT_EQ(log, (Log{"first 1", "second 1", "window"}));
}

// The table reads the document, the session and the live mode it is told about; without
// them (a front end that builds fewer services) they count as empty.
TEST_F(CommandStatesTest, TheTableReadsWhatItWatches) {
  struct Case {
    bool watchDocument, modified, watchSession, live;
    bool save, memo;
  };
  const Case cases[] = {
      {false, false, false, false, false, false},
      {true, true, false, false, true, false},
      {true, true, false, true, false, false},
      {true, false, true, false, false, true},
  };
  for (const Case& c : cases) {
    ViewRelay quiet;
    CommandStates table(quiet);
    AudioDocument document;
    document.isLoaded = true;
    document.isModified = c.modified;
    Session session;
    session.records.resize(1);
    if (c.watchDocument) table.watch(document);
    if (c.watchSession) table.watch(session);
    table.liveMode = c.live;
    table.set(kStateIdle);
    EXPECT_EQ(table.enabled(Command::Save), c.save) << c.watchDocument << c.modified << c.live;
    table.set(kStateSessionPlay);
    EXPECT_EQ(table.enabled(Command::MemoCueLabels), c.memo) << c.watchSession;
  }
}

TEST(CommandTable, StatesEnableWhatTheyAllow) {
  DocumentFlags loaded{true, true, false, true};
  CommandView v;
  v[Command::LogRandom] = true;
  applyCommandTable(kStatePlaying, loaded, v);
  EXPECT_TRUE(v[Command::Pause]);
  EXPECT_TRUE(v[Command::Stop]);
  EXPECT_FALSE(v[Command::Open]);
  EXPECT_FALSE(v[Command::Save]);
  EXPECT_TRUE(v[Command::LogRandom]);  // unchanged while playing
  EXPECT_EQ(v.segmentControlsMode, 1);

  applyCommandTable(kStateMakingEvp, loaded, v);
  EXPECT_FALSE(v[Command::LogRandom]);
  EXPECT_EQ(v.segmentControlsMode, 0);
  EXPECT_EQ(v.playTimeControlsMode, 1);

  applyCommandTable(kStateRecording, loaded, v);
  EXPECT_FALSE(v[Command::Pause]);
  EXPECT_TRUE(v[Command::Stop]);

  applyCommandTable(kStateSessionPlay, loaded, v);
  EXPECT_TRUE(v[Command::SessionStop]);
  EXPECT_TRUE(v[Command::MemoCueLabels]);
  EXPECT_FALSE(v[Command::Stop]);

  const CommandView before = v;
  applyCommandTable(kStateNone, loaded, v);
  EXPECT_EQ(v.enabled, before.enabled);

  // Live input: Make EVP stays available, the file commands do not.
  DocumentFlags live{true, false, true, false};
  applyCommandTable(kStateIdle, live, v);
  EXPECT_TRUE(v[Command::MakeEvp]);
  EXPECT_FALSE(v[Command::Open]);
  EXPECT_FALSE(v[Command::Record]);
  EXPECT_FALSE(v[Command::Play]);
  EXPECT_FALSE(v[Command::Normalize]);
  EXPECT_TRUE(v[Command::Live]);
  EXPECT_EQ(v.sessionControlsMode, 0);
}

// A listening reads its own copy of the samples: it may start only on a loaded document
// outside live input, but once it runs its item stays the way to cancel it.
TEST(CommandTable, MachineListenerItems) {
  struct Case {
    int state;
    bool loaded, live, ready, listening, heard;
    bool listen, addCues;
  };
  const Case cases[] = {
      {kStateIdle, true, false, true, false, false, true, false},
      {kStateIdle, true, false, false, false, true, false, true},  // no listener in this build
      {kStateIdle, false, false, true, false, false, false, false},
      {kStateIdle, true, true, true, false, true, false, false},  // live input
      {kStatePlaying, true, false, true, false, true, false, false},
      {kStatePlaying, true, false, true, true, true, true, false},  // cancel while playing
      {kStateRecording, false, false, true, true, false, true, false},
  };
  for (const Case& c : cases) {
    DocumentFlags flags;
    flags.loaded = c.loaded;
    flags.live = c.live;
    flags.listenerReady = c.ready;
    flags.listening = c.listening;
    flags.heardWords = c.heard;
    CommandView v;
    applyCommandTable(c.state, flags, v);
    EXPECT_EQ(v[Command::Listen], c.listen) << c.state << c.loaded << c.live << c.ready;
    EXPECT_EQ(v[Command::AddHeardCues], c.addCues) << c.state << c.loaded << c.live << c.heard;
  }
}

}  // namespace
}  // namespace voxloom
