#include "engine/book_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/fake_file_calls.h"
#include "tests/engine/temp_dir.h"

namespace cuijian {
namespace {

using testing::FailingFileCalls;
using testing::PathExists;
using testing::ReadWholeFile;
using testing::TempDir;

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST(RunDirectoryTest, IsTheFolderOfThisProgramWithoutTrailingSlash) {
  const std::string folder = RunDirectory();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(PathExists(folder + "/job_tests"));
  EXPECT_EQ(RunDirectory(), folder);
}

TEST(WriteWholeFileTest, CreatesOrEmptiesAndWritesEveryByte) {
  TempDir dir;
  const std::string path = dir.Child("book.txt");
  const std::string data("a\0b\r\n\xCF\xC2", 7);  // zero bytes and code-page bytes pass as they are
  EXPECT_TRUE(WriteWholeFile(path, ToBytes(data)));
  EXPECT_EQ(ReadWholeFile(path), data);

  EXPECT_TRUE(WriteWholeFile(path, {}));
  EXPECT_TRUE(PathExists(path));
  EXPECT_EQ(ReadWholeFile(path), "");
}

TEST(WriteWholeFileTest, RefusedPathsGiveFalseAndTouchNothing) {
  TempDir dir;
  ASSERT_TRUE(WriteWholeFile(dir.Child("plain"), ToBytes("x")));
  EXPECT_FALSE(WriteWholeFile("", ToBytes("x")));
  EXPECT_FALSE(WriteWholeFile(dir.Child("missing/book.txt"), ToBytes("x")));
  EXPECT_FALSE(WriteWholeFile(dir.Child("plain/book.txt"), ToBytes("x")));
  EXPECT_FALSE(WriteWholeFile(dir.path(), ToBytes("x")));  // a folder is no file
  EXPECT_EQ(testing::FolderNames(dir.path()), std::vector<std::string>{"plain"});
}

TEST(WriteWholeFileTest, FailedWriteOrCloseGivesFalseAndKeepsWhatWasWritten) {
  TempDir dir;
  {
    FailingFileCalls full_disk(3);
    EXPECT_FALSE(WriteWholeFile(dir.Child("short.txt"), ToBytes("abcdef")));
  }
  EXPECT_EQ(ReadWholeFile(dir.Child("short.txt")), "abc");
  {
    FailingFileCalls failing_close(1000, /*fail_close=*/true);
    EXPECT_FALSE(WriteWholeFile(dir.Child("closed.txt"), ToBytes("abcdef")));
  }
  EXPECT_EQ(ReadWholeFile(dir.Child("closed.txt")), "abcdef");
}

TEST(OpenExistingFileTest, RefusedPathsGiveZeroAndCreateNothing) {
  TempDir dir;
  EXPECT_EQ(OpenExistingFile(""), 0);
  EXPECT_EQ(OpenExistingFile(dir.Child("missing.txt")), 0);
  EXPECT_FALSE(PathExists(dir.Child("missing.txt")));
  EXPECT_EQ(OpenExistingFile(dir.path()), 0);  // a folder cannot be written
}

TEST(OpenExistingFileTest, NumbersAreNeverZeroAndNeverHandedOutTwice) {
  TempDir dir;
  const std::string path = dir.Child("book.txt");
  ASSERT_TRUE(WriteWholeFile(path, {}));
  FileNumber first = OpenExistingFile(path);
  FileNumber second = OpenExistingFile(path);
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  EXPECT_NE(first, second);
  CloseFile(first);
  FileNumber third = OpenExistingFile(path);
  EXPECT_NE(third, first);
  EXPECT_NE(third, second);
  CloseFile(second);
  CloseFile(third);
}

TEST(WriteTextToFileTest, WritesFromTheStartWithoutCuttingThenAppends) {
  TempDir dir;
  const std::string path = dir.Child("book.txt");
  ASSERT_TRUE(WriteWholeFile(path, ToBytes("abcdef")));
  FileNumber file = OpenExistingFile(path);
  ASSERT_NE(file, 0);
  EXPECT_EQ(ReadWholeFile(path), "abcdef");  // opening does not cut
  EXPECT_TRUE(WriteTextToFile(file, "XY"));
  EXPECT_TRUE(WriteTextToFile(file, ""));
  EXPECT_TRUE(WriteTextToFile(file, "Z"));
  EXPECT_EQ(ReadWholeFile(path), "XYZdef");
  EXPECT_TRUE(WriteTextToFile(file, "1234"));
  EXPECT_EQ(ReadWholeFile(path), "XYZ1234");
  CloseFile(file);
}

TEST(WriteTextToFileTest, UnknownAndClosedNumbersWriteNothing) {
  TempDir dir;
  const std::string path = dir.Child("book.txt");
  ASSERT_TRUE(WriteWholeFile(path, {}));
  FileNumber file = OpenExistingFile(path);
  ASSERT_NE(file, 0);
  CloseFile(file);
  EXPECT_FALSE(WriteTextToFile(file, "x"));
  EXPECT_FALSE(WriteTextToFile(0, "x"));
  EXPECT_FALSE(WriteTextToFile(-1, "x"));
  CloseFile(file);  // a second close and unknown numbers do nothing
  CloseFile(0);
  CloseFile(123456789);
  EXPECT_EQ(ReadWholeFile(path), "");
}

TEST(WriteTextToFileTest, FailedWriteSetsThePositionBack) {
  TempDir dir;
  const std::string path = dir.Child("book.txt");
  ASSERT_TRUE(WriteWholeFile(path, {}));
  FileNumber file = OpenExistingFile(path);
  ASSERT_NE(file, 0);
  ASSERT_TRUE(WriteTextToFile(file, "first|"));
  {
    FailingFileCalls full_disk(4);  // "seco" reaches the disk, then ENOSPC
    EXPECT_FALSE(WriteTextToFile(file, "second|"));
  }
  EXPECT_EQ(ReadWholeFile(path), "first|seco");
  EXPECT_TRUE(WriteTextToFile(file, "third|"));
  EXPECT_EQ(ReadWholeFile(path), "first|third|");
  CloseFile(file);
}

TEST(BookFileConcurrencyTest, JobsOpenWriteAndCloseAtOnce) {
  TempDir dir;
  constexpr int kThreads = 8;
  constexpr int kRecords = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&dir, t] {
      const std::string path = dir.Child("book" + std::to_string(t) + ".txt");
      if (!WriteWholeFile(path, {})) return;
      FileNumber file = OpenExistingFile(path);
      for (int r = 0; r < kRecords; ++r) WriteTextToFile(file, std::to_string(t));
      CloseFile(file);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(ReadWholeFile(dir.Child("book" + std::to_string(t) + ".txt")),
              std::string(kRecords, static_cast<char>('0' + t)));
  }
}

TEST(BookFileConcurrencyTest, CloseDuringWritesNeverLosesAStartedWrite) {
  TempDir dir;
  const std::string path = dir.Child("book.txt");
  ASSERT_TRUE(WriteWholeFile(path, {}));
  FileNumber file = OpenExistingFile(path);
  ASSERT_NE(file, 0);
  std::atomic<int> written{0};
  std::thread writer([&] {
    while (WriteTextToFile(file, "ab")) ++written;
  });
  while (written.load() < 10) std::this_thread::yield();
  CloseFile(file);
  writer.join();
  // Every write that said true is whole on disk; none was cut by the close.
  EXPECT_EQ(ReadWholeFile(path), [&] {
    std::string expected;
    for (int i = 0; i < written.load(); ++i) expected += "ab";
    return expected;
  }());
}

}  // namespace
}  // namespace cuijian
