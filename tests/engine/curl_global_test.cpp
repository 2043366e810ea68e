#include "engine/curl_global.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "engine/fetch_page.h"
#include "tests/engine/canned_server.h"

namespace cuijian {
namespace {

TEST(CurlGlobalTest, FirstUsesOnManyThreadsAtOnceAllSucceed) {
  std::atomic<int> granted{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&granted] {
      const CurlUse use;
      granted += use.ready() ? 1 : 0;
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(granted.load(), 8);
}

/// Runs after the client library's own exit handler (registered earlier, so called later): a
/// fetch begun now must be refused without touching the library.
void FetchAfterExitHandler() {
  const FetchedPage page = FetchPageWithOutcome("http://127.0.0.1:9/");
  std::_Exit(page.outcome == FetchOutcome::kNotSent ? 7 : 8);
}

TEST(CurlGlobalTest, ExitWhileAFetchRunsLeavesTheLibraryAloneAndBarsNewFetches) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The process exits normally while another thread is inside a fetch: the exit handler must not
  // tear the library down under it, and no fetch may start afterwards.
  EXPECT_EXIT(
      {
        std::atexit(FetchAfterExitHandler);
        auto* server = new testing::CannedServer([](testing::CannedConnection& c) {
          c.Send("HTTP/1.0 200 OK\r\n\r\nbegun");
          c.WaitForShutdown();
        });
        std::thread fetcher([server] {
          FetchLimits limits;
          limits.stall_time = std::chrono::seconds(20);
          FetchPageWithOutcome(server->base_url() + "/", limits);
        });
        fetcher.detach();
        while (server->connection_count() == 0) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::exit(0);
      },
      ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace cuijian
