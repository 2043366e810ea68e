#pragma once

#include <functional>

#include "engine/download_book.h"

namespace cuijian {

/// What a job thread runs; DownloadBook unless a test supplies its own.
using JobRunner = std::function<void(const BookJob&)>;

/// Runs `run(job)` (DownloadBook when `run` is empty) on a new detached thread with the default
/// stack size; nobody waits for it. False, with nothing started and nothing reported, when no
/// thread can be made. Exhausted memory or any other exception escaping the job is a fatal error.
bool StartJobThread(BookJob job, JobRunner run = {});

}  // namespace cuijian
