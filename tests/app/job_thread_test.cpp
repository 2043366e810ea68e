#include "app/job_thread.h"

#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <mutex>
#include <new>
#include <thread>

#include "app/fatal_error.h"
#include "tests/app/app_test_support.h"

namespace cuijian {
namespace {

TEST(StartJobThread, RunsTheJobOnANewThreadWithoutWaitingForIt) {
  std::mutex mutex;
  std::thread::id ran_on;
  Text base_seen;
  std::atomic<bool> release{false};
  std::atomic<bool> done{false};
  BookJob job;
  job.site_base_url = "http://127.0.0.1:1";
  ASSERT_TRUE(StartJobThread(job, [&](const BookJob& given) {
    {
      std::lock_guard lock(mutex);
      ran_on = std::this_thread::get_id();
      base_seen = given.site_base_url;
    }
    while (!release) std::this_thread::yield();
    done = true;
  }));
  // Still running: the start did not wait for the job.
  EXPECT_FALSE(done);
  release = true;
  ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  std::lock_guard lock(mutex);
  EXPECT_NE(ran_on, std::this_thread::get_id());
  EXPECT_EQ(base_seen, "http://127.0.0.1:1");
}

TEST(StartJobThreadDeathTest, ExceptionsEscapingAJobAreFatal) {
  struct Case {
    const char* name;
    JobRunner run;
  };
  const Case cases[] = {
      {"out of memory", [](const BookJob&) { throw std::bad_alloc(); }},
      {"anything else", [](const BookJob&) { throw 42; }},
  };
  for (const Case& c : cases) {
    EXPECT_EXIT(
        {
          testing::DismissModalBoxes();
          StartJobThread(BookJob{}, c.run);
          QApplication::exec();
        },
        ::testing::ExitedWithCode(kFatalExitCode), "box: ")
        << c.name;
  }
}

}  // namespace
}  // namespace cuijian
