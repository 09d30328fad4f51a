// make-evp --provenance: one JSON line per block, matching the written EVP.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

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
  return test::freshTempPath("make_evp_provenance_" + name);
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The text after `"key":` up to the next top-level ',' or '}' (enough for the flat
// values and the number arrays of a provenance line).
std::string field(const std::string& line, const std::string& key) {
  const std::string tag = "\"" + key + "\":";
  const auto at = line.find(tag);
  if (at == std::string::npos) return "<missing>";
  std::size_t i = at + tag.size();
  const std::size_t first = i;
  bool quoted = false;
  int depth = 0;
  for (; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '[') {
      ++depth;
    } else if (c == ']') {
      --depth;
    } else if ((c == ',' || c == '}') && depth == 0) {
      break;
    }
  }
  return line.substr(first, i - first);
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

struct Mode {
  const char* name;
  std::vector<std::string> options;
  bool cueList;
};

TEST(CliMakeEvpProvenance, LinesReproduceTheBlocksAndTheSameSeedTheSameLines) {
  for (const Mode& mode : {Mode{"grid", {"--xfade", "sine", "--to", "40"}, false},
                           Mode{"cues", {"--cue-list"}, true}}) {
    SCOPED_TRACE(mode.name);
    const std::string out = tempPath(std::string(mode.name) + ".wav");
    const std::string evp = tempPath(std::string(mode.name) + ".evp");
    const std::string first = tempPath(std::string(mode.name) + "1.jsonl");
    const std::string second = tempPath(std::string(mode.name) + "2.jsonl");
    for (const std::string& jsonl : {first, second}) {
      std::vector<std::string> args = {"make-evp", kDemo, "-o",           out,  "--seed", "77",
                                       "--blocks", "5",   "--provenance", jsonl};
      args.insert(args.end(), mode.options.begin(), mode.options.end());
      if (jsonl == first) args.insert(args.end(), {"--session", evp});
      const auto r = runCli(args);
      ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    const std::string text = readBytes(first);
    EXPECT_EQ(text, readBytes(second));

    const auto lines = linesOf(text);
    const auto cues = cuesOf(out);
    std::string sessionText;
    ASSERT_TRUE(readWholeTextFile(evp, sessionText));
    const SessionFileContent session = parseSessionText(sessionText);
    ASSERT_EQ(session.records.size(), 1u);
    const auto& entries = session.records[0].segments;
    ASSERT_EQ(lines.size(), 5u);
    ASSERT_EQ(cues.size(), lines.size());
    ASSERT_EQ(entries.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      SCOPED_TRACE(line);
      EXPECT_EQ(field(line, "block"), std::to_string(i + 1));
      EXPECT_EQ(field(line, "source"), "\"pseudo\"");
      EXPECT_EQ(field(line, "start"), std::to_string(entries[i].start));
      EXPECT_EQ(field(line, "length"), std::to_string(cues[i].length));
      EXPECT_EQ(field(line, "length"), std::to_string(entries[i].length));
      EXPECT_EQ(field(line, "fade"), entries[i].fade ? "true" : "false");
      EXPECT_EQ(field(line, mode.cueList ? "cue" : "segment"),
                std::to_string(entries[i].segmentNumber));
      if (mode.cueList) {
        EXPECT_EQ(field(line, "label"), "\"" + entries[i].label + "\"");
        EXPECT_EQ(field(line, "segment"), "<missing>");
      }
      // The pseudo generator's raw values are numbers; every draw gives one of each.
      const std::string raw = field(line, "raw");
      const std::string mapped = field(line, "mapped");
      EXPECT_NE(raw, "[]");
      EXPECT_EQ(raw.find('"'), std::string::npos);
      EXPECT_EQ(std::count(raw.begin(), raw.end(), ','),
                std::count(mapped.begin(), mapped.end(), ','));
      EXPECT_NE(field(line, "health"), "<missing>");
    }
  }
}

TEST(CliMakeEvpProvenance, AnUnwritablePathFailsButTheEvpIsWritten) {
  const std::string out = tempPath("kept.wav");
  const std::string jsonl = ::testing::TempDir() + "no_such_folder/p.jsonl";
  const auto r =
      runCli({"make-evp", kDemo, "-o", out, "--seed", "3", "--blocks", "3", "--provenance", jsonl});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Can't write the provenance file '" + jsonl + "'."), std::string::npos)
      << r.err;
  EXPECT_EQ(cuesOf(out).size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(jsonl));
}

TEST(CliMakeEvpProvenance, RefusesToOverwriteTheInputOrOutput) {
  const std::string out = tempPath("same.wav");
  for (const std::string& target : {kDemo, out}) {
    const auto r = runCli({"make-evp", kDemo, "-o", out, "--blocks", "1", "--provenance", target});
    EXPECT_EQ(r.exitCode, 2) << target;
  }
}

}  // namespace
}  // namespace voxloom
