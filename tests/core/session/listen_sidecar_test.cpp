#include <gtest/gtest.h>

#include <memory>

#include "core/session/record_trace.h"
#include "core/session/record_words.h"

namespace voxloom {
namespace {

std::vector<EvpRecord> threeRecords() {
  std::vector<EvpRecord> records(3);
  records[0].dateTime = "2026 01 02 03 04 05";
  records[1].dateTime = "2026 01 02 03 04 06";
  records[2].dateTime = "2026 01 02 03 04 07";
  return records;
}

void setHeard(EvpRecord& record, std::vector<HeardWord> words) {
  auto trace = std::make_shared<RecordTrace>();
  trace->heard = std::move(words);
  record.trace = trace;
}

TEST(ListenSidecar, RoundTripKeepsEachRecordsWordsAndLeavesOthersAlone) {
  auto records = threeRecords();
  setHeard(records[0], {{"hello", 0.25, 0.5, 0.75}, {"caf\u00e9 \"x\"", 1.0, 1.5, 0.5}});
  setHeard(records[2], {});  // listened to, nothing heard
  const std::string text = formatListenSidecar(records);
  EXPECT_EQ(listenSidecarPath("/s/a.evp"), "/s/a.evp.listen.jsonl");

  auto read = threeRecords();
  EXPECT_EQ(applyListenSidecar(text, read), 0);
  ASSERT_TRUE(read[0].trace && read[0].trace->heard);
  EXPECT_EQ(*read[0].trace->heard, *records[0].trace->heard);
  EXPECT_FALSE(read[1].trace);
  ASSERT_TRUE(read[2].trace && read[2].trace->heard);
  EXPECT_TRUE(read[2].trace->heard->empty());
  EXPECT_EQ(formatListenSidecar(read), text);

  EXPECT_EQ(heardWordsText(read[0]), "hello caf\u00e9 \"x\" (2 words)");
  EXPECT_EQ(heardWordsText(read[1]), "");
  EXPECT_EQ(heardWordsText(read[2]), "nothing");
}

TEST(ListenSidecar, DamagedLinesAreSkippedOneByOne) {
  const std::string good =
      "{\"record\":2,\"date\":\"2026 01 02 03 04 06\",\"words\":"
      "[{\"word\":\"ok\",\"start\":1,\"end\":2,\"confidence\":0.5}]}";
  struct Case {
    const char* line;
    int unreadable;
  };
  const Case cases[] = {
      {"not json", 1},
      {"{\"record\":1,\"date\":\"2026 01 02 03 04 05\"}", 1},  // no words
      {"{\"record\":\"1\",\"date\":\"2026 01 02 03 04 05\",\"words\":[]}", 1},
      {"{\"record\":1,\"date\":\"2026 01 02 03 04 05\",\"words\":[{\"word\":\"a\"}]}", 1},
      // ends before it starts
      {"{\"record\":1,\"date\":\"2026 01 02 03 04 05\",\"words\":"
       "[{\"word\":\"a\",\"start\":2,\"end\":1,\"confidence\":1}]}",
       1},
      // readable, but for no record here: left out quietly
      {"{\"record\":9,\"date\":\"2026 01 02 03 04 05\",\"words\":[]}", 0},
      {"{\"record\":1,\"date\":\"1999 01 02 03 04 05\",\"words\":[]}", 0},
      {"   ", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto records = threeRecords();
    EXPECT_EQ(applyListenSidecar(std::string(c.line) + "\r\n" + good + "\n", records),
              c.unreadable);
    EXPECT_FALSE(records[0].trace);
    ASSERT_TRUE(records[1].trace && records[1].trace->heard);
    EXPECT_EQ(records[1].trace->heard->at(0), (HeardWord{"ok", 1, 2, 0.5}));
  }
}

}  // namespace
}  // namespace voxloom
