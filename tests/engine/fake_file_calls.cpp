#include "tests/engine/fake_file_calls.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "engine/file_calls.h"

namespace cuijian::testing {
namespace {

std::atomic<long> write_budget{0};
std::atomic<bool> fail_close{false};
internal::FileCalls saved_calls;

ssize_t BudgetWrite(int fd, const void* data, std::size_t size) {
  long budget = write_budget.load();
  if (budget <= 0) {
    errno = ENOSPC;
    return -1;
  }
  std::size_t allowed = std::min(size, static_cast<std::size_t>(budget));
  ssize_t written = ::write(fd, data, allowed);
  if (written > 0) write_budget -= written;
  return written;
}

int MaybeFailingClose(int fd) {
  int result = ::close(fd);
  if (fail_close.load()) {
    errno = EIO;
    return -1;
  }
  return result;
}

}  // namespace

FailingFileCalls::FailingFileCalls(long budget, bool close_fails) {
  write_budget = budget;
  fail_close = close_fails;
  internal::FileCalls calls = internal::SystemFileCalls();
  calls.write = &BudgetWrite;
  calls.close = &MaybeFailingClose;
  saved_calls = internal::SetFileCalls(calls);
}

FailingFileCalls::~FailingFileCalls() { internal::SetFileCalls(saved_calls); }

}  // namespace cuijian::testing
