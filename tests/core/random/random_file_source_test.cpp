#include "core/random/random_file_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/random/random_sources.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

ChunkRead memoryReader(const std::string& text, std::size_t chunk = 7) {
  auto pos = std::make_shared<std::size_t>(0);
  return [text, pos, chunk](char* buffer, std::size_t size) {
    const std::size_t n = std::min({size, chunk, text.size() - *pos});
    std::copy_n(text.data() + *pos, n, buffer);
    *pos += n;
    return n;
  };
}

struct TextCase {
  const char* name;
  std::string text;
  std::vector<std::int16_t> values;  // the block read
  int lines;                         // the line counter after it
  std::string reason;                // non-empty: the block is refused with it
};

TEST(RandomFileReader, TextBlocksFollowTheLineRules) {
  const std::vector<TextCase> cases = {
      {"crlf and last line without lf", "1\r\n-2\r\n3", {1, -2, 3}, 3, ""},
      {"empty line ends the block", "1\n2\n\n3\n", {1, 2}, 2, ""},
      {"cr alone is an empty line", "5\n\r\n6\n", {5}, 1, ""},
      {"comments count as lines", ";c\n7\n;d\n", {7}, 3, ""},
      {"limits, sign, blanks, zeros", "-32768\n32767\n+4\n 0009 \n", {-32768, 32767, 4, 9}, 4, ""},
      {"not a number", "1\n2\nabc\n", {}, 3, "\"abc\" is not a valid integer number."},
      {"hex is refused", "0x10\n", {}, 1, "\"0x10\" is not a valid integer number."},
      {"inner blank", "1 2\n", {}, 1, "\"1 2\" is not a valid integer number."},
      {"above the range",
       "40000\n",
       {},
       1,
       "The number 40000 is not within the allowed range of -32768...32767."},
      {"far below the range",
       "-9999999999\n",
       {},
       1,
       "The number -9999999999 is not within the allowed range of -32768...32767."},
      {"too many digits",
       "99999999999999999999\n",
       {},
       1,
       "\"99999999999999999999\" is not a valid integer number."},
      {"nul byte shown safely",
       std::string("1\n\0x\n", 5),
       {},
       2,
       "\"?x\" is not a valid integer number."},
      {"empty file", "", {}, 0, ""},
  };
  for (const TextCase& c : cases) {
    std::vector<std::int16_t> out(10240);
    std::int32_t line = 0;
    const FileBatch b = readTextBatch(memoryReader(c.text), out, line);
    EXPECT_EQ(line, c.lines) << c.name;
    if (!c.reason.empty()) {
      EXPECT_EQ(b.count, -1) << c.name;
      EXPECT_EQ(b.reason, c.reason) << c.name;
      continue;
    }
    ASSERT_EQ(b.count, static_cast<int>(c.values.size())) << c.name;
    EXPECT_TRUE(std::equal(c.values.begin(), c.values.end(), out.begin())) << c.name;
  }
}

TEST(RandomFileReader, AHugeLineIsRefusedAfterItsFirstBytes) {
  // 1 GB of digits without a line feed, handed out in chunks that are never kept.
  const std::int64_t total = std::int64_t{1} << 30;
  std::int64_t given = 0;
  const ChunkRead read = [&](char* buffer, std::size_t size) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(size, total - given));
    std::fill_n(buffer, n, '7');
    given += static_cast<std::int64_t>(n);
    return n;
  };
  std::vector<std::int16_t> out(16);
  std::int32_t line = 0;
  const FileBatch b = readTextBatch(read, out, line);
  EXPECT_EQ(b.count, -1);
  EXPECT_EQ(b.reason, "\"" + std::string(64, '7') + "...\" is not a valid integer number.");
  EXPECT_EQ(line, 1);
}

TEST(RandomFileReader, ConsumedStopsAfterTheLineThatEndsTheBlock) {
  std::vector<std::int16_t> out(2);
  std::int32_t line = 0;
  FileBatch b = readTextBatch(memoryReader("1\n2\n3\n"), out, line);
  EXPECT_EQ(b.count, 2);
  EXPECT_EQ(b.consumed, 4);  // the third line is left for the next block
  b = readTextBatch(memoryReader("1\n\n3\n"), out, line);
  EXPECT_EQ(b.count, 1);
  EXPECT_EQ(b.consumed, 3);  // the empty line belongs to the block it ends

  const std::string raw = {'\x01', '\x00', '\xff', '\xff', '\x05'};
  b = readBinaryBatch(memoryReader(raw, 3), out);
  EXPECT_EQ(b.count, 2);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], -1);
}

class RandomFileSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("rfs_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  void select(const std::string& path) {
    ASSERT_EQ(random.selectRandomSource(RandomSourceKind::RandomFile, path, "", false),
              SelectOutcome::Selected);
  }
  // Draws of the range 65536, which give the sample + 32768.
  std::vector<int> draw(int count) {
    std::vector<int> v;
    for (int i = 0; i < count; ++i) v.push_back(random.drawRandom(65536) - 32768);
    return v;
  }

  std::filesystem::path dir_;
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
};

TEST_F(RandomFileSourceTest, BlocksLoopAndThePositionSurvives) {
  select(write("a.txt", "1\n2\n\n3\n"));
  EXPECT_EQ(draw(5), (std::vector<int>{1, 2, 3, 1, 2}));
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_EQ(random.randomFileLine, 2);  // restarted at the beginning of the file
  // Choosing the file again starts from its beginning.
  select(random.randomFilePath);
  EXPECT_EQ(draw(1), (std::vector<int>{1}));
}

TEST_F(RandomFileSourceTest, LoopOffEndsWithTheInfoMessage) {
  random.menu.fileLoop = false;
  select(write("a.txt", "1\n2\n"));
  EXPECT_EQ(draw(3), (std::vector<int>{1, 2, -32768}));
  EXPECT_TRUE(stop.stopRequested);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].title, "Info");
  EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Info);
  EXPECT_EQ(prompter.shown[0].text, kEndOfRandomFileText);
}

TEST_F(RandomFileSourceTest, FailuresShowTheirMessages) {
  const std::string folder = dir_.string();
  struct Case {
    std::string path;
    bool convert;
    std::string text;
  };
  const std::vector<Case> cases = {
      {write("empty.txt", ""), false,
       "Can't read random source file '" + (dir_ / "empty.txt").string() + "'."},
      {write("five.txt", "1\n2\n3\n4\n5\n"), true,
       "Can't read random source file '" + (dir_ / "five.txt").string() + "'."},
      {write("bad.txt", "1\n2\nabc\n"), false,
       "Error in line 3 of random source file:\n\"abc\" is not a valid integer number."},
      {(dir_ / "missing.pcm").string(), false,
       "Can't open random source file '" + (dir_ / "missing.pcm").string() + "'."},
      {folder, false, "The random source file '" + folder + "' is a folder, not a file."},
  };
  for (const Case& c : cases) {
    stop.stopRequested = false;
    prompter.shown.clear();
    random.menu.convert = c.convert;
    select(c.path);
    EXPECT_EQ(random.drawRandom(10), 0) << c.path;
    EXPECT_TRUE(stop.stopRequested) << c.path;
    ASSERT_EQ(prompter.shown.size(), 1u) << c.path;
    EXPECT_EQ(prompter.shown[0].title, "Error");
    EXPECT_EQ(prompter.shown[0].text, c.text);
    EXPECT_EQ(random.drawRandom(10), 0);  // later draws return at once
    EXPECT_EQ(prompter.shown.size(), 1u);
  }
}

TEST_F(RandomFileSourceTest, BinaryFormIsAnyOtherExtensionAndShortBlocksRestart) {
  // 10241 values: the second block holds one, too few for 32 with the conversion on.
  std::string bytes;
  for (int i = 0; i < 10241; ++i) {
    bytes.push_back(static_cast<char>(i & 0xff));
    bytes.push_back(static_cast<char>(i >> 8));
  }
  select(write("noise.TXT", bytes));  // upper case: raw
  random.menu.convert = true;
  for (int i = 0; i < 320; ++i) random.drawRandom(1000);
  EXPECT_EQ(random.batch.filePosition, 20480);
  random.drawRandom(1000);  // the next block is short: reading restarts at 0
  EXPECT_FALSE(stop.stopRequested);
  EXPECT_EQ(random.batch.filePosition, 20480);
  EXPECT_EQ(random.batch.index, 32);
  // Rising values fold into all ones after the first comparison.
  random.menu.convert = false;
  EXPECT_EQ(random.batch.values16[32], 32);
}

TEST_F(RandomFileSourceTest, ConvertedWordsFoldTheTrend) {
  // 32 equal samples after a smaller one give all ones; after an equal one, zero.
  std::string text;
  for (int i = 0; i < 64; ++i) text += "100\n";
  select(write("flat.txt", text));
  random.menu.convert = true;
  random.previousTrendSample = 99;
  random.log.logEnabled = false;
  EXPECT_EQ(random.drawRandom(2), 1);  // 0xFFFFFFFF * 2 / 2^32
  EXPECT_EQ(random.drawRandom(2), 0);  // the word 0
}

TEST_F(RandomFileSourceTest, AFileThatShrinksOrVanishesBetweenRefills) {
  std::string text;
  for (int i = 0; i < 10245; ++i) text += std::to_string(i % 100) + "\n";
  const std::string path = write("big.txt", text);
  select(path);
  for (int i = 0; i < 10240; ++i) random.drawRandom(10);
  write("big.txt", "9\n");  // now shorter than the position: loops to the start
  EXPECT_EQ(random.drawRandom(65536) - 32768, 9);
  std::filesystem::remove(path);
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_TRUE(stop.stopRequested);
  EXPECT_EQ(prompter.log().back(), "Error: Can't open random source file '" + path + "'.");
}

TEST_F(RandomFileSourceTest, CancellingTheDialogKeepsTheSourceAndChoosingRemembersTheFolder) {
  std::string folder = "/start";
  bool separate = true;
  random.lastRandomFileFolder = &folder;
  random.useSeparateFolders = &separate;
  prompter.openFiles.push_back(std::nullopt);
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::RandomFile, "", "", false),
            SelectOutcome::Cancelled);
  EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng);
  ASSERT_EQ(prompter.openDialogs.size(), 1u);
  EXPECT_EQ(prompter.openDialogs[0].title, "Open random source file...");
  EXPECT_EQ(prompter.openDialogs[0].filter,
            "PCM Raw Data (*.pcm)|*.pcm|Text File (*.txt)|*.txt|All Files (*.*)|*.*");
  EXPECT_EQ(prompter.openDialogs[0].initialFolder, "/start");
  const std::string path = write("n.pcm", "ab");
  prompter.openFiles.push_back(path);
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::RandomFile, "", "", false),
            SelectOutcome::Selected);
  EXPECT_EQ(folder, dir_.string());
  EXPECT_EQ(random.menu.fileCaption, "F&ile [n.pcm] ...");
  EXPECT_TRUE(random.menu.checked[static_cast<std::size_t>(RandomSourceKind::RandomFile)]);
}

}  // namespace
}  // namespace voxloom
