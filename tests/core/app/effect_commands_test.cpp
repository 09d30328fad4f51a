#include "core/app/effect_commands.h"

#include <gtest/gtest.h>

#include "core/app/main_presenter.h"
#include "tests/support/fake_shell.h"
#include "tests/support/scripted_effect_dialogs.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

class CountingView : public View {
 public:
  int commands = 0;
  int texts = 0;
  void changed(ViewAspect aspect) override {
    if (aspect == ViewAspect::Commands) ++commands;
    if (aspect == ViewAspect::Texts) ++texts;
  }
};

class EffectCommandsTest : public ::testing::Test {
 protected:
  EffectCommandsTest() : core(prompter, shell, noQuestions) {
    services.relay.attach(&view);
    services.document.setEffectDialogs(&dialogs);
  }

  // A loaded, unchanged document in the idle state, as after Open.
  void load(int channels, int bits, int rate, const std::vector<int>& samples) {
    test::makeSignal(services.document.document, channels, bits, rate, samples);
    services.states.set(kStateIdle);
    view = {};
  }
  std::vector<int> left() const {
    const AudioDocument& d = services.document.document;
    std::vector<int> out;
    for (Frames i = 0; i < d.frameCount; ++i) out.push_back(d.sampleAt(d.channelBase(0), i));
    return out;
  }
  bool saveEnabled() const { return services.states.commands()[Command::Save]; }

  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  test::ScriptedEffectDialogs dialogs;
  CountingView view;
  NoQuestionPrompt noQuestions;
  WindowCore core;
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
};

TEST_F(EffectCommandsTest, ChangingEffectsRunBusyAndEnableSave) {
  load(2, 16, 8000, {1, -1, 2, -2, 3, -3});
  EXPECT_FALSE(saveEnabled());
  EXPECT_TRUE(services.document.reverseSignal().modified);
  EXPECT_EQ(left(), (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(services.document.document.sampleAt(services.document.document.channelBase(1), 0), -3);
  EXPECT_TRUE(services.document.document.isModified);
  EXPECT_TRUE(saveEnabled());
  EXPECT_EQ(services.states.state(), kStateIdle);
  EXPECT_GT(view.commands, 0);
  EXPECT_EQ(prompter.busyCalls, 2);  // on and off again
  EXPECT_EQ(prompter.busyDepth, 0);

  load(1, 8, 8000, {-64, 32, 0});
  EXPECT_TRUE(services.document.normalizeSignal().modified);
  EXPECT_EQ(left(), (std::vector<int>{-127, 63, 0}));
  EXPECT_TRUE(saveEnabled());
  EXPECT_TRUE(prompter.shown.empty()) << "the effects show no messages";
}

TEST_F(EffectCommandsTest, NormalizingSilenceLeavesSaveDisabled) {
  load(1, 16, 8000, {0, 0, 0, 0});
  EXPECT_FALSE(services.document.normalizeSignal().modified);
  EXPECT_FALSE(services.document.document.isModified);
  EXPECT_FALSE(saveEnabled());
  EXPECT_EQ(view.commands, 0);
  EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(EffectCommandsTest, EchoDialogShowsTheStoredValuesAndOnlyOkStoresAndApplies) {
  std::vector<int> impulse(400, 0);
  impulse[0] = 16000;
  load(1, 16, 1000, impulse);

  // Cancel after moving the bars: nothing stored, nothing changed, no busy cursor.
  dialogs.echoAnswers.push_back({false, [](EchoDialogState& s) { s.scrollBarDelayChange(7); }});
  EXPECT_FALSE(services.document.addEcho().modified);
  ASSERT_EQ(dialogs.echoShown.size(), 1u);
  EXPECT_EQ(dialogs.echoShown[0].delayPosition, 100);
  EXPECT_EQ(dialogs.echoShown[0].decayPosition, 50);
  EXPECT_EQ(dialogs.echoShown[0].delayLabel, "Delay: 100 ms");
  EXPECT_EQ(dialogs.echoShown[0].decayLabel, "Decay: 50 %");
  EXPECT_EQ(services.document.effects.echo.delayMs, 100);
  EXPECT_EQ(left(), impulse);
  EXPECT_FALSE(saveEnabled());
  EXPECT_EQ(prompter.busyCalls, 0);

  // OK with the defaults: a feedback echo every 100 frames, halving each time.
  dialogs.echoAnswers.push_back({});
  EXPECT_TRUE(services.document.addEcho().modified);
  EXPECT_EQ(left()[100], 8000);
  EXPECT_EQ(left()[200], 4000);
  EXPECT_EQ(left()[300], 2000);
  EXPECT_TRUE(saveEnabled());

  // New values are stored and shown the next time.
  dialogs.echoAnswers.push_back({true, [](EchoDialogState& s) {
                                   s.scrollBarDelayChange(1000);
                                   s.scrollBarDecayChange(0);
                                 }});
  const std::vector<int> before = left();
  EXPECT_TRUE(services.document.addEcho().modified) << "decay 0 still marks the document";
  EXPECT_EQ(left(), before);
  EXPECT_EQ(services.document.effects.echo.delayMs, 1000);
  EXPECT_EQ(services.document.effects.echo.decayPercent, 0);
  dialogs.echoAnswers.push_back({false, nullptr});
  services.document.addEcho();
  EXPECT_EQ(dialogs.echoShown.back().delayPosition, 1000);
  EXPECT_EQ(dialogs.echoShown.back().decayLabel, "Decay: 0 %");
}

// Loud 20000 (61 % of full scale) for 3 envelope frames of 10 ms, quiet for 3, loud for 3.
std::vector<int> burstGapBurst() {
  std::vector<int> s(90, 20000);
  for (int i = 30; i < 60; ++i) s[static_cast<std::size_t>(i)] = 0;
  return s;
}

TEST_F(EffectCommandsTest, AutoCutCancelKeepsCuesAndOptions) {
  load(1, 16, 1000, burstGapBurst());
  services.document.document.cues.push_back(test::cue(5, 10, "mine"));
  dialogs.autoCutAnswers.push_back({false, [](AutoCutOptions& o) { o.thresholdChange(3); }});
  EXPECT_FALSE(services.document.autoCut().modified);
  ASSERT_EQ(services.document.document.cues.size(), 1u);
  EXPECT_EQ(services.document.document.cues[0].label, "mine");
  EXPECT_EQ(services.document.effects.autoCut.thresholdPercent, 30);
  EXPECT_TRUE(services.document.effects.autoCut.automatic());
  EXPECT_FALSE(saveEnabled());

  // With no dialogs to ask, the dialog commands do not run either.
  services.document.setEffectDialogs(nullptr);
  EXPECT_FALSE(services.document.autoCut().modified);
  EXPECT_FALSE(services.document.addEcho().modified);
}

TEST_F(EffectCommandsTest, AutoCutReplacesCuesShowsTheCountAndKeepsTheAutomaticThreshold) {
  load(1, 16, 1000, burstGapBurst());
  services.document.document.cues.push_back(test::cue(5, 10, "mine"));
  dialogs.autoCutAnswers.push_back({true, [](AutoCutOptions& o) { o.frameSizeChange(10); }});
  EXPECT_TRUE(services.document.autoCut().modified);
  ASSERT_EQ(services.document.document.cues.size(), 1u);
  EXPECT_EQ(services.document.document.cues[0].label, "Auto Cue 1");
  EXPECT_EQ(services.document.document.cues[0].length, 50);
  EXPECT_EQ(services.document.document.texts.status[1], "Cues: 1");
  EXPECT_GT(view.texts, 0);
  EXPECT_TRUE(saveEnabled());
  // The mean envelope (61 x 6 / 9) became the threshold; "automatic" stays chosen.
  EXPECT_EQ(services.document.effects.autoCut.thresholdPercent, 40);
  EXPECT_TRUE(services.document.effects.autoCut.automatic());
  EXPECT_EQ(services.document.effects.autoCut.frameSizeMs, 10);

  // A manual threshold above every frame gives no cut: no cues at all, still modified.
  dialogs.autoCutAnswers.push_back({true, [](AutoCutOptions& o) { o.thresholdChange(70); }});
  EXPECT_TRUE(services.document.autoCut().modified);
  EXPECT_TRUE(services.document.document.cues.empty());
  EXPECT_EQ(services.document.document.texts.status[1], "Cues: 0");
  EXPECT_EQ(dialogs.autoCutShown.back().thresholdPercent, 40) << "the dialog showed the last run";
}

TEST_F(EffectCommandsTest, AutoCutOfASignalShorterThanOneFrameChangesNothing) {
  load(1, 16, 1000, std::vector<int>(14, 20000));  // 15 ms frames need 15 sample frames
  dialogs.autoCutAnswers.push_back({});
  EXPECT_FALSE(services.document.autoCut().modified);
  EXPECT_FALSE(saveEnabled());
  EXPECT_EQ(prompter.busyDepth, 0);
}

TEST_F(EffectCommandsTest, DisabledCommandsDoNothing) {
  const std::vector<int> samples{5, -7, 9};
  // Not loaded: no dialog, no change.
  dialogs.echoAnswers.push_back({});
  EXPECT_FALSE(services.document.addEcho().modified);
  EXPECT_TRUE(dialogs.echoShown.empty());

  // Loaded, but playing or with the live source on.
  load(1, 16, 8000, samples);
  services.states.set(kStatePlaying);
  EXPECT_FALSE(services.document.reverseSignal().modified);
  EXPECT_FALSE(services.document.addEcho().modified);
  EXPECT_TRUE(dialogs.echoShown.empty());
  services.states.liveMode = true;
  services.states.set(kStateIdle);
  EXPECT_FALSE(services.document.normalizeSignal().modified);
  dialogs.autoCutAnswers.push_back({});
  EXPECT_FALSE(services.document.autoCut().modified);
  EXPECT_TRUE(dialogs.autoCutShown.empty());
  EXPECT_EQ(left(), samples);
  EXPECT_FALSE(services.document.document.isModified);
}

}  // namespace
}  // namespace voxloom
