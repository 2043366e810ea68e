#pragma once

// Books for the fault and load tests: the site's UTF-8 pages with the real markers and "\r\n" line
// ends, built side by side with what the job must make of them in code page 936 (the book file's
// records and the status lines), so that no expectation goes through the code under test.

#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/download_book.h"

namespace cuijian {

/// Names an outcome in test failure messages.
inline void PrintTo(BookOutcome outcome, std::ostream* out) {
  static constexpr const char* kNames[] = {"kComplete",       "kIndexMissing",
                                           "kNoChapters",     "kCannotCreateFile",
                                           "kAlreadyRunning", "kChaptersFailed"};
  const auto index = static_cast<std::size_t>(outcome);
  *out << (index < std::size(kNames) ? kNames[index] : "BookOutcome(?)");
}

}  // namespace cuijian

namespace cuijian::testing {

/// A piece of page text in both forms: as the site sends it and as it must reach the book file.
struct PagePiece {
  std::string utf8;
  std::string cp936;
};

inline const std::vector<PagePiece>& BodyPieces() {
  static const std::vector<PagePiece> pieces = {
      {"&nbsp;&nbsp;", "  "},
      {"\xE9\xA3\x8E\xE9\x9B\xA8", "\xB7\xE7\xD3\xEA"},  // 风雨
      // The euro sign is the code page's single byte 0x80, which the scanning operations take as
      // the lead byte of a pair: what follows it directly is never matched, so a blank does.
      {"\xE2\x82\xAC", "\x80"},
      {" rain and wind ", " rain and wind "},
      {"<br/>\r\n", "\r\n\r\n"},
      {"&NBSP;", " "},
      {"\xE4\xB9\xA6", "\xCA\xE9"},  // 书
      {"<BR/>\r\n", "\r\n\r\n"},
  };
  return pieces;
}

// "第" and "章" in both forms.
inline constexpr std::string_view kDiUtf8 = "\xE7\xAC\xAC";
inline constexpr std::string_view kZhangUtf8 = "\xE7\xAB\xA0";
inline constexpr std::string_view kDiCp936 = "\xB5\xDA";
inline constexpr std::string_view kZhangCp936 = "\xD5\xC2";

/// The job's closing status lines after the book title, in code page 936.
inline constexpr std::string_view kCompleteLine = "=> \xCF\xC2\xD4\xD8\xCD\xEA\xB3\xC9";
inline constexpr std::string_view kIndexMissingLine =
    "=> \xCF\xC2\xD4\xD8\xCA\xA7\xB0\xDC: \xC4\xBF\xC2\xBC\xD2\xB3\xCE\xDE\xB7\xA8\xBB\xF1\xC8\xA1";

/// "<title>=> 下载未完成: N 章失败" in code page 936.
inline std::string ChaptersFailedLine(std::string_view title, int failed) {
  return std::string(title) +
         "=> \xCF\xC2\xD4\xD8\xCE\xB4\xCD\xEA\xB3\xC9: " + std::to_string(failed) +
         " \xD5\xC2\xCA\xA7\xB0\xDC";
}

struct Chapter {
  std::string path;    ///< the link on the index page, joined to the site base
  std::string page;    ///< the chapter page as the site sends it (UTF-8)
  std::string title;   ///< the chapter title in code page 936
  std::string record;  ///< the book file's record for it in code page 936
};

struct Book {
  std::string title;  ///< in code page 936 (ASCII here, so also the file name's stem)
  std::string index_path;
  std::string index_page;  ///< UTF-8
  std::vector<Chapter> chapters;
  int pieces = 0;  ///< N of the progress lines

  /// The whole book file when every chapter arrived and was written.
  std::string ExpectedFile() const {
    std::string file;
    for (const Chapter& chapter : chapters) file += chapter.record;
    return file;
  }
};

/// A book named `name` (ASCII) with `count` chapters whose bodies repeat the body pieces
/// `body_repeats` times. The index page lists 12 "latest chapter" links first, as the site does,
/// so the chapters are pieces 14 to count + 13.
inline Book MakeBook(const std::string& name, int count, int body_repeats) {
  Book book;
  book.title = name;
  book.index_path = "/" + name + "/";
  book.pieces = count + 13;
  book.index_page = "<html>\r\n<head><title>" + name + "</title></head>\r\n<h1>" + name +
                    "</h1>\r\n<div id=\"list\">\r\n<dl>\r\n";
  for (int j = 1; j <= 12; ++j) {
    book.index_page +=
        "<dd> <a href=\"/" + name + "/latest" + std::to_string(j) + ".html\">latest</a></dd>\r\n";
  }
  for (int k = 1; k <= count; ++k) {
    const std::string number = std::to_string(k);
    Chapter chapter;
    chapter.path = "/" + name + "/" + number + ".html";
    const std::string title_utf8 =
        std::string(kDiUtf8) + number + std::string(kZhangUtf8) + " " + name + " part " + number;
    chapter.title =
        std::string(kDiCp936) + number + std::string(kZhangCp936) + " " + name + " part " + number;
    book.index_page += "<dd> <a href=\"" + chapter.path + "\">" + title_utf8 + "</a></dd>\r\n";

    // The body begins after the marker's carriage return, so with the line feed that follows it.
    std::string body_utf8 = "\n";
    std::string body_cp936 = "\n";
    for (int r = 0; r < body_repeats; ++r) {
      for (const PagePiece& piece : BodyPieces()) {
        body_utf8 += piece.utf8;
        body_cp936 += piece.cp936;
      }
      body_utf8 += number;
      body_cp936 += number;
    }
    chapter.page = "<html>\r\n<div class=\"bookname\">\r\n<h1>" + title_utf8 +
                   "</h1>\r\n</div>\r\n<div id=\"content\"><script>readx();</script>\r" +
                   body_utf8 + "<script>chaptererror();</script>\r\n</div>\r\n</html>\r\n";
    chapter.record = chapter.title + "\r\n" + body_cp936;
    book.chapters.push_back(std::move(chapter));
  }
  book.index_page += "</dl>\r\n</div>\r\n</html>\r\n";
  return book;
}

}  // namespace cuijian::testing
