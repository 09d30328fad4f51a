#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/app/main_presenter.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_shell.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/scripted_questions.h"

namespace voxloom::test {

// The window program's services with scripted ports, a set clock and a question prompt whose answer
// the test sets.
class SessionFixture : public ::testing::Test {
 protected:
  SessionFixture() : core(prompter, shell, questions) { sessions().setClock(clock); }

  SessionController& sessions() { return services.sessions.sessions; }
  Session& session() { return services.sessions.sessions.session; }
  const SessionPanel& panel() { return services.sessions.sessions.panel; }

  // A loaded 16-bit mono WAV file of `frames` frames.
  std::string loadWav(const std::string& name, std::uint32_t frames = 1000) {
    const std::string path = writeTempFile(name, simpleWav(1, 16, 8000, frames * 2));
    services.openWavFile(path);
    EXPECT_TRUE(services.document.document.isLoaded);
    return path;
  }

  // Captures one EVP of `entries` blocks, none still queued at the end.
  void capture(int entries, const std::string& question = "q") {
    questionAnswer = question;
    ASSERT_TRUE(sessions().beginEvpCapture());
    for (int i = 1; i <= entries; ++i)
      sessions().appendSegmentEntry(i * 10, 10, i, i % 2 ? "a" : "", false, i);
    sessions().finishEvpCapture(entries + 1, 2);
  }

  ScriptedPrompter prompter;
  FakeShell shell;
  FakeClock clock;
  ScriptedQuestions questions;
  WindowCore core;
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
  std::optional<std::string>& questionAnswer = questions.answer;
  std::vector<std::string>& promptLabels = questions.labels;
};

}  // namespace voxloom::test
