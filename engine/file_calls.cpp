#include "engine/file_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <mutex>

namespace cuijian::internal {
namespace {

int SystemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t SystemWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
off_t SystemLseek(int fd, off_t offset, int whence) { return ::lseek(fd, offset, whence); }
int SystemClose(int fd) { return ::close(fd); }

std::mutex& CallsMutex() {
  static std::mutex mutex;
  return mutex;
}

// Guarded by CallsMutex(); tests replace it while jobs may run on other threads.
FileCalls& Calls() {
  static FileCalls calls = SystemFileCalls();
  return calls;
}

}  // namespace

FileCalls SystemFileCalls() { return {&SystemOpen, &SystemWrite, &SystemLseek, &SystemClose}; }

FileCalls CurrentFileCalls() {
  std::lock_guard lock(CallsMutex());
  return Calls();
}

FileCalls SetFileCalls(const FileCalls& calls) {
  std::lock_guard lock(CallsMutex());
  FileCalls before = Calls();
  Calls() = calls;
  return before;
}

}  // namespace cuijian::internal
