#include "core/engine/recording_engine.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/app/command_state.h"
#include "core/ports/queued_event_loop.h"
#include "tests/support/manual_timer.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/sim_wave_in.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

// Answers the dialog with the state the test prepared (or cancels it).
class FakeRecParamDialog : public RecParamDialog {
 public:
  RecParamState answer;
  bool start = true;
  int shown = 0;
  bool askRecParam(RecParamState& state) override {
    ++shown;
    EXPECT_FALSE(state.liveLayout);
    state = answer;
    return start;
  }
};

std::vector<std::uint8_t> pcm16(const std::vector<int>& samples) {
  std::vector<std::uint8_t> bytes;
  for (int s : samples) {
    bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
  }
  return bytes;
}

std::vector<int> documentSamples(const AudioDocument& doc) {
  std::vector<int> out;
  for (Frames f = 0; f < doc.frameCount; ++f)
    for (int c = 0; c < doc.format.channels; ++c)
      out.push_back(doc.sampleAt(doc.channelBase(c), f));
  return out;
}

class RecordingEngineTest : public ::testing::Test {
 protected:
  RecordingEngineTest() {
    engine.attachDevice(device);
    engine.dialog = &dialog;
    engine.level.setTimer(&decay);
    dialog.answer.normalize = false;
    engine.callouts.textsChanged = [this] { titles.push_back(doc.texts.windowTitle); };
  }

  // Stop as the Stop command does it, then let the returned buffers arrive.
  void stop() {
    engine.stopRecording();
    loop.processPending();
  }
  void supply(const std::vector<std::uint8_t>& bytes) {
    device.supply(bytes);
    loop.processPending();
  }

  test::ScriptedPrompter prompter;
  QueuedEventLoop loop;
  test::SimWaveIn device{loop};
  test::ManualTimer decay;
  FakeRecParamDialog dialog;
  AudioDocument doc;
  int commandState = kStateIdle;
  // Counts the questions; a refusal keeps the document.
  struct Gate : DocumentGate {
    AudioDocument& doc;
    int discards = 0;
    bool refuse = false;
    explicit Gate(AudioDocument& d) : doc(d) {}
    bool discardDocument() override {
      ++discards;
      if (refuse) return true;
      doc.resetDocument();
      return false;
    }
  } gate{doc};
  int& discards = gate.discards;
  bool& refuseDiscard = gate.refuse;
  RecordingEngine engine{doc, prompter, commandState,
                         [this](RunEvent event) {
                           // As the window's controller keeps it: Stop refreshes nothing.
                           commandState = commandStateAfter(event, commandState);
                           if (event != RunEvent::Stopping) states.push_back(commandState);
                         },
                         gate};
  std::vector<int> states;
  std::vector<std::string> titles;
};

TEST_F(RecordingEngineTest, StartOpensTheDeviceQueuesTwoSilentBuffersAndShowsStatus) {
  dialog.answer.resolutionItem = 0;  // 8 bit: silence is 128
  ASSERT_EQ(engine.startRecording(), 0);
  EXPECT_EQ(discards, 1);
  EXPECT_EQ(device.calls, (std::vector<std::string>{"open -1 22050", "start"}));
  EXPECT_TRUE(device.openedWithNotify);
  EXPECT_EQ(device.openedFormat, recordingFormat(22050, 0, 0));
  EXPECT_EQ(states, std::vector<int>{kStateRecording});
  EXPECT_EQ(device.queuedCount(), 2u);
  EXPECT_EQ(engine.bufferBytes(), 2205);
  for (int i = 0; i < 2; ++i) {
    const WaveHeader& h = engine.header(i);
    EXPECT_EQ(h.bufferLength, 2205u);
    EXPECT_TRUE(std::all_of(h.data, h.data + h.bufferLength, [](auto b) { return b == 128; }));
  }
  EXPECT_TRUE(engine.level.state.visible);
  EXPECT_EQ(doc.texts.windowTitle, "Recording ...");
  EXPECT_EQ(doc.texts.applicationTitle, "Recording ...");
  EXPECT_EQ(doc.texts.status[0], "Sample: 22050 Hz \u00B7 8 Bit \u00B7 Mono");
  EXPECT_EQ(doc.texts.status[1], "0 KB");
  EXPECT_EQ(doc.texts.status[2], "Time: 0:00:00.000");
}

TEST_F(RecordingEngineTest, EveryReturnedBufferIsReplacedSoTwoStayQueued) {
  ASSERT_EQ(engine.startRecording(), 0);
  const std::vector<std::uint8_t> buffer(4410, 0x01);
  for (int i = 0; i < 30; ++i) {  // 3 s
    supply(buffer);
    ASSERT_EQ(device.queuedCount(), 2u);
  }
  EXPECT_EQ(device.queuedCount(), 2u);
  EXPECT_EQ(engine.dataBytes(), 132300);
  EXPECT_EQ(doc.texts.status[1], "129 KB");
  EXPECT_EQ(doc.texts.status[2], "Time: 0:00:03.000");
  EXPECT_TRUE(engine.isRecording());
  EXPECT_FALSE(doc.isLoaded);  // nothing reaches the document before Stop
}

TEST_F(RecordingEngineTest, StopJoinsTheBuffersIntoANewUnsavedDocument) {
  dialog.answer.channelsItem = 1;  // stereo: 8820 bytes a buffer
  ASSERT_EQ(engine.startRecording(), 0);
  std::vector<int> samples;
  for (int i = 0; i < 2205 * 2 + 1000; ++i) samples.push_back((i * 37) % 20000 - 10000);
  supply(pcm16(samples));  // one buffer and a part
  stop();

  EXPECT_EQ(device.calls.back(), "close");
  EXPECT_FALSE(engine.isRecording());
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_EQ(states.back(), kStateIdle);
  ASSERT_TRUE(doc.isLoaded);
  EXPECT_TRUE(doc.isModified);
  EXPECT_EQ(doc.path, "");
  EXPECT_EQ(doc.nominalRate, 22050);
  EXPECT_EQ(doc.dataBytes, static_cast<Bytes>(samples.size() * 2));
  EXPECT_EQ(documentSamples(doc), samples);
  EXPECT_EQ(doc.texts.windowTitle, "New File - Voxloom 2.5");
  EXPECT_EQ(doc.texts.status[0], "Sample: 22050 Hz \u00B7 16 Bit \u00B7 Stereo");
  EXPECT_NE(std::find(titles.begin(), titles.end(), "Copying ..."), titles.end());
  EXPECT_EQ(std::find(titles.begin(), titles.end(), "Normalizing ..."), titles.end());
  EXPECT_GE(prompter.busyCalls, 1);
  EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(RecordingEngineTest, NormalizeRunsAfterTheJoinWhenChecked) {
  dialog.answer.normalize = true;
  ASSERT_EQ(engine.startRecording(), 0);
  supply(pcm16(std::vector<int>(2205, 1000)));
  supply(pcm16({-2000, 500}));
  stop();
  ASSERT_TRUE(doc.isLoaded);
  const std::vector<int> got = documentSamples(doc);
  ASSERT_EQ(got.size(), 2207u);
  EXPECT_EQ(got[0], 1000 * 32767 / 2000);
  EXPECT_EQ(got[2205], -32767);
  EXPECT_EQ(got[2206], 500 * 32767 / 2000);
  // The caption went to "Normalizing ..." and came back to the document's title.
  auto at = std::find(titles.begin(), titles.end(), "Normalizing ...");
  ASSERT_NE(at, titles.end());
  EXPECT_EQ(titles.back(), "New File - Voxloom 2.5");
  EXPECT_TRUE(doc.isModified);
}

TEST_F(RecordingEngineTest, BoostMultipliesSamplesAndClampsWhileCheckedOnly) {
  engine.level.state.boostPosition = 70;  // +20 dB: factor 10
  engine.level.state.boostChecked = true;
  ASSERT_EQ(engine.startRecording(), 0);
  std::vector<int> first(2205, 0);
  first[0] = 2000;
  first[1] = 5000;
  first[2] = -5000;
  supply(pcm16(first));
  EXPECT_EQ(engine.recordPeak(), 32768);
  EXPECT_EQ(engine.level.state.bar, 300);
  EXPECT_EQ(engine.level.state.lampColour, LampColour::Red);

  engine.level.state.boostChecked = false;  // the check box counts buffer by buffer
  std::vector<int> second(2205, 0);
  second[0] = 2000;
  supply(pcm16(second));
  EXPECT_EQ(engine.recordPeak(), 2000);
  stop();
  const std::vector<int> got = documentSamples(doc);
  ASSERT_EQ(got.size(), 4410u);
  EXPECT_EQ(got[0], 20000);
  EXPECT_EQ(got[1], 32767);
  EXPECT_EQ(got[2], -32768);
  EXPECT_EQ(got[2205], 2000);
}

TEST_F(RecordingEngineTest, EightBitBoostClampsAroundTheMidpoint) {
  dialog.answer.resolutionItem = 0;
  engine.level.state.boostPosition = 80;  // +10 dB: factor 3
  engine.level.state.boostChecked = true;
  ASSERT_EQ(engine.startRecording(), 0);
  std::vector<std::uint8_t> bytes(2205, 128);
  bytes[0] = 128 + 10;
  bytes[1] = 128 + 100;
  bytes[2] = 0;  // -128
  supply(bytes);
  stop();
  ASSERT_EQ(doc.dataBytes, 2205);
  EXPECT_EQ(doc.samples[0], 128 + 30);
  EXPECT_EQ(doc.samples[1], 255);
  EXPECT_EQ(doc.samples[2], 0);
  EXPECT_EQ(doc.samples[3], 128);
}

TEST_F(RecordingEngineTest, FailuresLeaveTheDocumentAndStateAlone) {
  // Refused discard: no dialog, nothing else.
  refuseDiscard = true;
  EXPECT_EQ(engine.startRecording(), 1);
  EXPECT_EQ(dialog.shown, 0);
  refuseDiscard = false;

  // Cancelled dialog.
  dialog.start = false;
  EXPECT_EQ(engine.startRecording(), 1);
  dialog.start = true;

  // Not a rate.
  dialog.answer.sampleRateText = "fast";
  EXPECT_EQ(engine.startRecording(), 1);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.log().back(), "Error: Invalid sample rate.");
  EXPECT_EQ(prompter.shown.back().icon, MessageIcon::Error);
  dialog.answer.sampleRateText = "22050";

  // The device refuses, on the query and on the real open.
  device.failOpen(kWaveBadFormat, "The device does not take this format.", true);
  EXPECT_EQ(engine.startRecording(), 1);
  EXPECT_EQ(prompter.log().back(), "Record In Error: The device does not take this format.");
  device.failOpen(kWaveNoDriver, "No capture device.", false);
  EXPECT_EQ(engine.startRecording(), 1);
  EXPECT_EQ(prompter.log().back(), "Record In Error: No capture device.");

  EXPECT_TRUE(device.calls.empty());
  EXPECT_TRUE(states.empty());
  EXPECT_FALSE(engine.isRecording());
  EXPECT_FALSE(doc.isLoaded);
  EXPECT_EQ(doc.format, WaveFormat{});
  EXPECT_FALSE(engine.level.state.visible);
}

TEST_F(RecordingEngineTest, StopBeforeAnyDataLeavesAnEmptyResetDocument) {
  ASSERT_EQ(engine.startRecording(), 0);
  stop();
  EXPECT_FALSE(engine.isRecording());
  EXPECT_FALSE(doc.isLoaded);
  EXPECT_FALSE(doc.isModified);
  EXPECT_EQ(doc.texts.windowTitle, doc.captions.appCaption);
  EXPECT_EQ(doc.texts.status[0], "Sample:");
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(RecordingEngineTest, StopWaitsForTheLastBufferAndTheLevelWindowKeepsItsState) {
  ASSERT_EQ(engine.startRecording(), 0);
  supply(pcm16(std::vector<int>(100, 7)));
  engine.stopRecording();
  EXPECT_EQ(commandState, kStateIdle);  // stored at once, the refresh comes at the end
  EXPECT_TRUE(engine.isRecording());
  EXPECT_EQ(device.calls.back(), "reset");
  loop.processPending();
  EXPECT_FALSE(engine.isRecording());
  EXPECT_FALSE(engine.level.state.visible);  // it was closed before the recording

  engine.level.setVisible(true);  // open before the next one: stays open
  ASSERT_EQ(engine.startRecording(), 0);
  stop();
  EXPECT_TRUE(engine.level.state.visible);
}

TEST_F(RecordingEngineTest, TwoBuffersOfTheSettingsBufferTime) {
  engine.bufferTimeMs = 200;
  dialog.answer.sampleRateText = "44100";
  dialog.answer.channelsItem = 1;
  ASSERT_EQ(engine.startRecording(), 0);
  EXPECT_EQ(engine.bufferBytes(), 35280);
  EXPECT_EQ(engine.header(0).bufferLength, 35280u);
  EXPECT_EQ(engine.header(1).bufferLength, 35280u);
  stop();
}

// A capture device that goes away hands its buffers back with what they hold and then
// reports the loss: the take ends as after Stop, keeping every byte recorded, and the
// device's text is shown under the input error title.
TEST_F(RecordingEngineTest, ALostDeviceKeepsWhatWasRecordedAndShowsTheDeviceText) {
  ASSERT_EQ(engine.startRecording(), 0);  // mono 16 bit: 4410 bytes a buffer
  std::vector<int> samples;
  for (int i = 0; i < 2205 * 3 + 700; ++i) samples.push_back((i * 53) % 30000 - 15000);
  const std::vector<std::uint8_t> bytes = pcm16(samples);
  for (std::size_t at = 0; at < bytes.size(); at += 4410) {  // three buffers and a part
    supply({bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(at + 4410, bytes.size()))});
  }

  ASSERT_TRUE(device.loseDevice(kWaveDeviceLost, "The microphone was unplugged."));
  loop.processPending();
  EXPECT_FALSE(engine.isRecording());
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(device.calls.back(), "close");
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_EQ(states, (std::vector<int>{kStateRecording, kStateIdle}));
  EXPECT_FALSE(engine.level.state.visible);
  ASSERT_TRUE(doc.isLoaded);
  EXPECT_TRUE(doc.isModified);
  EXPECT_EQ(doc.dataBytes, static_cast<Bytes>(samples.size() * 2));
  EXPECT_EQ(documentSamples(doc), samples);
  EXPECT_EQ(prompter.log().back(), "Record In Error: The microphone was unplugged.");
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.busyDepth, 0);

  // The device is back: the next take works.
  ASSERT_EQ(engine.startRecording(), 0);
  EXPECT_EQ(device.queuedCount(), 2u);
  stop();
  EXPECT_EQ(commandState, kStateIdle);
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(RecordingEngineTest, ALossBeforeDataOrAfterStopEndsOnceWithTheMessage) {
  // Nothing recorded: an empty reset document, as when stopped at once.
  engine.level.setVisible(true);
  ASSERT_EQ(engine.startRecording(), 0);
  ASSERT_TRUE(device.loseDevice(kWaveDeviceLost, "Gone."));
  loop.processPending();
  EXPECT_FALSE(engine.isRecording());
  EXPECT_FALSE(doc.isLoaded);
  EXPECT_EQ(doc.texts.status[0], "Sample:");
  EXPECT_EQ(states, (std::vector<int>{kStateRecording, kStateIdle}));
  EXPECT_TRUE(engine.level.state.visible);  // it was open before: stays open
  EXPECT_EQ(prompter.log(), std::vector<std::string>{"Record In Error: Gone."});

  // Stop came first and its buffers are on their way back when the loss is reported:
  // the take ends once, with what was recorded, and the message still follows.
  states.clear();
  ASSERT_EQ(engine.startRecording(), 0);
  supply(pcm16(std::vector<int>(3000, 9)));
  engine.stopRecording();
  ASSERT_TRUE(device.loseDevice(kWaveDeviceLost, "Gone after Stop."));
  loop.processPending();
  EXPECT_EQ(states, (std::vector<int>{kStateRecording, kStateIdle}));
  EXPECT_FALSE(device.isOpen);
  EXPECT_EQ(doc.dataBytes, 6000);
  EXPECT_EQ(prompter.log().back(), "Record In Error: Gone after Stop.");
  EXPECT_EQ(prompter.shown.size(), 2u);
}

}  // namespace
}  // namespace voxloom
