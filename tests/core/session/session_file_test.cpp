#include "core/session/session_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using namespace std::string_literals;

#include "core/session/session_file_lock.h"
#include "core/session/session_stamp.h"
#include "core/util/text_line_reader.h"
#include "tests/core/session/session_example.h"
#include "tests/support/riff_builder.h"

namespace voxloom {
namespace {

std::string v2(const std::string& body) {
  return "# Voxloom 2.0 session file\nsignal.wav\n" + body;
}

EvpSegmentEntry onlyEntry(const std::string& file) {
  const SessionFileContent c = parseSessionText(file);
  EXPECT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records.at(0).segments.size(), 1u);
  return c.records.at(0).segments.at(0);
}

TEST(SessionFile, ReadsTheExampleExactly) {
  const SessionFileContent c = parseSessionText(test::kExampleSession);
  ASSERT_TRUE(c.valid);
  EXPECT_EQ(c.version, SessionVersion::V2_0);
  EXPECT_EQ(c.wavPath, "C:\\EVP\\whitenoise.wav");
  ASSERT_EQ(c.records.size(), 2u);
  const EvpRecord& first = c.records[0];
  EXPECT_EQ(first.dateTime, "2026 03 14 21 05 09");
  EXPECT_EQ(first.question, "Is anybody here?");
  EXPECT_EQ(first.answer, "yes, I am here");
  const std::vector<EvpSegmentEntry> expected = {{88200, 4410, 1, 20, false, "hello"},
                                                 {30870, 5292, 2, 7, true, "ok"},
                                                 {1764, 4410, 3, 0, false, ""}};
  EXPECT_EQ(first.segments, expected);
  const EvpRecord& second = c.records[1];
  EXPECT_EQ(second.question, "What is your name?");
  EXPECT_EQ(second.answer, "");  // one of the three lines after the marker, not the end
  EXPECT_EQ(second.segments, (std::vector<EvpSegmentEntry>{{52920, 4410, 1, 12, false, ""}}));
  EXPECT_EQ(stampToDisplay(second.dateTime), "14.03.2026 21:07:30");
  EXPECT_EQ(stampToFileName(first.dateTime), "20260314_210509");
}

TEST(SessionFile, WritesVersionTwoByteForByte) {
  const SessionFileContent c = parseSessionText(test::kExampleSession);
  EXPECT_EQ(formatSessionText(c.wavPath, c.records), test::kExampleSession);
  EXPECT_EQ(formatSessionText("x.wav", {}), std::string(kSessionHeader) + "\nx.wav\n");
}

TEST(SessionFile, HeadersAreMatchedByTheirLeadingText) {
  EXPECT_TRUE(parseSessionText("# Voxloom 2.0 session file").valid);
  EXPECT_EQ(parseSessionText("# Voxloom 1.6 session file whatever\nw\n").version,
            SessionVersion::V1_6);
  for (const char* bad : {"# Voxloom 1.5 session file\nw\n", "", "\n", "# Voxloom 2.0 session",
                          "\xEF\xBB\xBF# Voxloom 2.0 session file\n"})
    EXPECT_FALSE(parseSessionText(bad).valid) << bad;
}

TEST(SessionFile, VersionOneEntriesAreUpgradedOnWriting) {
  const SessionFileContent c = parseSessionText(
      "# Voxloom 1.0 session file\nw.wav\n[NextSequence]\nd\nq\na\n"
      "100 200 3 [FADE] hi\n");
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0].segments[0], (EvpSegmentEntry{100, 200, 3, -1, true, "hi"}));
  EXPECT_EQ(
      formatSessionText(c.wavPath, c.records),
      std::string(kSessionHeader) + "\nw.wav\n[NextSequence]\nd\nq\na\n100 200 3 -1 [FADE] hi\n");
}

TEST(SessionFile, LabelsFollowTheBlankPasses) {
  const std::string marker = "[NextSequence]\nd\nq\na\n";
  EXPECT_EQ(onlyEntry(v2(marker + "5 6 7 8")).label, "8");  // the fourth pass finds no blank
  EXPECT_EQ(onlyEntry(v2(marker + "5 6 7 8 ")).label, "");
  EXPECT_EQ(onlyEntry(v2(marker + "5  6 7 8   two words  ")).label, "two words  ");
  // A tab separates the numbers but is no blank for the passes: one word goes too.
  EXPECT_EQ(onlyEntry(v2(marker + "5 6\t7 8 two words")).label, "words");
  const EvpSegmentEntry faded = onlyEntry(v2(marker + "1 2 3 4 [FADE]\t  spaced \t"));
  EXPECT_TRUE(faded.fade);
  EXPECT_EQ(faded.label, "spaced");
  // A label that begins with the tag turns into a fade when read back.
  EXPECT_TRUE(onlyEntry(v2(marker + "1 2 3 4 [FADE]x")).fade);
}

TEST(SessionFile, MarkersAndEmptyLinesDecideTheRecords) {
  const SessionFileContent c =
      parseSessionText(v2("1 1 1 1 before any marker\n[NextSequence]\nd\nq\na\n[NextSequence] \n"
                          "[NextSequence]\n\n\n\n7 7 7 7 x\n\n[NextSequence]\nlost\n"));
  ASSERT_EQ(c.records.size(), 2u);
  // The marker with a trailing blank is an entry of the record before it.
  ASSERT_EQ(c.records[0].segments.size(), 1u);
  EXPECT_EQ(c.records[0].segments[0].label, "");
  // Three empty lines after a marker are its texts; the next empty line ends the file.
  EXPECT_EQ(c.records[1].dateTime, "");
  ASSERT_EQ(c.records[1].segments.size(), 1u);
  EXPECT_EQ(c.records[1].segments[0].label, "x");
}

TEST(SessionFile, MarkerAtTheEndGivesARecordWithoutEntries) {
  const SessionFileContent c = parseSessionText(v2("[NextSequence]\n2026 01 01 00 00 00"));
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0].dateTime, "2026 01 01 00 00 00");
  EXPECT_TRUE(c.records[0].segments.empty());
}

TEST(SessionFile, CrLfFilesReadLikeLfFiles) {
  std::string crlf;
  for (char ch : test::kExampleSession) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  const SessionFileContent a = parseSessionText(crlf);
  const SessionFileContent b = parseSessionText(test::kExampleSession);
  EXPECT_EQ(a.records, b.records);
  EXPECT_EQ(a.wavPath, b.wavPath);
}

TEST(SessionFile, BadNumbersBecomeZeroAndStopTheScan) {
  const std::string marker = "[NextSequence]\nd\nq\na\n";
  EXPECT_EQ(onlyEntry(v2(marker + "99999999999 5 6 7 L")),
            (EvpSegmentEntry{0, 0, 0, 0, false, "L"}));
  EXPECT_EQ(onlyEntry(v2(marker + "-2147483648 +5 x 7 L")),
            (EvpSegmentEntry{-2147483648, 5, 0, 0, false, "L"}));
  EXPECT_EQ(onlyEntry(v2(marker + "abc def")).label, "def");
}

TEST(SessionFile, NumbersAtTheLimitsReadTheSameInWrittenAndHandMadeLines) {
  const std::string marker = "[NextSequence]\nd\nq\na\n";
  EXPECT_EQ(onlyEntry(v2(marker + "2147483647 -2147483648 +0 0 x")),
            (EvpSegmentEntry{2147483647, -2147483648, 0, 0, false, "x"}));
  EXPECT_EQ(onlyEntry(v2(marker + "2147483648 1 2 3 y")),
            (EvpSegmentEntry{0, 0, 0, 0, false, "y"}));
  EXPECT_EQ(onlyEntry(v2(marker + "00000000007 1 2 3 z")),
            (EvpSegmentEntry{7, 1, 2, 3, false, "z"}));
  EXPECT_EQ(onlyEntry(v2(marker + "000000000007 1 2 3 z")),
            (EvpSegmentEntry{7, 1, 2, 3, false, "z"}));
  EXPECT_EQ(onlyEntry(v2(marker + "1 2 3 4 \x01 ctl")),
            (EvpSegmentEntry{1, 2, 3, 4, false, "ctl"}));
  EXPECT_EQ(onlyEntry(v2(marker + "- 1 2 3 4 w")), (EvpSegmentEntry{0, 0, 0, 0, false, "4 w"}));
  EXPECT_EQ(onlyEntry(v2(marker + " 1 2 3 4 v")), (EvpSegmentEntry{1, 2, 3, 4, false, "4 v"}));
  const SessionFileContent old =
      parseSessionText("# Voxloom 1.0 session file\ns.wav\n" + marker + "-5 6 7 [FADE] hi\n");
  EXPECT_EQ(old.records.at(0).segments.at(0), (EvpSegmentEntry{-5, 6, 7, -1, true, "hi"}));
}

TEST(SessionFile, TextsAreUtf8WithWindows1252Fallback) {
  const SessionFileContent c =
      parseSessionText(v2("[NextSequence]\nd\nGr\xFC\xDF"
                          "e\n\xC3\xA4nswer\n1 2 3 4 caf\xE9\n5 6 7 8 a\0b\n"s));
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0].question,
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  EXPECT_EQ(c.records[0].answer, "\xC3\xA4nswer");
  EXPECT_EQ(c.records[0].segments[0].label, "caf\xC3\xA9");
  EXPECT_EQ(c.records[0].segments[1].label, "ab");  // a NUL cannot be part of a text
}

TEST(SessionFile, LongLinesAreReadWhole) {
  const std::string label(3 << 20, 'x');
  EXPECT_EQ(onlyEntry(v2("[NextSequence]\nd\nq\na\n1 2 3 4 " + label + "\n")).label, label);
}

TEST(SessionFile, TextsWithLineBreaksStayOneLine) {
  EvpRecord r;
  r.question = "two\nlines";
  r.answer = "cr\rhere";
  r.segments.push_back({1, 2, 3, 4, false, "la\nbel"});
  const SessionFileContent back = parseSessionText(formatSessionText("w\nav", {r}));
  ASSERT_EQ(back.records.size(), 1u);
  EXPECT_EQ(back.wavPath, "w av");
  EXPECT_EQ(back.records[0].question, "two lines");
  EXPECT_EQ(back.records[0].answer, "cr here");
  EXPECT_EQ(back.records[0].segments[0].label, "la bel");
}

TEST(SessionFile, AFailedWriteKeepsThePreviousFile) {
  // Names up to the longest a folder allows leave room for the temporary file.
  for (const std::size_t length : {250u, 255u}) {
    const std::string path = test::writeTempFile(std::string(length, 'n'), {'o', 'l', 'd'});
    EXPECT_TRUE(writeFileAtomically(path, "new")) << length;
    EXPECT_EQ(test::readWholeFile(path), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
  }
  EXPECT_FALSE(writeFileAtomically(test::tempDir(), "a folder is no file"));
  EXPECT_FALSE(writeFileAtomically("/dev/null", "nor is a device"));
  const std::string fresh = test::tempDir() + "/fresh.evp";
  ASSERT_TRUE(writeFileAtomically(fresh, "abc"));
  std::string back;
  ASSERT_TRUE(readWholeTextFile(fresh, back));
  EXPECT_EQ(back, "abc");
}

// Devices and FIFOs may never end; a line longer than any session line stops the read.
TEST(SessionFile, OnlyRegularFilesAreReadAndOverlongLinesStopTheRead) {
  std::string text;
  EXPECT_EQ(readTextFile("/dev/zero", text, kMaxSessionLineBytes), TextFileStatus::NotRegular);
  const std::string fifo = test::tempDir() + "/fifo";
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(readTextFile(fifo, text, kMaxSessionLineBytes), TextFileStatus::NotRegular);
  EXPECT_EQ(readTextFile(test::tempDir(), text, 100), TextFileStatus::NotRegular);
  EXPECT_EQ(readTextFile(test::tempDir() + "/missing", text, 100), TextFileStatus::CannotOpen);

  const std::string lines = "short\n" + std::string(100, 'x') + "\nend";
  const std::string path = test::writeTempFile("lines.evp", {lines.begin(), lines.end()});
  EXPECT_EQ(readTextFile(path, text, 100), TextFileStatus::Read);
  EXPECT_EQ(text, lines);
  EXPECT_EQ(readTextFile(path, text, 99), TextFileStatus::LineTooLong);
  // A huge file without a line feed is not read whole.
  const std::string huge = test::tempDir() + "/huge.evp";
  {
    std::ofstream out(huge, std::ios::binary);
    out << std::string(4 << 20, 'x');
  }
  EXPECT_EQ(readTextFile(huge, text, 1 << 16), TextFileStatus::LineTooLong);
  EXPECT_LT(text.size(), std::size_t{2} << 20);
}

// Paths are bytes: a WAV path that is not UTF-8 but names a file is kept as it is.
TEST(SessionFile, ARawPathThatExistsIsKeptAsBytes) {
  const std::string raw = test::tempDir() + "/caf\xE9.wav";
  test::writeTempFile("caf\xE9.wav", {1});
  SessionFileContent c = parseSessionText(formatSessionText(raw, {}));
  EXPECT_EQ(c.wavPath, raw);
  std::filesystem::remove(raw);
  c = parseSessionText(formatSessionText(raw, {}));
  EXPECT_EQ(c.wavPath, test::tempDir() + "/caf\xC3\xA9.wav");  // a Windows file's text
}

// The lock follows the file a save renames into place and waits only as long as asked.
TEST(SessionFileLock, HoldsOffOtherLockersAndFollowsTheReplacedFile) {
  const std::string path = test::tempDir() + "/locked.evp";
  std::filesystem::remove(path);
  using std::chrono::milliseconds;
  SessionFileLock first;
  ASSERT_TRUE(first.lock(path, milliseconds(100)));  // no file yet: its folder is locked
  SessionFileLock second;
  EXPECT_FALSE(second.lock(path, milliseconds(50)));
  ASSERT_TRUE(writeFileAtomically(path, "one"));
  first.unlock();
  ASSERT_TRUE(second.lock(path, milliseconds(100)));  // now the file itself
  EXPECT_FALSE(first.lock(path, milliseconds(50)));
  // A save under the lock replaces the file: a waiting locker must lock the new one.
  std::thread waiter([&] { EXPECT_TRUE(first.lock(path, milliseconds(10000))); });
  std::this_thread::sleep_for(milliseconds(20));
  ASSERT_TRUE(writeFileAtomically(path, "two"));
  second.unlock();
  waiter.join();
  EXPECT_FALSE(second.lock(path, milliseconds(50)));
  first.unlock();
  EXPECT_TRUE(second.lock(path, milliseconds(50)));
}

TEST(SessionStamp, PrintsAndReadsTheSixNumbers) {
  EXPECT_EQ(stampNow({2026, 3, 14, 21, 5, 9}), "2026 03 14 21 05 09");
  EXPECT_EQ(stampNow({999, 1, 2, 3, 4, 5}), "0999 01 02 03 04 05");
  EXPECT_EQ(stampToDisplay("2026 3 14 21 5 9"), "14.03.2026 21:05:09");
  EXPECT_EQ(stampToFileName("2026 03 14 21 05 09"), "20260314_210509");
  // Missing numbers read as zero.
  EXPECT_EQ(stampToDisplay(""), "00.00.0000 00:00:00");
  EXPECT_EQ(stampToFileName("2026 x"), "20260000_000000");
}

}  // namespace
}  // namespace voxloom
