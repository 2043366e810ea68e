#pragma once

#include <sys/types.h>

#include <cstddef>

namespace cuijian::internal {

/// The system calls under the book-file operations; tests swap them to make a call fail.
struct FileCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  off_t (*lseek)(int fd, off_t offset, int whence);
  int (*close)(int fd);
};

/// The plain POSIX calls.
FileCalls SystemFileCalls();

/// The calls in use now. Thread-safe.
FileCalls CurrentFileCalls();

/// Puts `calls` in use and returns the ones used before. Thread-safe; meant for tests.
FileCalls SetFileCalls(const FileCalls& calls);

}  // namespace cuijian::internal
