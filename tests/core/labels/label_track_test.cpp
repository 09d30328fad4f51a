#include "core/labels/label_track.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/audio/wav_writer.h"
#include "core/util/text_encoding.h"
#include "tests/support/test_signal.h"

namespace voxloom {
namespace {

using test::cue;

TEST(LabelTrackWrite, SixDecimalsPointAndRegionEnds) {
  const std::vector<CuePoint> cues = {cue(0, 0, "start"), cue(22050, 11025, "Grüße"),
                                      cue(44099, 0, "tab\there\r\nend")};
  const std::string text = writeLabelTrack(cues, 44100);
  EXPECT_EQ(text,
            "0.000000\t0.000000\tstart\n"
            "0.500000\t0.750000\tGrüße\n"
            "0.999977\t0.999977\ttab here  end\n");
  // A locale with a decimal comma changes nothing.
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
    EXPECT_EQ(writeLabelTrack(cues, 44100), text);
    std::setlocale(LC_ALL, "C");
  }
  EXPECT_EQ(writeLabelTrack(cues, 0), "");
}

TEST(LabelTrackWrite, LongLabelsAreCutAsInTheWavFile) {
  std::string label(300, 'a');
  label.replace(254, 2, "\xC3\xA4");  // a two-byte character across the limit
  const std::string text = writeLabelTrack({cue(0, 0, label)}, 8000);
  const std::string written = text.substr(18, text.size() - 19);
  EXPECT_EQ(written, cutUtf8(label, kMaxCueTextBytes));
  EXPECT_EQ(written.size(), 254u);
}

TEST(LabelTrackRoundTrip, RandomCuesComeBackExactly) {
  std::mt19937 rng(7);
  for (Rate rate : {8000, 22050, 44100, 48000, 96000, 192000}) {
    const Frames frames = rate * 3600;
    std::vector<CuePoint> cues;
    for (int i = 0; i < 2000; ++i) {
      const Frames pos = static_cast<Frames>(rng() % static_cast<unsigned>(frames));
      const Frames len = (i % 3 == 0) ? 0 : static_cast<Frames>(rng() % (frames - pos + 1));
      cues.push_back(cue(pos, len, "L" + std::to_string(i)));
    }
    const LabelReadResult back = readLabelTrack(writeLabelTrack(cues, rate), rate, frames);
    ASSERT_EQ(back.cues.size(), cues.size());
    EXPECT_TRUE(back.problems.empty());
    for (std::size_t i = 0; i < cues.size(); ++i) {
      ASSERT_EQ(back.cues[i].position, cues[i].position) << rate << " cue " << i;
      ASSERT_EQ(back.cues[i].length, cues[i].length) << rate << " cue " << i;
      ASSERT_EQ(back.cues[i].label, cues[i].label);
      ASSERT_EQ(back.cues[i].purpose, cues[i].length > 0 ? "rgn" : "");
    }
  }
}

TEST(LabelTrackRead, BadAndOddLines) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::pair<Frames, Frames>> cues;  // position, length
    std::vector<std::int64_t> badLines;
    std::vector<std::int64_t> clampedLines;
    std::vector<std::string> labels;
  };
  // 1000 frames at 1000 Hz: one second of signal.
  const std::vector<Case> cases = {
      {"bom and crlf",
       "\xEF\xBB\xBF"
       "0.1\t0.2\ta\r\n0.3\t0.3\tb\r\n",
       {{100, 100}, {300, 0}},
       {},
       {},
       {"a", "b"}},
      {"blank and frequency lines",
       "\n0.1\t0.2\tx\n\\\t100\t2000\n  \n",
       {{100, 100}},
       {},
       {},
       {"x"}},
      {"no label field", "0.5\t0.5\n", {{500, 0}}, {}, {}, {""}},
      {"missing tab", "0.5 0.6 a\n0.7\n", {}, {1, 2}, {}, {}},
      {"not numbers",
       "a\tb\tc\n0,5\t0,6\td\n\t0.1\te\nnan\tnan\tf\n1e-1\t2e-1\tg\n",
       {{100, 100}},
       {1, 2, 3, 4},
       {},
       {"g"}},
      {"end before start", "0.6\t0.5\tx\n", {}, {1}, {}, {}},
      {"negative and beyond",
       "-0.25\t0.1\ta\n0.9\t5\tb\n99999999999\t1e300\tc\n",
       {{0, 100}, {900, 100}, {1000, 0}},
       {},
       {1, 2, 3},
       {"a", "b", "c"}},
      {"rounding to the nearest frame", "0.0004\t0.0006\tr\n", {{0, 1}}, {}, {}, {"r"}},
      {"extra tabs stay in the label", "0.1\t0.1\ta\tb\n", {{100, 0}}, {}, {}, {"a b"}},
      {"windows-1252 bytes",
       "0.1\t0.1\tS\xE9"
       "ance\n",
       {{100, 0}},
       {},
       {},
       {"S\xC3\xA9"
        "ance"}},
      {"last line without newline", "0.1\t0.2\tz", {{100, 100}}, {}, {}, {"z"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LabelReadResult r = readLabelTrack(c.text, 1000, 1000);
    ASSERT_EQ(r.cues.size(), c.cues.size());
    for (std::size_t i = 0; i < c.cues.size(); ++i) {
      EXPECT_EQ(r.cues[i].position, c.cues[i].first);
      EXPECT_EQ(r.cues[i].length, c.cues[i].second);
      EXPECT_EQ(r.cues[i].label, c.labels[i]);
    }
    std::vector<std::int64_t> bad;
    std::vector<std::int64_t> clamped;
    for (const LabelLineProblem& p : r.problems)
      (p.problem == LabelProblem::Clamped ? clamped : bad).push_back(p.line);
    EXPECT_EQ(bad, c.badLines);
    EXPECT_EQ(clamped, c.clampedLines);
    EXPECT_EQ(r.unreadable, static_cast<std::int64_t>(c.badLines.size()));
    EXPECT_EQ(r.clamped, static_cast<std::int64_t>(c.clampedLines.size()));
  }
}

TEST(LabelTrackRead, EmptySignalsAndLongLabels) {
  // A signal of 0 frames takes every label at 0; 1 frame at most at its end.
  LabelReadResult r = readLabelTrack("0\t0\ta\n0.5\t1\tb\n", 1000, 0);
  ASSERT_EQ(r.cues.size(), 2u);
  EXPECT_EQ(r.cues[1].position, 0);
  EXPECT_EQ(r.clamped, 1);
  r = readLabelTrack("0.0004\t0.0006\ta\n", 1000, 1);
  EXPECT_EQ(r.cues[0].length, 1);

  const std::string longLabel(10000, 'x');
  r = readLabelTrack("0\t0\t" + longLabel + "\n", 1000, 10);
  EXPECT_EQ(r.cues[0].label, std::string(kMaxCueTextBytes, 'x'));
}

TEST(LabelTrackRead, ProblemReportNamesLinesAndCountsTheRest) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "bad\n";
  const LabelReadResult r = readLabelTrack(text, 1000, 1000);
  const std::string report = describeLabelProblems(r.problems, 3);
  EXPECT_EQ(report,
            "Line 1: no TAB between start and end\nLine 2: no TAB between start and end\n"
            "Line 3: no TAB between start and end\n... and 22 more lines");
}

// The fuzzer's seed corpus: what is read lies inside the signal and survives a write.
TEST(LabelTrackRead, CorpusFilesReadBackUnchanged) {
  const std::filesystem::path dir =
      std::filesystem::path(VOXLOOM_SOURCE_DIR) / "tests/fuzz/corpus/label";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const LabelReadResult first = readLabelTrack(text + "0\t0\tx\ry\n", 44100, 44100 * 60);
    ASSERT_FALSE(first.cues.empty());
    for (const CuePoint& c : first.cues) {
      EXPECT_GE(c.position, 0);
      EXPECT_LE(c.position + c.length, 44100 * 60);
    }
    const LabelReadResult again =
        readLabelTrack(writeLabelTrack(first.cues, 44100), 44100, 44100 * 60);
    EXPECT_TRUE(again.problems.empty());
    ASSERT_EQ(again.cues.size(), first.cues.size());
    for (std::size_t i = 0; i < first.cues.size(); ++i) {
      EXPECT_EQ(again.cues[i].position, first.cues[i].position);
      EXPECT_EQ(again.cues[i].length, first.cues[i].length);
      EXPECT_EQ(again.cues[i].label, first.cues[i].label);
    }
    ++files;
  }
  EXPECT_GE(files, 5);
}

}  // namespace
}  // namespace voxloom
