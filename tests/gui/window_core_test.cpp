#include <gtest/gtest.h>

#include <memory>

#include "core/app/main_presenter.h"
#include "gui/form_main.h"
#include "tests/support/fake_shell.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

// The services are built before the window and end after it: once it is gone they tell
// nobody, and a window made later shows what they hold.
TEST(WindowCore, OutlivesItsWindow) {
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  NoQuestionPrompt noQuestions;
  WindowCore core(prompter, shell, noQuestions);
  core.presenter.enterIdle();
  auto form = std::make_unique<TFormMain>(core.presenter);
  form.reset();

  const std::string wav = test::writeTempFile("outlives.wav", test::simpleWav(1, 16, 8000, 64));
  ASSERT_EQ(core.services.readWavFile(wav), 0);
  EXPECT_TRUE(core.services.states.enabled(Command::Play));
  // Its dialogs went with it: the echo's counts as cancelled.
  EXPECT_FALSE(core.services.document.addEcho().modified);

  TFormMain again(core.presenter);
  EXPECT_EQ(again.windowTitle().toStdString(), core.services.document.document.texts.windowTitle);
  EXPECT_TRUE(prompter.log().empty());
}

}  // namespace
}  // namespace voxloom
