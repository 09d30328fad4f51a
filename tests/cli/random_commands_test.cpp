#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/source_options.h"
#include "core/random/health/block_tests.h"
#include "core/util/text_encoding.h"
#include "tests/support/run_cli.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

using test::runCli;

std::string tempPath(const std::string& name) {
  return ::testing::TempDir() + "random_cli_" + name;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(SourceOptionsParser, ValuesAndWrongValues) {
  struct Case {
    std::vector<std::string> args;
    std::string error;  // "" when taken
  };
  const std::vector<Case> cases = {
      {{"--source", "file:a.txt"}, ""},
      {{"--source", "soundcard"}, ""},
      {{"--source", "soundcard:2"}, ""},
      {{"--source", "manual:2147483647"}, ""},
      {{"--r", "3.99"}, ""},
      {{"--unbias", "vonneumann"}, ""},
      {{"--source", "file"}, "--source file needs :PATH"},
      {{"--source", "manual:2147483648"}, "--source manual needs a position 0..2147483647"},
      {{"--source", "soundcard:x"}, "--source soundcard:INDEX needs a device index >= 0"},
      {{"--source", "pseudo:1"}, "--source pseudo takes no argument"},
      {{"--source", "dice"}, "unknown random source 'dice'"},
      {{"--r", "3,8"}, "--r needs a decimal number"},
      {{"--x", "nan"}, "--x needs a decimal number"},
      {{"--seed", "-1"}, "--seed needs a whole number"},
      {{"--port-rate", "0"}, "--port-rate needs Hz >= 1"},
      {{"--port-line", "8"}, "--port-line needs a bit 0..7"},
      {{"--unbias", "some"}, "--unbias needs none, xor or vonneumann"},
      {{"--seed"}, "--seed needs a value"},
  };
  for (const Case& c : cases) {
    cli::SourceOptions o;
    std::string error;
    std::size_t i = 0;
    const auto take = cli::takeSourceOption(c.args, i, o, error);
    EXPECT_EQ(take, c.error.empty() ? cli::OptionTake::Taken : cli::OptionTake::Wrong) << c.args[0];
    EXPECT_EQ(error, c.error);
  }
  cli::SourceOptions o;
  std::string error;
  std::size_t i = 0;
  const std::vector<std::string> r = {"--r", "3.7000000000000000001"};
  cli::takeSourceOption(r, i, o, error);
  EXPECT_EQ(o.growthRate, 3.7000000000000000001L);  // long double, not double
  i = 0;
  EXPECT_EQ(cli::takeSourceOption({"--out"}, i, o, error), cli::OptionTake::NotMine);
}

TEST(SourceOptionsParser, AppliedOptionsSetTheSources) {
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources sources(stop, prompter, noPlayback);
  cli::SourceDevices devices;
  cli::SourceOptions o;
  std::string error;
  o.kind = "file";
  o.argument = "n.txt";
  o.noLoop = true;
  o.convert = true;
  o.seed = (std::uint64_t{1} << 32) + 1;  // the low 32 bits
  EXPECT_EQ(cli::applySourceOptions(o, sources, devices, error), cli::ApplyResult::Ok);
  EXPECT_EQ(sources.randomKind, RandomSourceKind::RandomFile);
  EXPECT_EQ(sources.randomFilePath, "n.txt");
  EXPECT_FALSE(sources.menu.fileLoop);
  EXPECT_TRUE(sources.menu.convert);
  EXPECT_EQ(sources.pseudo.nextPseudoRandom(), 346);

  o = {};
  o.kind = "manual";
  o.argument = "77";
  cli::applySourceOptions(o, sources, devices, error);
  EXPECT_EQ(sources.manualPosition, 77);

  o = {};
  o.kind = "parport";
  o.argument = tempPath("not_a_port");
  std::ofstream(o.argument) << "x";
  EXPECT_EQ(cli::applySourceOptions(o, sources, devices, error), cli::ApplyResult::Failed);
  ASSERT_FALSE(prompter.shown.empty());
  EXPECT_EQ(prompter.shown.back().text, "Failed to set up the parallel port as a random source:\n" +
                                            o.argument +
                                            " is not a parallel port that can be claimed.");
}

TEST(CliRandom, PseudoDrawsAreReproducibleAndScaled) {
  auto r = runCli({"random", "--seed", "1", "--count", "3", "--range", "100"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "0\n0\n75\n");
  r = runCli({"random", "--seed", "1", "--count", "2"});
  EXPECT_EQ(r.out, "161\n6451680\n");  // range 10^9 by default
}

TEST(CliRandom, FractalAndManualSourcesDrawWithoutAWindow) {
  // r = 3.8 from x = 0.5: 0.95, 0.1805, 0.5621...
  auto r = runCli({"random", "--source", "fractal", "--count", "3", "--range", "10"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "9\n1\n5\n");
  r = runCli(
      {"random", "--source", "fractal", "--r", "4", "--x", "0.25", "--count", "2", "--range", "4"});
  EXPECT_EQ(r.out, "3\n3\n");  // 0.75 twice: a fixed point of r = 4
  r = runCli({"random", "--source", "manual:1073741824", "--count", "2", "--range", "10"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "5\n5\n");
}

TEST(CliRandom, FileSourceLoopsOrEndsWithItsMessage) {
  const std::string numbers = tempPath("n.txt");
  std::ofstream(numbers) << "; noise\n1\n-1\n";
  auto r = runCli({"random", "--source", "file:" + numbers, "--range", "65536", "--count", "3"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "32769\n32767\n32769\n");
  r = runCli(
      {"random", "--source", "file:" + numbers, "--no-loop", "--range", "65536", "--count", "3"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "32769\n32767\n");  // what was drawn stays printed
  EXPECT_EQ(r.err,
            "Info: End of random source file. Playback has been stopped.\n\nTip: To enable "
            "automatic restart, check 'Preferences > Random source > Loop file'.\n");
}

TEST(CliRandom, StderrSaysWhatHappenedInPlainText) {
  // A binary file read as text: its bytes reach the message, but not raw.
  const std::string binary = tempPath("binary.txt");
  std::ofstream(binary, std::ios::binary) << "\xff\xfe\x80z\xc3\n";
  const std::string out = tempPath("stuck.wav");
  const std::string demo = std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav";
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string err;  // what stderr holds; its only line unless empty
  };
  const Case cases[] = {
      {{"random", "--source", "file:" + binary}, 1, "\"???z?\" is not a valid integer"},
      // A stuck source passes unnoticed no more, log or not; the exit status stays.
      {{"random", "--source", "device:/dev/zero", "--count", "100"},
       0,
       "Warning: Repetition health test failed at draw "},
      {{"make-evp", demo, "-o", out, "--blocks", "10", "--source", "device:/dev/zero"},
       0,
       "Warning: Repetition health test failed at draw "},
      {{"random", "--source", "device:/dev/urandom", "--count", "100"}, 0, ""},
  };
  for (const Case& c : cases) {
    const auto r = runCli(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[2] << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    if (c.exitCode == 0) {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.err.empty() ? 0 : 1);
    }
    EXPECT_TRUE(isValidUtf8(r.err));
  }
}

TEST(CliRandom, WrongUsageAndMissingDevices) {
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string errStart;
  };
  const std::vector<Case> cases = {
      {{"random", "--range", "0"}, 2, "voxloom-cli: --range needs 1..2147483647"},
      {{"random", "--source", "device:/dev/voxloom_missing"},
       1,
       "Error: The random device '/dev/voxloom_missing' can't be opened: No such file or "
       "directory."},
      {{"random", "extra"}, 2, "voxloom-cli: random takes no file argument"},
      {{"write-rn", "--count", "0", "x.txt"},
       2,
       "voxloom-cli: --count needs a whole number 1..1000000"},
      {{"write-rn", "x.txt"}, 2, "voxloom-cli: write-rn needs --count K"},
      {{"random", "--source", "parport:/dev/parport_missing"},
       1,
       "Error: Failed to set up the parallel port as a random source:\ncan't open "
       "/dev/parport_missing: No such file or directory."},
      {{"random", "--source", "file:/nonexistent/n.pcm"},
       1,
       "Error: Can't open random source file '/nonexistent/n.pcm'."},
      // Port 1 on the loopback address: nothing listens there.
      {{"random", "--source", "internet:http://127.0.0.1:1/?n=%num%", "--count", "1"},
       1,
       "Error: Failed to retrieve random numbers from the Internet: "},
  };
  for (const Case& c : cases) {
    const auto r = runCli(c.args);
    EXPECT_EQ(r.exitCode, c.exit) << c.args[1];
    EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
  }
}

TEST(CliWriteRn, WritesRawValuesOneALine) {
  const std::string out = tempPath("w.txt");
  auto r = runCli({"write-rn", "--seed", "1", "--count", "3", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(readAll(out), "346\n13854878\n1621890440\n");

  // Converted words from a file: 32 rising numbers fold into all ones, read as signed.
  const std::string numbers = tempPath("rising.txt");
  {
    std::ofstream f(numbers);
    for (int i = 1; i <= 64; ++i) f << i << '\n';
  }
  r = runCli({"write-rn", "--source", "file:" + numbers, "--convert", "--count", "2", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readAll(out), "-1\n-1\n");
  r = runCli({"write-rn", "--seed", "1", "--count", "2", "/nonexistent/dir/w.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Error: Can't open log file '/nonexistent/dir/w.txt' for writing.\n");
}

TEST(CliRandom, TestReportsAndExitCodes) {
  const std::string constant = tempPath("constant.txt");
  std::ofstream(constant) << "5\n";
  struct Case {
    std::vector<std::string> args;
    int exit;
    std::string shows;
  };
  const Case cases[] = {
      {{"random", "--test", "--seed", "1", "--count", "20000"}, 0, "Result: all tests passed"},
      {{"random", "--test", "--source", "file:" + constant, "--count", "20000"},
       3,
       "Result: a test FAILED"},
      {{"random", "--test", "--source", "file:" + constant, "--count", "20000"},
       3,
       "repetition count test: cut-off 21"},
      {{"random", "--test", "--raw"}, 2, ""},
  };
  for (const Case& c : cases) {
    const auto r = runCli(c.args);
    EXPECT_EQ(r.exitCode, c.exit) << c.args[1] << r.err;
    EXPECT_NE(r.out.find(c.shows), std::string::npos) << r.out;
  }
}

TEST(CliRandom, RawPacksEachSourcesNaturalUnit) {
  // 8 pseudo values of 31 bits: 31 bytes; 5 file samples of 16 bits: 10 bytes.
  auto r = runCli({"random", "--raw", "--seed", "1", "--count", "8"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.size(), 31u);
  const std::string numbers = tempPath("raw.txt");
  std::ofstream(numbers) << "1\n-1\n";
  r = runCli({"random", "--raw", "--source", "file:" + numbers, "--count", "3"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, std::string("\x00\x01\xFF\xFF\x00\x01", 6));
}

// The bytes of --raw are the values the log shows, in the same order, each in its
// source's width.
TEST(CliRandom, RawBytesAreTheLoggedValues) {
  const std::string numbers = tempPath("raw_log_numbers.txt");
  {
    std::ofstream out(numbers);
    for (int i = 0; i < 100; ++i) out << (i * 7919) % 65536 - 32768 << "\n";
  }
  struct Case {
    std::vector<std::string> source;
    int bits;
  };
  const Case cases[] = {
      {{"--seed", "9"}, 31},
      {{"--source", "manual:123456789"}, 31},
      {{"--source", "fractal", "--convert", "--r", "3.99"}, 32},
      {{"--source", "file:" + numbers}, 16},
      {{"--source", "file:" + numbers, "--convert"}, 32},
  };
  for (const Case& c : cases) {
    const std::string log = tempPath("raw_log.txt");
    std::vector<std::string> args = {"random", "--raw", "--count", "20", "--log", log};
    args.insert(args.end(), c.source.begin(), c.source.end());
    const auto r = runCli(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    BitPacker packer;
    std::istringstream lines(readAll(log));
    std::int64_t value = 0;
    int count = 0;
    for (; lines >> value; ++count) packer.put(static_cast<std::uint32_t>(value), c.bits);
    EXPECT_EQ(count, 20) << c.source.back();
    EXPECT_EQ(r.out, std::string(packer.bytes.begin(), packer.bytes.end())) << c.source.back();
  }
  // The fractal value itself: 0.75, a fixed point of r = 4, is three quarters of 2^32.
  const auto r =
      runCli({"random", "--raw", "--count", "2", "--source", "fractal", "--r", "4", "--x", "0.25"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, std::string("\xC0\0\0\0\xC0\0\0\0", 8));
}

}  // namespace
}  // namespace voxloom
