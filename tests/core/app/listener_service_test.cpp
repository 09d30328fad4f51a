#include "core/app/listener_service.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "core/ports/queued_event_loop.h"
#include "core/session/record_trace.h"
#include "core/session/record_words.h"
#include "tests/core/session/session_fixture.h"
#include "tests/support/fake_speech_listener.h"

namespace voxloom {
namespace {

using namespace std::chrono_literals;

// Reports half its work, then holds its words until the test opens the gate; a cancel
// ends it at once.
struct Gate {
  std::atomic<bool> open{false};
  std::atomic<bool> waiting{false};
};

class GatedFactory final : public SpeechListenerFactory {
  struct Listener final : SpeechListener {
    std::shared_ptr<Gate> gate;
    ListenResult listen(PcmSource&, const ListenRequest& request) override {
      gate->waiting = true;
      while (!gate->open) {
        if (!request.progress(0.5)) return {{}, true, {}};
        std::this_thread::sleep_for(1ms);
      }
      return {{{"gated", 0.0, 0.1, 0.9}}, false, {}};
    }
  };

 public:
  explicit GatedFactory(std::shared_ptr<Gate> gate) : gate_(std::move(gate)) {}
  std::unique_ptr<SpeechListener> make(std::string&) override {
    auto listener = std::make_unique<Listener>();
    listener->gate = gate_;
    return listener;
  }

 private:
  std::shared_ptr<Gate> gate_;
};

class ListenerServiceTest : public test::SessionFixture {
 protected:
  ListenerServiceTest() { listener().attach(loop); }

  ListenerService& listener() { return services.listener; }
  AudioDocument& doc() { return services.document.document; }
  const std::vector<HeardWord>& lane() { return services.document.signalView.heardWords; }
  bool enabled(Command c) { return services.states.enabled(c); }

  // A loaded WAV file whose samples vary, so that the fake listener hears something.
  void loadNoise(const std::string& name, std::uint32_t frames = 16000) {
    loadWav(name, frames);
    std::uint32_t x = 12345;
    for (Bytes i = 0; i < doc().dataBytes; ++i) {
      x = x * 1103515245u + 12345u;
      doc().samples.get()[i] = static_cast<std::uint8_t>(x >> 16);
    }
  }
  std::vector<HeardWord> fakeWordsOf(const AudioDocument& d) {
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(d.frameCount));
    std::memcpy(pcm.data(), d.samples.get(), pcm.size() * 2);
    test::MemoryPcmSource source(std::move(pcm), static_cast<std::uint32_t>(d.nominalRate));
    return test::FakeSpeechListener().listen(source, {}).words;
  }
  void useGate() { listener().setFactory(std::make_unique<GatedFactory>(gate), ""); }
  void waitUntilWaiting() {
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (!gate->waiting && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(gate->waiting);
  }
  bool finish() {
    return loop.processUntil([this] { return !listener().running(); }, 10s);
  }

  QueuedEventLoop loop;
  std::shared_ptr<Gate> gate = std::make_shared<Gate>();
};

TEST_F(ListenerServiceTest, WordsOfTheDocumentReachTheLaneOnTheLoopThread) {
  loadNoise("heard.wav");
  listener().setFactory(std::make_unique<test::FakeSpeechListenerFactory>(), "");
  services.states.set(kStateIdle);
  ASSERT_TRUE(enabled(Command::Listen));
  EXPECT_FALSE(enabled(Command::AddHeardCues));
  const std::vector<HeardWord> expected = fakeWordsOf(doc());
  ASSERT_FALSE(expected.empty());

  ASSERT_TRUE(listener().start({}));
  EXPECT_TRUE(services.states.listening);
  EXPECT_TRUE(enabled(Command::Listen));  // now the way to cancel
  EXPECT_TRUE(lane().empty());            // nothing arrives until the loop runs
  ASSERT_TRUE(finish());
  EXPECT_EQ(lane(), expected);
  EXPECT_FALSE(services.states.listening);
  EXPECT_TRUE(enabled(Command::AddHeardCues));
  EXPECT_FALSE(doc().isModified);  // only Add as cues changes the document

  // Opening another document forgets them.
  loadNoise("other.wav");
  EXPECT_TRUE(lane().empty());
  services.states.set(kStateIdle);
  EXPECT_FALSE(enabled(Command::AddHeardCues));
}

TEST_F(ListenerServiceTest, KeywordsAndConfidenceReachTheListener) {
  loadNoise("keywords.wav", 40000);
  listener().setFactory(std::make_unique<test::FakeSpeechListenerFactory>(), "");
  services.states.set(kStateIdle);
  const std::string list = test::writeTempFile(
      "words.txt", {'#', 'x', '\n', ' ', 'm', 'a', 'r', 'y', ' ', '\r', '\n', '\n', 'j', 'o'});
  ASSERT_TRUE(listener().start({list, 50, false}));
  ASSERT_TRUE(finish());
  ASSERT_FALSE(lane().empty());
  for (const HeardWord& w : lane()) {
    EXPECT_TRUE(w.word == "mary" || w.word == "jo") << w.word;
    EXPECT_GE(w.confidence, 0.5);
  }

  EXPECT_FALSE(listener().start({"/no/such/list.txt", 0, false}));
  EXPECT_EQ(prompter.shown.back().text, "Can't read the word list '/no/such/list.txt'.");
}

// The listening reads a copy; whatever happens to the document meanwhile, words only
// reach a document that still holds the samples listened to.
TEST_F(ListenerServiceTest, CancelAndSamplesTheDocumentNoLongerHoldsLeaveNoWords) {
  const char* dropped = "The signal changed while the listener ran: its words were dropped.";
  struct Case {
    const char* what;
    std::function<void()> change;
    bool kept;
    const char* status;
  };
  const Case cases[] = {
      {"nothing", [] {}, true, "Heard 1 word."},
      {"cancelled by a second click", [this] { listener().command(); }, false,
       "Machine listener cancelled."},
      {"cues only",
       [this] {
         doc().cues.push_back(CuePoint{10, 0, 1, "c", "", ""});
       },
       true, "Heard 1 word."},
      {"a sample edited", [this] { doc().samples.get()[7] ^= 0x55; }, false, dropped},
      {"another file", [this] { loadNoise("another.wav", 8000); }, false, dropped},
      {"closed", [this] { services.document.discard(); }, false, dropped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gate = std::make_shared<Gate>();
    loadNoise("changed.wav");
    useGate();
    services.states.set(kStateIdle);
    ASSERT_TRUE(listener().start({}));
    waitUntilWaiting();
    c.change();
    gate->open = true;
    ASSERT_TRUE(finish());
    EXPECT_EQ(lane().size(), c.kept ? 1u : 0u);
    EXPECT_EQ(listener().statusText(), c.status);
    EXPECT_FALSE(services.states.listening);
  }
}

TEST_F(ListenerServiceTest, WordsOfARecordStayWithItAndBesideTheSavedSession) {
  loadNoise("record.wav", 16000);
  capture(3);
  capture(2);
  sessions().previousEvp();
  ASSERT_EQ(session().currentIndex, 0);
  session().fileName = test::tempDir() + "/listened.evp";
  std::remove((session().fileName + ".listen.jsonl").c_str());
  listener().setFactory(std::make_unique<test::FakeSpeechListenerFactory>(), "");
  services.states.set(kStateIdle);

  ASSERT_TRUE(listener().start({"", 0, true}));
  ASSERT_TRUE(finish());
  EXPECT_TRUE(lane().empty());  // the document's lane is not the record's
  const EvpRecord& first = session().records[0];
  ASSERT_TRUE(first.trace && first.trace->heard);
  EXPECT_FALSE(session().records[1].trace && session().records[1].trace->heard);
  EXPECT_EQ(panel().heardWords, heardWordsText(first));
  const auto sidecar = test::readWholeFile(session().fileName + ".listen.jsonl");
  EXPECT_EQ(std::string(sidecar.begin(), sidecar.end()), formatListenSidecar(session().records));
  EXPECT_EQ(first.answer, "");  // the person's answer stays theirs
  EXPECT_FALSE(sessions().keepHeardWords(0, "1999 01 01 00 00 00", {}));  // another record
}

}  // namespace
}  // namespace voxloom
