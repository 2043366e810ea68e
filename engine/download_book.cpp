#include "engine/download_book.h"

#include <cstdint>
#include <string_view>
#include <thread>

#include "engine/book_file.h"
#include "engine/book_file_name.h"
#include "engine/book_path_claim.h"
#include "engine/code_page.h"
#include "text/text.h"

namespace cuijian {
namespace {

// The site's page markers, byte for byte; the list and body markers end in a carriage return.
constexpr std::string_view kTitleFront = "<h1>";
constexpr std::string_view kTitleBack = "</h1>";
constexpr std::string_view kListFront = "<dl>\r";
constexpr std::string_view kListBack = "</dl>\r";
constexpr std::string_view kPieceDelimiter = "<dd> <a ";
constexpr std::string_view kLinkFront = "href=\"";
constexpr std::string_view kLinkBack = "\">";
constexpr std::string_view kBodyFront = "<script>readx();</script>\r";
constexpr std::string_view kBodyBack = "<script>chaptererror();</script>\r";

// The first 13 pieces of the list are the site's "latest chapters" block, not the book.
constexpr double kPiecesBeforeBook = 13;
// A chapter page that brought no response is asked for this many more times.
constexpr int kChapterRetries = 2;

// Status texts in code page 936.
// "=> 下载完成"
constexpr std::string_view kDone = "=> \xCF\xC2\xD4\xD8\xCD\xEA\xB3\xC9";
// "=> 下载失败: 目录页无法获取"
constexpr std::string_view kIndexMissing =
    "=> \xCF\xC2\xD4\xD8\xCA\xA7\xB0\xDC: \xC4\xBF\xC2\xBC\xD2\xB3\xCE\xDE\xB7\xA8\xBB\xF1\xC8\xA1";
// "=> 下载失败: 目录页中没有章节"
constexpr std::string_view kNoChapters =
    "=> \xCF\xC2\xD4\xD8\xCA\xA7\xB0\xDC: \xC4\xBF\xC2\xBC\xD2\xB3\xD6\xD0\xC3\xBB\xD3\xD0\xD5\xC2"
    "\xBD\xDA";
// "=> 下载失败: 无法创建文件"
constexpr std::string_view kCannotCreateFile =
    "=> \xCF\xC2\xD4\xD8\xCA\xA7\xB0\xDC: \xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xCE\xC4\xBC\xFE";
// "=> 下载失败: 该书正在下载"
constexpr std::string_view kAlreadyRunning =
    "=> \xCF\xC2\xD4\xD8\xCA\xA7\xB0\xDC: \xB8\xC3\xCA\xE9\xD5\xFD\xD4\xDA\xCF\xC2\xD4\xD8";
// "=> 下载未完成: " and " 章失败", around the number of failed chapters
constexpr std::string_view kChaptersFailedFront = "=> \xCF\xC2\xD4\xD8\xCE\xB4\xCD\xEA\xB3\xC9: ";
constexpr std::string_view kChaptersFailedBack = " \xD5\xC2\xCA\xA7\xB0\xDC";

bool Arrived(FetchOutcome outcome) {
  return outcome == FetchOutcome::kComplete || outcome == FetchOutcome::kBrokenOff;
}

// One job's view of the outside: its page source and its status line.
class JobIo {
 public:
  explicit JobIo(const BookJob& job) : job_(job) {}

  FetchedPage Fetch(const Text& url) const {
    return job_.fetch ? job_.fetch(url) : FetchPageWithOutcome(url);
  }

  // A chapter page, asked for again while the transport brought nothing at all.
  FetchedPage FetchChapter(const Text& url) const {
    FetchedPage page = Fetch(url);
    for (int retry = 0; retry < kChapterRetries && page.outcome == FetchOutcome::kNoResponse;
         ++retry) {
      std::this_thread::sleep_for(job_.retry_delay);
      page = Fetch(url);
    }
    return page;
  }

  void Show(const Text& line) const {
    if (job_.ShowStatus) job_.ShowStatus(line);
  }

 private:
  const BookJob& job_;
};

std::string JoinPath(const std::string& directory, const std::string& file_name) {
  if (directory.empty()) return file_name;
  if (directory.back() == '/') return directory + file_name;
  return directory + "/" + file_name;
}

// Closes the book file however the job ends.
class BookFileCloser {
 public:
  explicit BookFileCloser(FileNumber file) : file_(file) {}
  ~BookFileCloser() { CloseFile(file_); }
  BookFileCloser(const BookFileCloser&) = delete;
  BookFileCloser& operator=(const BookFileCloser&) = delete;

 private:
  FileNumber file_;
};

struct WalkResult {
  int handled = 0;
  int failed = 0;
};

// Fetches, shows and writes every piece from 14 on that holds a link; one chapter page is held
// at a time, and each record reaches the file before the next page is asked for.
WalkResult WalkChapters(const JobIo& io, const BookJob& job, const Text& book_title,
                        const TextArray& pieces, FileNumber book_file) {
  WalkResult result;
  const std::int32_t piece_count = MemberCount(pieces);
  // Counted in doubles, as all position arithmetic of the system is; k is what the line shows.
  for (double i = 1; i + kPiecesBeforeBook - 1 != piece_count; ++i) {
    const double k = i + kPiecesBeforeBook;
    if (k > piece_count) break;  // never reached for N >= 14; guards N <= 13
    const Text link = TextBetween(pieces[static_cast<std::size_t>(k) - 1], kLinkFront, kLinkBack);
    if (CompareTexts(link, "") == 0) continue;
    ++result.handled;

    FetchedPage page = io.FetchChapter(JoinTexts(job.site_base_url, link));
    const bool arrived = Arrived(page.outcome);
    Text chapter_page = arrived ? DecodeUtf8Page(page.body) : Text();
    page = {};
    const Text chapter_title = TextBetween(chapter_page, kTitleFront, kTitleBack);
    io.Show(JoinTexts(book_title, " ", NumberToText(k), "/", NumberToText(piece_count), " => ",
                      chapter_title));
    if (!arrived) {
      ++result.failed;  // no record: an empty one would pass for a chapter
      continue;
    }
    Text body = TextBetween(chapter_page, kBodyFront, kBodyBack);
    chapter_page = {};
    const bool has_body = !body.empty();
    body = ReplacePairs(body, std::nullopt, std::nullopt, std::nullopt,
                        {{"<br/>", "\r\n"}, {"&nbsp;", " "}});
    const bool written = WriteTextToFile(book_file, JoinTexts(chapter_title, "\r\n", body));
    if (!has_body || !written) ++result.failed;
  }
  return result;
}

}  // namespace

BookOutcome DownloadBook(const BookJob& job) {
  const JobIo io(job);
  Text index_page;
  {
    const Text index_url = job.ReadBookUrl ? job.ReadBookUrl() : Text();
    if (!index_url.empty()) {
      FetchedPage page = io.Fetch(index_url);
      if (Arrived(page.outcome)) index_page = DecodeUtf8Page(page.body);
    }
  }
  if (index_page.empty()) {
    io.Show(Text(kIndexMissing));
    return BookOutcome::kIndexMissing;
  }

  const Text book_title = TextBetween(index_page, kTitleFront, kTitleBack);
  const std::string file_name = BookFileName(book_title);
  // Two jobs writing one file would interleave their records; the second one stays away.
  const BookPathClaim claim(job.output_directory, file_name);
  if (!claim.claimed()) {
    io.Show(JoinTexts(book_title, kAlreadyRunning));
    return BookOutcome::kAlreadyRunning;
  }
  const std::string book_path = JoinPath(job.output_directory, file_name);
  const FileNumber book_file = WriteWholeFile(book_path, {}) ? OpenExistingFile(book_path) : 0;
  if (book_file == 0) {
    io.Show(JoinTexts(book_title, kCannotCreateFile));
    return BookOutcome::kCannotCreateFile;
  }
  const BookFileCloser closer(book_file);

  const TextArray pieces =
      SplitText(TextBetween(index_page, kListFront, kListBack), kPieceDelimiter);
  const WalkResult walk = WalkChapters(io, job, book_title, pieces, book_file);
  if (walk.handled == 0) {
    io.Show(JoinTexts(book_title, kNoChapters));
    return BookOutcome::kNoChapters;
  }
  if (walk.failed > 0) {
    io.Show(JoinTexts(book_title, kChaptersFailedFront, NumberToText(std::int32_t{walk.failed}),
                      kChaptersFailedBack));
    return BookOutcome::kChaptersFailed;
  }
  io.Show(JoinTexts(book_title, kDone));
  return BookOutcome::kComplete;
}

}  // namespace cuijian
