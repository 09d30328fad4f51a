#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/listen/heard_words.h"
#include "core/ports/speech_listener.h"
#include "tests/support/librivox.h"
#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::runCli;

const std::string kRecording =
    std::string(test::kLibriVoxDir) + "/sense_and_sensibility_01_austen_64kb-0920.wav";

std::string textFile(const std::string& name, const std::string& text) {
  return test::writeTempFile(name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(CliListen, RefusesWrongUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"listen"},
           {"listen", kRecording, kRecording},
           {"listen", kRecording, "--loud"},
           {"listen", kRecording, "--words"},
           {"listen", kRecording, "--min-confidence", "1.5"},
           {"listen", kRecording, "--min-confidence", "most"},
           {"listen", kRecording, "--labels", kRecording},
       }) {
    const auto r = runCli(args);
    EXPECT_EQ(r.exitCode, 2) << args.back();
    EXPECT_NE(r.err.find("Usage: voxloom-cli listen"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliListen, SaysWhenTheListenerIsNotBuilt) {
  if (VOXLOOM_LISTENER_BUILT) GTEST_SKIP() << "the listener is built";
  const auto r = runCli({"listen", kRecording});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find(kListenerNotBuiltText), std::string::npos) << r.err;
}

// The JSON lines in time order, and the same words as a label track that `labels
// --import` takes back.
TEST(CliListen, PrintsWordsAndWritesThemAsLabels) {
  if (!VOXLOOM_LISTENER_BUILT) GTEST_SKIP() << kListenerNotBuiltText;
  const std::string labels = test::tempDir() + "/words.txt";
  const auto r = runCli({"listen", kRecording, "--labels", labels, "--min-confidence", "0.5"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const HeardWordsRead read = readHeardWords(r.out);
  EXPECT_EQ(read.unreadable, 0);
  ASSERT_GE(read.words.size(), 8u);
  for (std::size_t i = 0; i < read.words.size(); ++i) {
    EXPECT_GE(read.words[i].confidence, 0.5);
    if (i > 0) {
      EXPECT_GE(read.words[i].start, read.words[i - 1].start);
    }
  }
  const std::string out = test::tempDir() + "/with_words.wav";
  const auto imported = runCli({"labels", kRecording, "--import", labels, "-o", out});
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  const auto track = runCli({"labels", out});
  EXPECT_NE(track.out.find("\tamiable\n"), std::string::npos) << track.out;
  EXPECT_EQ(std::count(track.out.begin(), track.out.end(), '\n'),
            static_cast<std::ptrdiff_t>(read.words.size()));
}

TEST(CliListen, SpotsListedWordsAndNamesWhatItCannot) {
  if (!VOXLOOM_LISTENER_BUILT) GTEST_SKIP() << kListenerNotBuiltText;
  const std::string list = textFile("list.txt",
                                    "\xEF\xBB\xBF"
                                    "Amiable\r\n\r\nrespectable\r\n");
  const auto spotted = runCli({"listen", kRecording, "--words", list});
  ASSERT_EQ(spotted.exitCode, 0) << spotted.err;
  const auto words = readHeardWords(spotted.out).words;
  ASSERT_EQ(words.size(), 2u) << spotted.out;
  EXPECT_EQ(words[0].word, "amiable");
  EXPECT_EQ(words[1].word, "respectable");

  struct Case {
    std::vector<std::string> args;
    std::string says;
    std::string file = kRecording;
  } cases[] = {
      // A rate no sound card has would make blocks of gigabytes.
      {{},
       "not 2000000000 Hz",
       test::writeTempFile("fast.wav", test::simpleWav(1, 16, 2000000000, 8))},
      {{"--words", textFile("odd.txt", "amiable\nzorblaxian\n")}, "'zorblaxian'"},
      {{"--words", textFile("blank.txt", "\n \n")}, "is empty"},
      {{"--words", test::tempDir()}, "is a folder"},
      {{"--model", "/nonexistent/voxloom-model"}, "'/nonexistent/voxloom-model' was not found"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"listen", c.file};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = runCli(args);
    EXPECT_EQ(r.exitCode, 1) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace voxloom
