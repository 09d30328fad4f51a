// An output that is another file of the run is refused before anything is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

namespace fs = std::filesystem;

TEST(CliOutputGuard, AnOutputThatIsAnotherFileOfTheRunIsRefused) {
  const std::string d = ::testing::TempDir() + "output_guard/";  // "@" in the arguments
  const std::string src = "file:@src.txt", made = "make-evp";
  struct Case {
    std::vector<std::string> args;
    std::string kept;   // keeps its bytes
    std::string roles;  // as the message names them
  };
  const Case cases[] = {
      {{"random", "--source", src, "--log", "@src.txt"},
       "src.txt",
       "log and the random number file"},
      {{made, "@a.wav", "-o", "@o.wav", "--source", src, "--log", "@src.txt"},
       "src.txt",
       "log and the random number file"},
      {{"write-rn", "--source", src, "--count", "10", "@src.txt"},
       "src.txt",
       "output and the random number file"},
      {{made, "@a.wav", "-o", "@o.wav", "--source", src, "--provenance", "@src.txt"},
       "src.txt",
       "provenance file and the random number file"},
      {{"export", "@s.evp", "--evp", "1", "-o", "@s.evp"}, "s.evp", "output and the session"},
      {{"export", "@s.evp", "--evp", "1", "-o", "@a.wav"}, "a.wav", "output and the session WAV"},
      {{made, "@a.wav", "-o", "@s.evp", "--session", "@s.evp"}, "s.evp", "output and the session"},
      {{made, "@a.wav", "-o", "@a.wav"}, "a.wav", "output and the input"},
      // Other names of the same file: a link, a hard link.
      {{"random", "--source", "file:@./src.txt", "--log", "@link"},
       "src.txt",
       "log and the random number file"},
      {{"copy", "@sub/../a.wav", "@hard.wav"}, "a.wav", "output and the input"},
  };
  for (const Case& c : cases) {
    fs::remove_all(d);
    fs::create_directories(d + "sub");
    fs::copy_file(std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav", d + "a.wav");
    std::ofstream(d + "src.txt") << "12345\n678\n4242\n";
    fs::create_symlink(d + "src.txt", d + "link");
    fs::create_hard_link(d + "a.wav", d + "hard.wav");
    ASSERT_EQ(test::runCli(
                  {made, d + "a.wav", "-o", d + "e.wav", "--blocks", "2", "--session", d + "s.evp"})
                  .exitCode,
              0);
    std::vector<std::string> args = c.args;
    for (std::string& a : args)
      if (const auto at = a.find('@'); at != std::string::npos) a.replace(at, 1, d);
    const std::string kept = test::readBytes(d + c.kept);
    const auto r = test::runCli(args);
    EXPECT_EQ(r.exitCode, 2) << args[0] << " " << args.back();
    EXPECT_NE(r.err.find("the " + c.roles + " are the same file"), std::string::npos) << r.err;
    EXPECT_TRUE(test::readBytes(d + c.kept) == kept) << args[0] << " changed " << c.kept;
    EXPECT_FALSE(fs::exists(d + "o.wav")) << args[0];
  }
}

}  // namespace
}  // namespace voxloom
