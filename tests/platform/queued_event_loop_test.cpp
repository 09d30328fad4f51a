#include "core/ports/queued_event_loop.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace voxloom {
namespace {

using namespace std::chrono_literals;

TEST(QueuedEventLoopTest, RunsCallsFromOtherThreadsInPostingOrderOnTheCallingThread) {
  QueuedEventLoop loop;
  std::vector<int> seen;
  const auto self = std::this_thread::get_id();
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) {
      loop.post([&, i] {
        EXPECT_EQ(std::this_thread::get_id(), self);
        seen.push_back(i);
      });
    }
  });
  ASSERT_TRUE(loop.processUntil([&] { return seen.size() == 100; }, 2s));
  poster.join();
  for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
}

TEST(QueuedEventLoopTest, CallsMayPostAndWaitingEndsOnArrivalOrTimeout) {
  QueuedEventLoop loop;
  std::vector<int> seen;
  loop.post([&] {
    seen.push_back(1);
    loop.post([&] { seen.push_back(2); });  // must not deadlock
  });
  loop.processPending();
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));

  auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(loop.waitAndProcess(30ms));
  EXPECT_GE(std::chrono::steady_clock::now() - before, 30ms);

  std::thread late([&] {
    std::this_thread::sleep_for(20ms);
    loop.post([&] { seen.push_back(3); });
  });
  before = std::chrono::steady_clock::now();
  EXPECT_TRUE(loop.waitAndProcess(5s));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
  late.join();
  EXPECT_EQ(seen.back(), 3);
}

}  // namespace
}  // namespace voxloom
