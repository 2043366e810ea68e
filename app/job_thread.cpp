#include "app/job_thread.h"

#include <exception>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "app/fatal_error.h"

namespace cuijian {
namespace {

void RunJob(const BookJob& job, const JobRunner& run) {
  // An exception leaving a thread's function would abort the process without a word; report it
  // as the fatal error it is instead.
  try {
    if (run) {
      run(job);
    } else {
      DownloadBook(job);
    }
  } catch (const std::bad_alloc&) {
    FatalError(kOutOfMemoryMessage);
  } catch (...) {
    FatalError("下载任务遇到无法处理的错误，程序无法继续运行。");
  }
}

}  // namespace

bool StartJobThread(BookJob job, JobRunner run) {
  try {
    std::thread([job = std::move(job), run = std::move(run)] { RunJob(job, run); }).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace cuijian
