#include "app/fatal_error.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstddef>
#include <new>
#include <thread>

#include "tests/app/app_test_support.h"

namespace cuijian {
namespace {

TEST(FatalErrorDeathTest, OnTheUiThreadShowsTheBoxThenEndsWith255) {
  EXPECT_EXIT(
      {
        testing::DismissModalBoxes();
        FatalError("broken beyond repair");
      },
      ::testing::ExitedWithCode(kFatalExitCode), "box: broken beyond repair");
}

TEST(FatalErrorDeathTest, FromAJobThreadTheUiThreadShowsTheBox) {
  EXPECT_EXIT(
      {
        testing::DismissModalBoxes();
        std::thread([] { FatalError("job gave up"); }).detach();
        // The UI thread keeps serving its loop while the job waits for the box.
        QApplication::exec();
      },
      ::testing::ExitedWithCode(kFatalExitCode), "box: job gave up");
}

TEST(FatalErrorDeathTest, ExhaustedMemoryIsFatal) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's allocator never calls the new handler";
#else
  EXPECT_EXIT(
      {
        testing::DismissModalBoxes();
        InstallFatalErrorHandler();
        // More than any machine has: the allocator refuses at once and the handler runs.
        void* volatile block = ::operator new (std::size_t{1} << 62);
        ::operator delete(block);
      },
      ::testing::ExitedWithCode(kFatalExitCode), "box: ");
#endif
}

TEST(FatalErrorDeathTest, QtsOwnFatalErrorsEndWith255) {
  EXPECT_EXIT(
      {
        InstallFatalErrorHandler();
        qFatal("no display to open");
      },
      ::testing::ExitedWithCode(kFatalExitCode), "no display to open");
}

}  // namespace
}  // namespace cuijian
