#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "engine/fetch_page.h"
#include "text/text_types.h"

namespace cuijian {

/// What one download job needs from the one who starts it.
struct BookJob {
  /// The index page's address, read once at the start (the window's address box).
  std::function<Text()> ReadBookUrl;
  /// Replaces the status line; called once per handled chapter and once at the end.
  std::function<void(const Text&)> ShowStatus;
  /// Scheme and host to which every chapter link is joined.
  Text site_base_url;
  /// Folder that receives the book file (native path, no trailing separator needed).
  std::string output_directory;
  /// The page source; empty means FetchPageWithOutcome with the default limits.
  std::function<FetchedPage(const Text&)> fetch;
  /// Pause before fetching a chapter page again that brought no response.
  std::chrono::milliseconds retry_delay{1000};
};

/// How a job ended; its last status line says the same to the user.
enum class BookOutcome {
  kComplete,          ///< "<title>=> 下载完成"
  kIndexMissing,      ///< the index page did not arrive; no file touched
  kNoChapters,        ///< no chapter list, or no piece from 14 on with a link
  kCannotCreateFile,  ///< the book file could not be created or opened; no chapter fetched
  kAlreadyRunning,    ///< another job of this process is writing the same book file
  kChaptersFailed,    ///< some chapters did not arrive, had no body, or were not written
};

/// Downloads one book: index page, chapter list, every chapter page into the book file, with a
/// status line per handled chapter and one at the end. Thread-safe; several jobs may run at once.
BookOutcome DownloadBook(const BookJob& job);

}  // namespace cuijian
