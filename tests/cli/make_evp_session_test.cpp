// make-evp --session: the EVP is appended to a session file as a capture would add it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/audio/byte_stream.h"
#include "core/audio/wav_reader.h"
#include "core/session/session_file.h"
#include "core/util/text_line_reader.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::readBytes;
using test::runCli;

const std::string kDemo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";

std::string tempPath(const std::string& name) {
  return test::freshTempPath("make_evp_session_" + name);
}

SessionFileContent readSession(const std::string& path) {
  std::string text;
  EXPECT_TRUE(readWholeTextFile(path, text)) << path;
  return parseSessionText(text);
}

std::vector<CuePoint> cuesOf(const std::string& wav) {
  AudioDocument doc;
  auto stream = ByteStream::openFile(wav);
  EXPECT_TRUE(stream);
  if (stream) {
    EXPECT_EQ(loadWav(*stream, doc, wav).status, WavLoadStatus::Loaded);
  }
  return doc.cues;
}

TEST(CliMakeEvpSession, TwoRunsAppendTwoRecordsThatExportToTheSameFiles) {
  const std::string evp = tempPath("two.evp");
  const std::string first = tempPath("first.wav"), second = tempPath("second.wav");
  auto r = runCli({"make-evp", kDemo, "-o", first, "--seed", "5", "--blocks", "6", "--session", evp,
                   "--question", "Is anybody here?"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = runCli({"make-evp", kDemo, "-o", second, "--seed", "6", "--seconds", "1", "--xfade", "linear",
              "--session", evp});
  ASSERT_EQ(r.exitCode, 0) << r.err;

  const SessionFileContent content = readSession(evp);
  ASSERT_TRUE(content.valid);
  EXPECT_EQ(content.wavPath, std::filesystem::absolute(kDemo).lexically_normal().string());
  ASSERT_EQ(content.records.size(), 2u);
  EXPECT_EQ(content.records[0].question, "Is anybody here?");
  EXPECT_EQ(content.records[1].question, "");
  EXPECT_EQ(content.records[0].dateTime.size(), 19u);  // "YYYY MM DD hh mm ss"
  // Every block of each output is an entry of its record, in order, serials from 1.
  for (std::size_t k = 0; k < 2; ++k) {
    const auto cues = cuesOf(k == 0 ? first : second);
    const auto& entries = content.records[k].segments;
    ASSERT_EQ(entries.size(), cues.size()) << "record " << k;
    if (k == 0) {
      EXPECT_EQ(entries.size(), 6u);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].serial, static_cast<std::int32_t>(i + 1));
      EXPECT_EQ(entries[i].length, cues[i].length);
      EXPECT_EQ(entries[i].fade, k == 1);
    }
  }

  r = runCli({"session", evp});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"question\":\"Is anybody here?\""), std::string::npos) << r.out;

  // Exporting a record renders the very bytes make-evp wrote (export fades with the
  // window's current shape, Linear by default, as the second run did).
  const std::string exported = tempPath("exported.wav");
  for (int n = 1; n <= 2; ++n) {
    r = runCli({"export", evp, "--evp", std::to_string(n), "-o", exported});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(readBytes(exported) == readBytes(n == 1 ? first : second)) << "EVP " << n;
  }
}

TEST(CliMakeEvpSession, RefusesWhatIsNotItsSessionAndLeavesItAlone) {
  const std::string out = tempPath("out.wav");
  const std::string bogus = tempPath("bogus.evp");
  { std::ofstream(bogus) << "not a session\n"; }
  auto r = runCli({"make-evp", kDemo, "-o", out, "--blocks", "2", "--session", bogus});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Error: Invalid session file.\n");
  EXPECT_EQ(readBytes(bogus), "not a session\n");
  EXPECT_FALSE(std::filesystem::exists(out));

  const std::string other = tempPath("other.evp");
  {
    std::ofstream(other) << "# Voxloom 2.0 session file\n/elsewhere/x.wav\n[NextSequence]\n"
                            "2026 03 14 21 05 09\nq\na\n1 2 1 0 \n";
  }
  const std::string before = readBytes(other);
  r = runCli({"make-evp", kDemo, "-o", out, "--blocks", "2", "--session", other});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("belongs to the WAV file '/elsewhere/x.wav'"), std::string::npos) << r.err;
  EXPECT_EQ(readBytes(other), before);

  r = runCli({"make-evp", kDemo, "-o", out, "--question", "lonely"});
  EXPECT_EQ(r.exitCode, 2);
}

// Runs that append to one session at the same time each keep their record: the file is
// locked from reading to writing.
TEST(CliMakeEvpSession, ConcurrentRunsKeepEveryRecord) {
  const std::string evp = tempPath("busy.evp");
  constexpr int kParallel = 6;
  constexpr int kRounds = 4;
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> children;
    for (int i = 0; i < kParallel; ++i) {
      const std::string out = tempPath("busy" + std::to_string(i) + ".wav");
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(VOXLOOM_CLI_PATH, VOXLOOM_CLI_PATH, "make-evp", kDemo.c_str(), "-o", out.c_str(),
              "--blocks", "1", "--seed", "7", "--session", evp.c_str(), nullptr);
        _exit(127);
      }
      children.push_back(child);
    }
    for (const pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
  }
  EXPECT_EQ(readSession(evp).records.size(), std::size_t{kParallel * kRounds});
}

}  // namespace
}  // namespace voxloom
