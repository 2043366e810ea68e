#include "app/ui_thread_call.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

namespace cuijian {
namespace {

TEST(RunOnUiThread, RunsAtOnceOnTheUiThread) {
  ASSERT_TRUE(OnUiThread());
  int runs = 0;
  EXPECT_TRUE(RunOnUiThread([&] { ++runs; }));
  EXPECT_EQ(runs, 1);
}

TEST(RunOnUiThread, FromAnotherThreadRunsThereAndWaitsUntilDone) {
  QThread* ran_on = nullptr;
  bool seen_by_caller = false;
  bool other_thread_is_ui = true;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    other_thread_is_ui = OnUiThread();
    int value = 0;
    RunOnUiThread([&] {
      ran_on = QThread::currentThread();
      value = 7;
    });
    // Returning means the work has run: its effect is already there.
    seen_by_caller = value == 7;
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_FALSE(other_thread_is_ui);
  EXPECT_EQ(ran_on, QThread::currentThread());
  EXPECT_TRUE(seen_by_caller);
}

}  // namespace
}  // namespace cuijian
