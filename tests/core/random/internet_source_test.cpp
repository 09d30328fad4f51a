#include "core/random/internet_source.h"

#include <gtest/gtest.h>

#include "core/random/random_sources.h"
#include "tests/support/fake_http_client.h"
#include "tests/support/scripted_prompter.h"

namespace voxloom {
namespace {

using test::FakeHttpClient;
using Fake = test::FakeHttpClient;

class InternetSourceTest : public ::testing::Test {
 protected:
  InternetSourceTest() {
    random.http = &http;
    random.selectRandomSource(RandomSourceKind::Internet, "", "http://rng.test/n=%num%&max=%max%",
                              false);
  }
  StopRequest stop;
  test::ScriptedPrompter prompter;
  NoPlayback noPlayback;
  RandomSources random{stop, prompter, noPlayback};
  FakeHttpClient http;
};

TEST(ServiceUrlTest, PlaceholdersAreReplacedInAnyCaseAndEveryPlace) {
  EXPECT_EQ(expandServiceUrl("h://s/?num=%NUM%&min=%Min%&max=%max%&again=%max%", 10),
            "h://s/?num=1024&min=0&max=9&again=9");
  EXPECT_EQ(expandServiceUrl("http://plain.test/list", 10), "http://plain.test/list");
  EXPECT_EQ(expandServiceUrl("%max%%max", 1), "0%max");
  EXPECT_EQ(expandServiceUrl(kDefaultServiceUrl, 1000000000),
            "http://www.random.org/integers/"
            "?num=1024&min=0&max=999999999&col=1&base=10&format=plain&rnd=new");
}

TEST(ServiceReplyTest, LinesAreNumbersUntilTheFirstThatIsNot) {
  struct Case {
    const char* body;
    std::vector<std::int32_t> values;
  };
  const Case cases[] = {
      {"5\n17\n3\n", {5, 17, 3}},
      {"5\r\n17\r\n\r\n\n3", {5, 17, 3}},
      {"  -12 \n+7\n\n\n", {-12, 7}},
      {"<html>\n5\n", {}},
      {"12\nabc\n5\n", {12}},
      {"1\n2147483647\n2147483648\n4\n", {1, 2147483647}},
      {"-2147483648\n-2147483649\n", {-2147483648}},
      {"0x1F\n", {}},
      {"1 2\n", {}},
      {"007\n", {7}},
      {"", {}},
      {"\n\n\n", {}},
  };
  for (const Case& c : cases) {
    RandomBatch batch;
    const int count = parseServiceReply(c.body, batch);
    EXPECT_EQ(std::vector<std::int32_t>(batch.values32.begin(), batch.values32.begin() + count),
              c.values)
        << c.body;
  }
  std::string many;
  for (int i = 0; i < 2000; ++i) many += std::to_string(i) + "\n";
  RandomBatch batch;
  EXPECT_EQ(parseServiceReply(many, batch), 1024);
  EXPECT_EQ(batch.values32[1023], 1023);
}

TEST_F(InternetSourceTest, ABatchServesDrawsModuloTheirRangeThenIsFetchedAgain) {
  http.replies.push_back(FakeHttpClient::ok("5\n17\n3\n"));
  http.replies.push_back(FakeHttpClient::ok("-1\n2000000000\n"));
  EXPECT_EQ(random.drawRandom(20), 5);
  EXPECT_EQ(random.drawRandom(10), 7);  // 17 mod 10: the batch was fetched for n = 20
  EXPECT_EQ(random.drawRandom(20), 3);
  ASSERT_EQ(http.urls.size(), 1u);
  EXPECT_EQ(http.urls[0], "http://rng.test/n=1024&max=19");
  EXPECT_EQ(http.limits[0], kServiceReplyLimit);
  // Used up after fewer numbers than asked for: the next draw asks again.
  EXPECT_EQ(random.drawRandom(10), 9);  // -1 is brought into the range
  EXPECT_EQ(random.drawRandom(10), 0);  // 2000000000 mod 10
  EXPECT_EQ(http.urls.size(), 2u);
  EXPECT_EQ(http.urls[1], "http://rng.test/n=1024&max=9");
  EXPECT_FALSE(stop.stopRequested);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(InternetSourceTest, FailuresShowTheirMessageRaiseStopAndRetryLater) {
  struct Case {
    HttpReply reply;
    const char* message;
  };
  const Case cases[] = {
      {Fake::status(404, "Not Found", "5\n"),
       "Failed to retrieve random numbers from the Internet: HTTP 404 Not Found"},
      {Fake::status(500, "", "1\n"),
       "Failed to retrieve random numbers from the Internet: HTTP 500"},
      {Fake::failure("Operation timed out"),
       "Failed to retrieve random numbers from the Internet: Operation timed out"},
      {Fake::failure("Redirect to another scheme refused"),
       "Failed to retrieve random numbers from the Internet: Redirect to another scheme refused"},
      {FakeHttpClient::ok("<!DOCTYPE html>\n<html><body>42</body></html>\n"),
       "Couldn't retrieve any random numbers from the Internet."},
      {FakeHttpClient::ok(""), "Couldn't retrieve any random numbers from the Internet."},
  };
  for (const Case& c : cases) {
    stop.stopRequested = false;
    prompter.shown.clear();
    http.replies.push_back(c.reply);
    EXPECT_EQ(random.drawRandom(100), 0);
    EXPECT_TRUE(stop.stopRequested);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "Error");
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(prompter.shown[0].text, c.message);
    EXPECT_EQ(random.drawRandom(100), 0);  // later draws give 0 without asking again
  }
  EXPECT_EQ(http.urls.size(), std::size(cases));
  EXPECT_EQ(prompter.busyDepth, 0);

  // No client at all (a build without network): a message, not a crash.
  random.http = nullptr;
  stop.stopRequested = false;
  EXPECT_EQ(random.drawRandom(100), 0);
  EXPECT_TRUE(stop.stopRequested);
}

TEST_F(InternetSourceTest, AFailedGetKeepsTheBatchSoTheNextEvpTriesAgain) {
  http.replies.push_back(FakeHttpClient::ok("4\n6\n"));
  EXPECT_EQ(random.drawRandom(10), 4);
  EXPECT_EQ(random.drawRandom(10), 6);
  http.replies.push_back(Fake::failure("Host not found"));
  EXPECT_EQ(random.drawRandom(10), 0);
  EXPECT_EQ(random.batch.index, 2);
  EXPECT_EQ(random.batch.count, 2);
  stop.stopRequested = false;
  http.replies.push_back(FakeHttpClient::ok("8\n"));
  EXPECT_EQ(random.drawRandom(10), 8);
}

TEST_F(InternetSourceTest, AHugeBodyIsReadOnlyAsFarAsWholeLinesWithinTheLimit) {
  // Padded numbers far beyond the limit: the cut falls inside a line, whose digits must
  // not count. (The real client's cut of a 100 MB body is tested against a local server.)
  const std::string line = std::string(17, ' ') + "123456789\n";
  std::string body;
  while (body.size() < (1u << 20)) body += line;
  http.replies.push_back(FakeHttpClient::ok(std::move(body)));
  EXPECT_EQ(random.drawRandom(1000000000), 123456789);
  const int whole = static_cast<int>(kServiceReplyLimit / line.size());
  EXPECT_EQ(random.batch.count, std::min(whole, 1024));
  for (int i = 0; i < random.batch.count; ++i) ASSERT_EQ(random.batch.values32[i], 123456789);
}

TEST_F(InternetSourceTest, TheDialogChoosesTheTemplateAndAnEmptyOneMeansPseudo) {
  struct Dialog : ServiceUrlDialog {
    bool answer = true;
    std::string typed;
    std::string shownText;
    bool askServiceUrl(ServiceUrlForm& form) override {
      shownText = form.text;
      form.text = typed;
      form.ok();
      return answer;
    }
  } dialog;
  random.urlDialog = &dialog;
  random.batch.count = 5;

  dialog.answer = false;
  dialog.typed = "http://other.test/";
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::Internet, "", "", false),
            SelectOutcome::Cancelled);
  EXPECT_EQ(dialog.shownText, "http://rng.test/n=%num%&max=%max%");
  EXPECT_EQ(random.serviceUrl, "http://rng.test/n=%num%&max=%max%");
  EXPECT_EQ(random.batch.count, 5);

  dialog.answer = true;
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::Internet, "", "", false),
            SelectOutcome::Selected);
  EXPECT_EQ(random.serviceUrl, "http://other.test/");
  EXPECT_EQ(random.menu.httpCaption, "I&nternet [other.test] ...");
  EXPECT_EQ(random.batch.count, 0);  // nothing is fetched, the old batch is gone
  EXPECT_TRUE(http.urls.empty());

  dialog.typed = "";
  EXPECT_EQ(random.selectRandomSource(RandomSourceKind::Internet, "", "", false),
            SelectOutcome::Selected);
  EXPECT_EQ(random.randomKind, RandomSourceKind::PseudoRng);
  EXPECT_TRUE(random.menu.checked[0]);
  EXPECT_EQ(random.menu.httpCaption, "I&nternet...");
}

}  // namespace
}  // namespace voxloom
