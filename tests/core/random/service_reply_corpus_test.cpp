// Replays the web reply fuzzer's seed corpus through the internet source's draws.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/random/random_sources.h"
#include "tests/support/fake_http_client.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

TEST(ServiceReplyCorpusTest, EveryReplyGivesDrawsInRangeOrItsMessage) {
  const auto folder = std::filesystem::path(VOXLOOM_SOURCE_DIR) / "tests/fuzz/corpus/service_reply";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream body;
    body << in.rdbuf();
    StopRequest stop;
    test::ScriptedPrompter prompter;
    test::FakeHttpClient http;
    NoPlayback noPlayback;
    RandomSources random{stop, prompter, noPlayback};
    random.http = &http;
    random.selectRandomSource(RandomSourceKind::Internet, "", "http://x/%max%", false);
    for (int i = 0; i < 3; ++i) http.replies.push_back(test::FakeHttpClient::ok(body.str()));
    for (std::int32_t n : {1, 10, 2147483647}) {
      const auto v = random.drawRandom(n);
      EXPECT_GE(v, 0) << entry.path();
      EXPECT_LT(v, n) << entry.path();
    }
    // Either numbers came, or the one message said that none did.
    RandomBatch parsed;
    EXPECT_EQ(stop.stopRequested, parseServiceReply(body.str(), parsed) == 0) << entry.path();
    EXPECT_LE(prompter.shown.size(), 1u);
    ++files;
  }
  EXPECT_GE(files, 8);
}

}  // namespace
}  // namespace voxloom
