#include <gtest/gtest.h>

#include "core/audio/byte_stream.h"
#include "core/audio/wav_reader.h"
#include "tests/core/session/session_example.h"
#include "tests/support/riff_builder.h"
#include "tests/support/run_cli.h"

namespace voxloom {
namespace {

using test::runCli;

std::string writeText(const std::string& name, const std::string& text) {
  return test::writeTempFile(name, {text.begin(), text.end()});
}

TEST(CliSession, PrintsTheExampleAsJson) {
  const auto r = runCli({"session", writeText("ex.evp", test::kExampleSession)});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(
      r.out,
      R"({"version":"2.0","wavPath":"C:\\EVP\\whitenoise.wav","records":[)"
      R"({"dateTime":"2026 03 14 21 05 09","question":"Is anybody here?",)"
      R"("answer":"yes, I am here","entries":[)"
      R"({"start":88200,"length":4410,"serial":1,"segmentNumber":20,"fade":false,"label":"hello"},)"
      R"({"start":30870,"length":5292,"serial":2,"segmentNumber":7,"fade":true,"label":"ok"},)"
      R"({"start":1764,"length":4410,"serial":3,"segmentNumber":0,"fade":false,"label":""}]},)"
      R"({"dateTime":"2026 03 14 21 07 30","question":"What is your name?","answer":"",)"
      R"("entries":[{"start":52920,"length":4410,"serial":1,"segmentNumber":12,"fade":false,"label":""}]}]})"
      "\n");
}

TEST(CliSession, OldVersionsEmptyRecordsAndErrors) {
  auto r = runCli({"session", writeText("old.evp",
                                        "# Voxloom 1.0 session file\nw.wav\n"
                                        "[NextSequence]\nd\n\"q\"\na")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, R"({"version":"1.0","wavPath":"w.wav","records":[{"dateTime":"d",)"
                   R"("question":"\"q\"","answer":"a","entries":[]}]})"
                   "\n");
  r = runCli({"session", writeText("bad.evp", "# Voxloom 1.5 session file\n")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Error: Invalid session file.\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(runCli({"session", test::tempDir() + "/missing.evp"}).exitCode, 1);
  EXPECT_EQ(runCli({"session"}).exitCode, 2);
  // A device never ends: it is refused, not read (make-evp --session likewise).
  r = runCli({"session", "/dev/zero"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Error: Invalid session file.\n");
  r = runCli({"make-evp", std::string(VOXLOOM_SOURCE_DIR) + "/assets/demo.wav", "-o",
              test::tempDir() + "/z.wav", "--blocks", "1", "--session", "/dev/zero"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Error: Invalid session file.\n");
}

TEST(CliExport, WritesTheChosenEvp) {
  const std::string wav = test::writeTempFile("sig.wav", test::simpleWav(1, 16, 8000, 4000));
  const std::string session =
      writeText("s.evp", "# Voxloom 2.0 session file\n" + wav +
                             "\n[NextSequence]\nd\nq\na\n0 10 1 0 \n[NextSequence]\nd\nq\na\n"
                             "100 300 1 4 first\n50 20 2 5 [FADE] second\n");
  const std::string out = test::tempDir() + "/evp2.wav";
  auto r = runCli({"export", session, "--evp", "2", "-o", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto stream = ByteStream::openFile(out);
  ASSERT_TRUE(stream);
  AudioDocument doc;
  ASSERT_EQ(loadWav(*stream, doc, out).status, WavLoadStatus::Loaded);
  ASSERT_EQ(doc.cues.size(), 2u);
  EXPECT_EQ(doc.cues[1].position, 300);
  EXPECT_EQ(doc.cues[1].label, "Segment 2 (\"second\")");
  EXPECT_EQ(doc.cues[0].note.substr(0, 14), "File: sig.wav,");

  // A moved signal: --wav takes its place; without it the export fails.
  const std::string moved = writeText(
      "m.evp", "# Voxloom 2.0 session file\n/gone/sig.wav\n[NextSequence]\nd\nq\na\n0 10 1 0 \n");
  EXPECT_EQ(runCli({"export", moved, "--evp", "1", "-o", out}).exitCode, 1);
  r = runCli({"export", moved, "--evp", "1", "-o", out, "--wav", wav});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(runCli({"export", moved, "--evp", "2", "-o", out, "--wav", wav}).exitCode, 1);
  EXPECT_EQ(runCli({"export", moved, "--evp", "0", "-o", out}).exitCode, 2);
  EXPECT_EQ(runCli({"export", moved, "-o", out}).exitCode, 2);
}

}  // namespace
}  // namespace voxloom
