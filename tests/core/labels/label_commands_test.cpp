#include "core/labels/label_commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/app/main_presenter.h"
#include "tests/support/fake_shell.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

namespace fs = std::filesystem;

class LabelCommandsTest : public ::testing::Test {
 protected:
  LabelCommandsTest() : core(prompter, shell, noQuestions) {
    dir = fs::path(::testing::TempDir()) /
          ("labels_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    test::makeConstantSignal(services.document.document, 44100, 0);
    services.document.document.path = (dir / "take.wav").string();
    services.document.document.cues = {test::cue(100, 0, "one"), test::cue(2000, 500, "two")};
    services.document.document.cues[0].id = 1;
    services.document.document.cues[1].id = 7;
    services.states.set(kStateIdle);
  }
  ~LabelCommandsTest() override { fs::remove_all(dir); }

  std::string write(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path dir;
  test::ScriptedPrompter prompter;
  test::FakeShell shell;
  NoQuestionPrompt noQuestions;
  WindowCore core;
  AppServices& services = core.services;
  MainPresenter& controller = core.presenter;
};

TEST_F(LabelCommandsTest, ExportThenImportGivesTheSameCues) {
  const std::string path = (dir / "take.txt").string();
  prompter.saveFiles.push_back(path);
  ASSERT_EQ(services.document.exportLabels(), 0);
  EXPECT_EQ(prompter.saveDialogs.at(0).fileName, "take.txt");
  EXPECT_EQ(prompter.saveDialogs.at(0).title, "Export labels...");  // as the menu item says
  EXPECT_EQ(read(path), "0.002268\t0.002268\tone\n0.045351\t0.056689\ttwo\n");

  const std::vector<CuePoint> before = services.document.document.cues;
  prompter.openFiles.push_back(path);
  prompter.answers.push_back(Answer::Yes);  // replace
  ASSERT_EQ(services.document.importLabels(), 0);
  EXPECT_EQ(prompter.openDialogs.at(0).title, "Import labels...");
  const auto& after = services.document.document.cues;
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].position, before[i].position);
    EXPECT_EQ(after[i].length, before[i].length);
    EXPECT_EQ(after[i].label, before[i].label);
    EXPECT_EQ(after[i].id, i + 1);
  }
  EXPECT_TRUE(services.document.document.isModified);
  EXPECT_TRUE(services.states.commands()[Command::Save]);
  EXPECT_EQ(services.document.document.texts.status[1], "Cues: 2");
}

TEST_F(LabelCommandsTest, ReplaceAddOrCancel) {
  const std::string path = write("in.txt", "0.01\t0.01\tnew\nbroken\n");
  struct Case {
    Answer answer;
    int result;
    std::vector<std::string> labels;
    std::vector<std::uint32_t> ids;
  };
  const Case cases[] = {
      {Answer::Cancel, 1, {"one", "two"}, {1, 7}},
      {Answer::No, 0, {"one", "new", "two"}, {1, 2, 7}},  // added, sorted by position
      {Answer::Yes, 0, {"new"}, {1}},
  };
  const std::vector<CuePoint> original = services.document.document.cues;
  for (const Case& c : cases) {
    services.document.document.cues = original;
    services.document.document.isModified = false;
    prompter.shown.clear();
    prompter.openFiles.push_back(path);
    prompter.answers.push_back(c.answer);
    EXPECT_EQ(services.document.importLabels(), c.result);
    std::vector<std::string> labels;
    std::vector<std::uint32_t> ids;
    for (const CuePoint& cue : services.document.document.cues) {
      labels.push_back(cue.label);
      ids.push_back(cue.id);
    }
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(services.document.document.isModified, c.result == 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].text.find("Line 2: no TAB"), std::string::npos);
    EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::YesNoCancel);
  }
}

TEST(ApplyImportedCues, NewCuesTakeTheSmallestFreeIdentifiers) {
  struct Case {
    std::vector<std::uint32_t> present;
    CueMerge merge;
    std::vector<std::uint32_t> added;  // identifiers of the three imported cues
  };
  const Case cases[] = {
      {{1, 4294967294u}, CueMerge::Add, {2, 3, 4}},  // counting on from the largest wrapped
      {{4294967295u}, CueMerge::Add, {1, 2, 3}},
      {{2, 4, 1}, CueMerge::Add, {3, 5, 6}},
      {{0}, CueMerge::Add, {1, 2, 3}},
      {{5, 9}, CueMerge::Replace, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    AudioDocument doc;
    for (const std::uint32_t id : c.present) {
      doc.cues.push_back(test::cue(0, 0, "old"));
      doc.cues.back().id = id;
    }
    std::vector<CuePoint> imported;
    for (int i = 1; i <= 3; ++i) imported.push_back(test::cue(10 * i, 0, "new"));
    applyImportedCues(doc, imported, c.merge);
    std::vector<std::uint32_t> added, all;
    for (const CuePoint& cue : doc.cues) {
      all.push_back(cue.id);
      if (cue.label == "new") added.push_back(cue.id);
    }
    EXPECT_EQ(added, c.added) << c.present.front();
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "duplicate identifier";
  }
}

TEST_F(LabelCommandsTest, NothingReadableOrUnreadableFileChangesNothing) {
  for (const std::string& path :
       {write("junk.txt", "junk\nmore junk\n"), (dir / "missing.txt").string()}) {
    prompter.shown.clear();
    prompter.openFiles.push_back(path);
    EXPECT_EQ(services.document.importLabels(), 1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "Error");
    EXPECT_EQ(services.document.document.cues.size(), 2u);
    EXPECT_FALSE(services.document.document.isModified);
  }
  // Not while anything runs.
  services.states.set(kStatePlaying);
  EXPECT_EQ(services.document.importLabels(), 1);
  EXPECT_EQ(services.document.exportLabels(), 1);
  EXPECT_TRUE(prompter.openDialogs.size() == 2 && prompter.saveDialogs.empty());
}

TEST_F(LabelCommandsTest, FailedExportSaysSoAndLeavesTheTargetAlone) {
  const fs::path target = dir / "folder.txt";  // a folder where the file should go
  fs::create_directories(target / "inside");
  prompter.saveFiles.push_back(target.string());
  EXPECT_EQ(services.document.exportLabels(), 1);
  EXPECT_TRUE(fs::is_directory(target / "inside"));
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "Can't write label file '" + target.string() + "'.");
}

}  // namespace
}  // namespace voxloom
