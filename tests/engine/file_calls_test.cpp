#include "engine/file_calls.h"

#include <gtest/gtest.h>

namespace cuijian::internal {
namespace {

int RefuseOpen(const char*, int, mode_t) { return -1; }

TEST(FileCallsTest, SetReturnsTheCallsBeforeAndRestoring) {
  FileCalls replaced = SystemFileCalls();
  replaced.open = &RefuseOpen;
  FileCalls before = SetFileCalls(replaced);
  EXPECT_EQ(before.open, SystemFileCalls().open);
  EXPECT_EQ(CurrentFileCalls().open, &RefuseOpen);
  EXPECT_EQ(CurrentFileCalls().write, SystemFileCalls().write);

  FileCalls undone = SetFileCalls(before);
  EXPECT_EQ(undone.open, &RefuseOpen);
  EXPECT_EQ(CurrentFileCalls().open, SystemFileCalls().open);
}

}  // namespace
}  // namespace cuijian::internal
