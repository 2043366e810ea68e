// Many jobs at once against one loopback site: 16 books of 300 chapters each, downloaded on 16
// threads through the real fetch. Every book file must come out byte for byte, whatever the
// interleaving; under ThreadSanitizer this is also the suite's race detector for the engine.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/download_book.h"
#include "tests/reliability/book_site.h"
#include "tests/reliability/temp_folder.h"
#include "tests/support/test_site.h"

namespace cuijian {
namespace {

constexpr int kBooks = 16;
constexpr int kChapters = 300;
// Small chapter pages keep the sanitized builds quick; each still holds every body piece.
constexpr int kBodyRepeats = 2;

struct JobRun {
  BookOutcome outcome = BookOutcome::kIndexMissing;
  std::vector<Text> lines;
};

TEST(Load, SixteenBooksAtOnceComeOutByteForByte) {
  testing::TestSite site;
  testing::TempFolder output;
  ASSERT_FALSE(output.path().empty());
  std::vector<testing::Book> books;
  for (int b = 0; b < kBooks; ++b) {
    books.push_back(testing::MakeBook("book" + std::to_string(b), kChapters, kBodyRepeats));
    site.Serve(books.back().index_path, books.back().index_page);
    for (const testing::Chapter& chapter : books.back().chapters) {
      site.Serve(chapter.path, chapter.page);
    }
  }

  std::vector<JobRun> runs(kBooks);
  std::vector<std::thread> threads;
  for (int b = 0; b < kBooks; ++b) {
    threads.emplace_back([&, b] {
      BookJob job;
      job.ReadBookUrl = [&] { return site.base_url() + books[b].index_path; };
      job.ShowStatus = [&runs, b](const Text& line) { runs[b].lines.push_back(line); };
      job.site_base_url = site.base_url();
      job.output_directory = output.path().string();
      runs[b].outcome = DownloadBook(job);  // the real fetch with its default limits
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (int b = 0; b < kBooks; ++b) {
    const testing::Book& book = books[b];
    SCOPED_TRACE(book.title);
    EXPECT_EQ(runs[b].outcome, BookOutcome::kComplete);
    ASSERT_EQ(runs[b].lines.size(), static_cast<std::size_t>(kChapters + 1));
    EXPECT_EQ(runs[b].lines.front(), book.title + " 14/" + std::to_string(book.pieces) + " => " +
                                         book.chapters.front().title);
    EXPECT_EQ(runs[b].lines.back(), book.title + std::string(testing::kCompleteLine));
    // Compared as a whole; a mismatch prints the sizes rather than megabytes of text.
    const std::string file = testing::ReadWholeFile(output.path() / (book.title + ".txt"));
    const std::string expected = book.ExpectedFile();
    EXPECT_TRUE(file == expected) << "book file of " << file.size() << " bytes, expected "
                                  << expected.size();
    EXPECT_EQ(site.RequestCount(book.chapters.back().path), 1);
  }
  EXPECT_EQ(output.Names().size(), static_cast<std::size_t>(kBooks));
}

}  // namespace
}  // namespace cuijian
