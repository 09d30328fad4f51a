#include "core/engine/provenance.h"

#include <gtest/gtest.h>

namespace voxloom {
namespace {

TEST(Provenance, OnlyWhatJsonReadsAsANumberStaysUnquoted) {
  for (const auto& [text, number] : std::vector<std::pair<std::string, bool>>{{"0", true},
                                                                              {"-2147483648", true},
                                                                              {"0.5", true},
                                                                              {"1e-7", true},
                                                                              {"3.25E+2", true},
                                                                              {"", false},
                                                                              {"-", false},
                                                                              {"01", false},
                                                                              {"1.", false},
                                                                              {".5", false},
                                                                              {"+1", false},
                                                                              {"1e", false},
                                                                              {"nan", false},
                                                                              {"inf", false},
                                                                              {"12 ", false},
                                                                              {"0x10", false}}) {
    EXPECT_EQ(isJsonNumber(text), number) << "'" << text << "'";
  }
}

TEST(Provenance, StringsAreEscapedAndKindsKeepTheirNames) {
  EXPECT_EQ(jsonQuote("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
  EXPECT_EQ(jsonQuote("Grüße"), "\"Grüße\"");
  const char* names[] = {"pseudo",   "soundcard", "file",    "fractal",
                         "internet", "manual",    "parport", "device"};
  for (int kind = 0; kind < 8; ++kind) EXPECT_STREQ(sourceKindName(kind), names[kind]);
  EXPECT_STREQ(sourceKindName(8), "unknown");
  EXPECT_STREQ(sourceKindName(-1), "unknown");
}

TEST(Provenance, ALineNamesTheCueInCueListModeAndQuotesRawTextThatIsNoNumber) {
  ProvenanceBlock b;
  b.block = 2;
  b.sourceKind = 3;
  b.draws.raw = {"0.25", "bad\"value"};
  b.draws.mapped = {4};
  b.start = 100;
  b.length = 50;
  b.segmentNumber = 7;
  b.cueList = true;
  b.label = "x";
  b.fade = true;
  b.health = "deterministic";
  EXPECT_EQ(provenanceLine(b),
            "{\"block\":2,\"source\":\"fractal\",\"raw\":[0.25,\"bad\\\"value\"],\"mapped\":[4],"
            "\"start\":100,\"length\":50,\"cue\":7,\"label\":\"x\",\"fade\":true,"
            "\"health\":\"deterministic\"}");
  b.cueList = false;
  const std::string line = provenanceLine(b);
  EXPECT_NE(line.find(",\"segment\":7,\"fade\""), std::string::npos) << line;
  EXPECT_EQ(line.find("label"), std::string::npos) << line;
  EXPECT_EQ(provenanceJsonl({b, b}), line + "\n" + line + "\n");
}

}  // namespace
}  // namespace voxloom
