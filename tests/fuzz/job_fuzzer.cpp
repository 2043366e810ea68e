// Fuzzes the job's cutting of pages: the input is the index page, then the chapter pages, each
// slice ended by "@@@@", served through a fake fetch (no network). The job must not crash, must
// end with a status line that matches its outcome, and must create at most one book file, inside
// the output folder, and nothing anywhere else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/download_book.h"
#include "tests/fuzz/fuzz_check.h"

namespace cuijian::fuzz {
namespace {

namespace fs = std::filesystem;

// "=> 下载完成" in code page 936.
constexpr std::string_view kCompleteTail = "=> \xCF\xC2\xD4\xD8\xCD\xEA\xB3\xC9";

// sandbox/level/out: a name that climbs out of `out` lands in a folder that is checked too.
struct Sandbox {
  fs::path root;
  fs::path level;
  fs::path out;

  Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "cuijian-job-fuzz-XXXXXX").string();
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    root = pattern;
    level = root / "level";
    out = level / "out";
    fs::create_directories(out);
  }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

Sandbox& TheSandbox() {
  static Sandbox sandbox;
  return sandbox;
}

std::vector<fs::directory_entry> Entries(const fs::path& folder) {
  return {fs::directory_iterator(folder), fs::directory_iterator()};
}

std::vector<std::string_view> Slices(std::string_view input) {
  std::vector<std::string_view> slices;
  constexpr std::string_view kEnd = "@@@@";
  for (std::size_t at = input.find(kEnd); at != std::string_view::npos; at = input.find(kEnd)) {
    slices.push_back(input.substr(0, at));
    input.remove_prefix(at + kEnd.size());
  }
  slices.push_back(input);
  return slices;
}

}  // namespace
}  // namespace cuijian::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  cuijian::fuzz::TheSandbox();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace cuijian::fuzz;
  using cuijian::BookOutcome;
  Sandbox& sandbox = TheSandbox();
  const std::vector<std::string_view> slices =
      Slices(std::string_view(reinterpret_cast<const char*>(bytes), size));

  std::size_t next_slice = 0;
  std::vector<std::string> lines;
  cuijian::BookJob job;
  job.ReadBookUrl = [] { return cuijian::Text("http://index.invalid/book/"); };
  job.ShowStatus = [&lines](const cuijian::Text& line) { lines.push_back(line); };
  job.site_base_url = "http://site.invalid";
  job.output_directory = sandbox.out.string();
  job.retry_delay = std::chrono::milliseconds(0);
  // Pages are handed out in order; once the input is used up, nothing more arrives.
  job.fetch = [&](const cuijian::Text&) {
    cuijian::FetchedPage page;
    if (next_slice == slices.size()) {
      page.outcome = cuijian::FetchOutcome::kNoResponse;
      return page;
    }
    const std::string_view slice = slices[next_slice++];
    page.outcome = cuijian::FetchOutcome::kComplete;
    page.body.assign(slice.begin(), slice.end());
    return page;
  };

  const BookOutcome outcome = cuijian::DownloadBook(job);

  FUZZ_CHECK(!lines.empty());
  for (const std::string& line : lines) FUZZ_CHECK(HasNoZero(line));
  const std::string& last = lines.back();
  const bool says_complete =
      last.size() >= kCompleteTail.size() &&
      last.compare(last.size() - kCompleteTail.size(), kCompleteTail.size(), kCompleteTail) == 0;
  FUZZ_CHECK(says_complete == (outcome == BookOutcome::kComplete));
  // The folder is writable and no other job runs: these two can only come from a bad name.
  FUZZ_CHECK(outcome != BookOutcome::kCannotCreateFile);
  FUZZ_CHECK(outcome != BookOutcome::kAlreadyRunning);

  // Only `out` may have changed, and it holds at most the one book file.
  const auto root_entries = Entries(sandbox.root);
  FUZZ_CHECK(root_entries.size() == 1 && root_entries[0].path() == sandbox.level);
  const auto level_entries = Entries(sandbox.level);
  FUZZ_CHECK(level_entries.size() == 1 && level_entries[0].path() == sandbox.out);
  const auto books = Entries(sandbox.out);
  FUZZ_CHECK(books.size() <= 1);
  if (outcome == BookOutcome::kIndexMissing) FUZZ_CHECK(books.empty());
  for (const fs::directory_entry& book : books) {
    FUZZ_CHECK(book.is_regular_file() && !book.is_symlink());
    // Compared as text: for the empty title's ".txt" the path library sees no extension.
    const std::string name = book.path().filename().string();
    FUZZ_CHECK(name.size() >= 4 && name.compare(name.size() - 4, 4, ".txt") == 0);
    fs::remove(book.path());
  }
  return 0;
}
