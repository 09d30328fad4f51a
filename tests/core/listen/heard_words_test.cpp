#include "core/listen/heard_words.h"

#include <gtest/gtest.h>

#include "core/util/json_read.h"

namespace voxloom {
namespace {

TEST(HeardWords, LinesReadBackAsWritten) {
  const std::vector<HeardWord> words = {{"hello", 0.12, 0.5, 0.875},
                                        {"say \"no\"\tnow", 1.0, 1.25, 1.0},
                                        {"grüße", 2.0000004, 2.5, 0.0}};
  std::string text;
  for (const auto& w : words) text += heardWordJson(w) + "\n";
  EXPECT_EQ(heardWordJson(words[0]),
            R"({"word":"hello","start":0.120000,"end":0.500000,"confidence":0.875000})");
  const HeardWordsRead read = readHeardWords(text);
  ASSERT_EQ(read.words.size(), 3u);
  EXPECT_EQ(read.unreadable, 0);
  EXPECT_EQ(read.words[1].word, "say \"no\"\tnow");
  EXPECT_EQ(read.words[2].word, "grüße");
  EXPECT_DOUBLE_EQ(read.words[2].start, 2.0);  // six decimals
  EXPECT_DOUBLE_EQ(read.words[0].confidence, 0.875);
}

TEST(HeardWords, BadLinesAreCountedAndSkipped) {
  const std::string text =
      "\r\n"
      "{\"word\":\"a\",\"start\":1,\"end\":2,\"confidence\":0.5,\"extra\":[1]}\r\n"
      "{\"word\":\"b\",\"start\":2,\"end\":1,\"confidence\":0.5}\n"      // ends before start
      "{\"word\":3,\"start\":0,\"end\":1,\"confidence\":0.5}\n"          // not a text
      "{\"word\":\"c\",\"start\":\"0\",\"end\":1,\"confidence\":0.5}\n"  // time as text
      "{\"word\":\"d\",\"start\":0.,\"end\":1,\"confidence\":0.5}\n"     // not JSON
      "{\"word\":\"e\",\"start\":0,\"end\":1e400,\"confidence\":0.5}\n"  // out of range
      "garbage";
  const HeardWordsRead read = readHeardWords(text);
  ASSERT_EQ(read.words.size(), 1u);
  EXPECT_EQ(read.words[0].word, "a");
  EXPECT_EQ(read.unreadable, 6);
}

TEST(HeardWords, NumbersKeepTheirKind) {
  struct Case {
    const char* text;
    bool valid;
    JsonValue::Type type;
    double real;
  };
  const Case cases[] = {{"12", true, JsonValue::Type::Integer, 12},
                        {"-0.25", true, JsonValue::Type::Real, -0.25},
                        {"1e3", true, JsonValue::Type::Real, 1000},
                        {"99999999999999999999", true, JsonValue::Type::Real, 1e20},
                        {"01", false, {}, 0},
                        {"-", false, {}, 0},
                        {"+1", false, {}, 0},
                        {"inf", false, {}, 0},
                        {"1.", false, {}, 0}};
  for (const Case& c : cases) {
    const auto v = parseJson(c.text);
    ASSERT_EQ(v.has_value(), c.valid) << c.text;
    if (!c.valid) continue;
    EXPECT_EQ(v->type, c.type) << c.text;
    EXPECT_DOUBLE_EQ(v->real, c.real) << c.text;
  }
}

TEST(HeardWords, CuesAreRegionsInsideTheSignal) {
  const auto cues = heardWordsAsCues({{"one", 0.5, 1.0, 0.9}, {"two", 1.9, 2.5, 0.8}}, 1000, 2000);
  ASSERT_EQ(cues.size(), 2u);
  EXPECT_EQ(cues[0].position, 500);
  EXPECT_EQ(cues[0].length, 500);
  EXPECT_EQ(cues[0].label, "one");
  EXPECT_EQ(cues[0].purpose, "rgn");
  EXPECT_EQ(cues[1].position, 1900);
  EXPECT_EQ(cues[1].length, 100);  // cut at the end of the signal
}

}  // namespace
}  // namespace voxloom
