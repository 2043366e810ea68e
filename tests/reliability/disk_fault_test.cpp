// Whole download jobs whose book file meets a failing disk: a file system that fills up, and an
// output folder that disappears mid-download. The job must count the lost chapters, end with its
// failure line, and leave the records written before untouched.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/download_book.h"
#include "tests/reliability/book_site.h"
#include "tests/reliability/temp_folder.h"

namespace cuijian {
namespace {

namespace fs = std::filesystem;
using testing::Book;

constexpr char kSiteBase[] = "http://memory.invalid";

struct JobRun {
  BookOutcome outcome;
  std::vector<Text> lines;
};

// Runs one job for `book` with its pages served from memory; `before_fetch` sees every address
// before its page is handed out.
JobRun RunJob(const Book& book, const fs::path& output,
              const std::function<void(const std::string&)>& before_fetch = {}) {
  std::map<std::string, std::string> pages{{kSiteBase + book.index_path, book.index_page}};
  for (const testing::Chapter& chapter : book.chapters) {
    pages[kSiteBase + chapter.path] = chapter.page;
  }
  JobRun run;
  BookJob job;
  job.ReadBookUrl = [&] { return kSiteBase + book.index_path; };
  job.ShowStatus = [&run](const Text& line) { run.lines.push_back(line); };
  job.site_base_url = kSiteBase;
  job.output_directory = output.string();
  job.retry_delay = std::chrono::milliseconds(0);
  job.fetch = [&](const Text& url) {
    if (before_fetch) before_fetch(url);
    FetchedPage page;
    auto found = pages.find(url);
    page.outcome = FetchOutcome::kComplete;
    if (found != pages.end()) page.body.assign(found->second.begin(), found->second.end());
    return page;
  };
  run.outcome = DownloadBook(job);
  return run;
}

// How many of the book's records stand whole, in order, at the start of `file`.
std::size_t LeadingRecords(const Book& book, const std::string& file) {
  std::size_t at = 0;
  std::size_t count = 0;
  for (const testing::Chapter& chapter : book.chapters) {
    if (file.compare(at, chapter.record.size(), chapter.record) != 0) break;
    at += chapter.record.size();
    ++count;
  }
  return count;
}

// A tmpfs of 64 KiB mounted for one test; unmounted (lazily, so nothing can keep it busy) at the
// end.
class SmallFileSystem {
 public:
  explicit SmallFileSystem(const fs::path& where) : where_(where) {
    fs::create_directory(where_);
    if (::mount("tmpfs", where_.c_str(), "tmpfs", 0, "size=64k") == 0) {
      mounted_ = true;
    } else {
      error_ = std::strerror(errno);
    }
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }

 private:
  fs::path where_;
  bool mounted_ = false;
  std::string error_;
};

TEST(DiskFaults, FullFileSystemCountsTheChaptersThatDidNotFit) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  testing::TempFolder holder;
  const fs::path disk = holder.path() / "disk";
  SmallFileSystem small(disk);
  if (!small.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << small.error();

  // About 3 KB per record: some 20 fit into 64 KiB, the rest of the 40 do not.
  const Book book = testing::MakeBook("full", 40, 90);
  const JobRun run = RunJob(book, disk);

  const std::string file = testing::ReadWholeFile(disk / "full.txt");
  const std::size_t written = LeadingRecords(book, file);
  EXPECT_GE(written, 1u);
  EXPECT_LT(written, book.chapters.size());
  EXPECT_EQ(run.outcome, BookOutcome::kChaptersFailed);
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.back(), testing::ChaptersFailedLine(
                                  book.title, static_cast<int>(book.chapters.size() - written)));
  // A record that did not fit may leave its first bytes behind, never more than one record.
  std::size_t records_bytes = 0;
  for (std::size_t i = 0; i < written; ++i) records_bytes += book.chapters[i].record.size();
  EXPECT_LT(file.size() - records_bytes, book.chapters.back().record.size());
}

TEST(DiskFaults, VanishedOutputFolderCountsTheLostChapters) {
  testing::TempFolder holder;
  const fs::path output = holder.path() / "out";
  fs::create_directory(output);
  const Book book = testing::MakeBook("vanish", 12, 3);
  const std::string sixth = kSiteBase + book.chapters[5].path;

  // When chapter 6 is asked for, the folder goes, book file and all; a descriptor kept open on
  // the file still shows what had been written by then.
  int kept = -1;
  const JobRun run = RunJob(book, output, [&](const std::string& url) {
    if (url != sixth || kept != -1) return;
    kept = ::open((output / "vanish.txt").c_str(), O_RDONLY | O_CLOEXEC);
    fs::remove_all(output);
  });
  ASSERT_GE(kept, 0);
  std::string file(1 << 16, '\0');
  const ssize_t got = ::pread(kept, file.data(), file.size(), 0);
  ::close(kept);
  ASSERT_GE(got, 0);
  file.resize(static_cast<std::size_t>(got));

  EXPECT_FALSE(fs::exists(output)) << "the job made the folder again";
  EXPECT_GE(LeadingRecords(book, file), 5u) << "records written before were damaged";
  EXPECT_EQ(run.outcome, BookOutcome::kChaptersFailed);
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.back(), testing::ChaptersFailedLine(book.title, 7))
      << "chapters 6 to 12 went into a file that no longer exists";
}

}  // namespace
}  // namespace cuijian
