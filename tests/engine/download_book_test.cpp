#include "engine/download_book.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/book_file.h"
#include "engine/code_page.h"
#include "tests/engine/fake_file_calls.h"
#include "tests/engine/temp_dir.h"
#include "tests/support/test_site.h"

namespace cuijian {
namespace {

using testing::BookIndexPage;
using testing::ChapterPage;
using testing::FolderNames;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::TestSite;

// Code page 936 bytes of a UTF-8 literal: how the job's texts and the book file are written.
Text Gbk(std::string_view utf8) { return Utf8ToCp936(utf8); }

// The 12 entries before the book proper ("latest chapters" on the site); with the line end
// before them they are pieces 1 to 13.
std::vector<std::string> LatestEntries() {
  std::vector<std::string> links;
  for (int i = 1; i <= 12; ++i) links.push_back("/latest/" + std::to_string(i) + ".html");
  return links;
}

// Index links: the latest entries, then the book's own chapters.
std::vector<std::string> WithChapters(const std::vector<std::string>& chapters) {
  std::vector<std::string> links = LatestEntries();
  links.insert(links.end(), chapters.begin(), chapters.end());
  return links;
}

// The site, a folder for the book and the status lines of one or more jobs. A body as the site
// serves it begins with the line feed that follows the body marker's carriage return, so every
// record of a served chapter reads title, "\r\n", "\n", body.
class DownloadBookTest : public ::testing::Test {
 protected:
  BookJob Job(const std::string& index_path) {
    BookJob job;
    std::string url = index_path.empty() ? "" : site_.base_url() + index_path;
    job.ReadBookUrl = [url] { return Text(url); };
    job.ShowStatus = [this](const Text& line) {
      std::lock_guard lock(lines_mutex_);
      lines_.push_back(line);
    };
    job.site_base_url = site_.base_url();
    job.output_directory = dir_.path();
    job.retry_delay = std::chrono::milliseconds(0);
    return job;
  }

  std::vector<Text> Lines() {
    std::lock_guard lock(lines_mutex_);
    return lines_;
  }

  // A book whose chapter i (1-based) is at /book/i.html with title "第i章" and body "正文i".
  void ServeBook(const std::string& index_path, const std::string& title, int chapters,
                 const std::string& folder = "/book/") {
    std::vector<std::string> links;
    for (int i = 1; i <= chapters; ++i) {
      std::string link = folder + std::to_string(i) + ".html";
      links.push_back(link);
      site_.Serve(link, ChapterPage("第" + std::to_string(i) + "章", "正文" + std::to_string(i)));
    }
    site_.Serve(index_path, BookIndexPage(title, WithChapters(links)));
  }

  // The file and lines that ServeBook's book gives when every chapter arrives.
  static std::string ExpectedBook(int chapters) {
    std::string book;
    for (int i = 1; i <= chapters; ++i) {
      book += Gbk("第" + std::to_string(i) + "章\r\n\n正文" + std::to_string(i));
    }
    return book;
  }

  TestSite site_;
  TempDir dir_;

 private:
  std::mutex lines_mutex_;
  std::vector<Text> lines_;
};

TEST_F(DownloadBookTest, NormalBookGivesExactBytesAndLines) {
  site_.Serve("/1_1/", BookIndexPage("测试之书", WithChapters({"/1_1/a.html", "/1_1/b.html"})));
  site_.Serve("/1_1/a.html", ChapterPage("第一章 开始", "甲<br/>乙&nbsp;丙<br/>\r\n<p>丁</p>"));
  site_.Serve("/1_1/b.html", ChapterPage("第二章", "&nbsp;&nbsp;z"));

  EXPECT_EQ(DownloadBook(Job("/1_1/")), BookOutcome::kComplete);

  EXPECT_EQ(ReadWholeFile(dir_.Child("测试之书.txt")),
            Gbk("第一章 开始\r\n\n甲\r\n乙 丙\r\n\r\n<p>丁</p>第二章\r\n\n  z"));
  EXPECT_EQ(Lines(),
            (std::vector<Text>{Gbk("测试之书 14/15 => 第一章 开始"),
                               Gbk("测试之书 15/15 => 第二章"), Gbk("测试之书=> 下载完成")}));
  // The completion text in code page 936, byte for byte.
  EXPECT_EQ(Lines().back(), Gbk("测试之书") + "=> \xCF\xC2\xD4\xD8\xCD\xEA\xB3\xC9");
  EXPECT_EQ(FolderNames(dir_.path()), std::vector<std::string>{"测试之书.txt"});
  EXPECT_EQ(site_.RequestCount("/latest/1.html"), 0);
}

TEST_F(DownloadBookTest, LongBookArrivesWhole) {
  ServeBook("/long/", "长书", 300);
  EXPECT_EQ(DownloadBook(Job("/long/")), BookOutcome::kComplete);
  EXPECT_EQ(ReadWholeFile(dir_.Child("长书.txt")), ExpectedBook(300));
  std::vector<Text> lines = Lines();
  ASSERT_EQ(lines.size(), 301u);
  EXPECT_EQ(lines[0], Gbk("长书 14/313 => 第1章"));
  EXPECT_EQ(lines[299], Gbk("长书 313/313 => 第300章"));
}

TEST_F(DownloadBookTest, ListsOfThirteenPiecesOrFewerHaveNoChapters) {
  struct Case {
    const char* name;
    std::vector<std::string> links;
  };
  std::vector<Case> cases = {
      {"thirteen pieces", LatestEntries()},
      {"five pieces", {"/latest/1.html", "/latest/2.html", "/latest/3.html", "/latest/4.html"}},
      {"no list", {}},
      {"no link from 14 on", WithChapters({"", ""})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    BookJob job = Job("/few/");
    job.output_directory = dir.path();
    site_.Serve("/few/", BookIndexPage("少", c.links));
    // The file is emptied before the list is looked at.
    ASSERT_TRUE(WriteWholeFile(dir.Child("少.txt"), Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(DownloadBook(job), BookOutcome::kNoChapters);
    EXPECT_EQ(ReadWholeFile(dir.Child("少.txt")), "");
    EXPECT_EQ(Lines().back(), Gbk("少=> 下载失败: 目录页中没有章节"));
  }
  EXPECT_EQ(Lines().size(), cases.size());  // no progress line at all
  for (int i = 1; i <= 12; ++i) {
    EXPECT_EQ(site_.RequestCount("/latest/" + std::to_string(i) + ".html"), 0);
  }
}

TEST_F(DownloadBookTest, FourteenPiecesHandleOnlyPieceFourteen) {
  site_.Serve("/14/", BookIndexPage("书", WithChapters({"/14/c.html"})));
  site_.Serve("/14/c.html", ChapterPage("章", "文"));
  EXPECT_EQ(DownloadBook(Job("/14/")), BookOutcome::kComplete);
  EXPECT_EQ(Lines(), (std::vector<Text>{Gbk("书 14/14 => 章"), Gbk("书=> 下载完成")}));
  EXPECT_EQ(ReadWholeFile(dir_.Child("书.txt")), Gbk("章\r\n\n文"));
}

TEST_F(DownloadBookTest, PieceWithoutLinkIsPassedOver) {
  site_.Serve("/gap/", BookIndexPage("书", WithChapters({"/gap/1.html", "", "/gap/3.html"})));
  site_.Serve("/gap/1.html", ChapterPage("一", "a"));
  site_.Serve("/gap/3.html", ChapterPage("三", "c"));
  EXPECT_EQ(DownloadBook(Job("/gap/")), BookOutcome::kComplete);
  EXPECT_EQ(Lines(), (std::vector<Text>{Gbk("书 14/16 => 一"), Gbk("书 16/16 => 三"),
                                        Gbk("书=> 下载完成")}));
  EXPECT_EQ(ReadWholeFile(dir_.Child("书.txt")), Gbk("一\r\n\na三\r\n\nc"));
}

TEST_F(DownloadBookTest, LineBreakTagsAndSpacesInCapitalsAreCleanedToo) {
  site_.Serve("/caps/", BookIndexPage("书", WithChapters({"/caps/1.html"})));
  site_.Serve("/caps/1.html", ChapterPage("<B>T</B>&NBSP;", "x<BR/>y&NBSP;z<Br/>&nBsP;"));
  EXPECT_EQ(DownloadBook(Job("/caps/")), BookOutcome::kComplete);
  // The title is kept as the page has it; only the body is cleaned.
  EXPECT_EQ(ReadWholeFile(dir_.Child("书.txt")), "<B>T</B>&NBSP;\r\n\nx\r\ny z\r\n ");
}

TEST_F(DownloadBookTest, ChapterWithoutTitleOrBodyIsWrittenButCounted) {
  site_.Serve("/odd/",
              BookIndexPage("书", WithChapters({"/odd/1.html", "/odd/2.html", "/odd/3.html"})));
  site_.Serve("/odd/1.html",
              "<html>\r\n<script>readx();</script>\r\nbody one"
              "<script>chaptererror();</script>\r\n</html>");
  site_.Serve("/odd/2.html", "<html><h1>Two</h1>\r\n<p>no markers</p></html>");
  site_.Serve("/odd/3.html", ChapterPage("Three", "three"));
  EXPECT_EQ(DownloadBook(Job("/odd/")), BookOutcome::kChaptersFailed);
  EXPECT_EQ(ReadWholeFile(dir_.Child("书.txt")), "\r\n\nbody oneTwo\r\nThree\r\n\nthree");
  EXPECT_EQ(Lines(),
            (std::vector<Text>{Gbk("书 14/16 => "), Gbk("书 15/16 => Two"),
                               Gbk("书 16/16 => Three"), Gbk("书=> 下载未完成: 1 章失败")}));
}

TEST_F(DownloadBookTest, ChapterWithoutResponseIsAskedThreeTimesThenCounted) {
  site_.Serve("/drop/",
              BookIndexPage("书", WithChapters({"/drop/1.html", "/drop/2.html", "/drop/3.html"})));
  site_.Serve("/drop/1.html", ChapterPage("一", "a"));
  site_.Serve("/drop/3.html", ChapterPage("三", "c"));
  const std::string dropped = site_.base_url() + "/drop/2.html";
  const std::string flaky = site_.base_url() + "/drop/3.html";
  int dropped_calls = 0;
  int flaky_calls = 0;
  BookJob job = Job("/drop/");
  job.fetch = [&](const Text& url) {
    if (url == dropped) {
      ++dropped_calls;
      return FetchedPage{FetchOutcome::kNoResponse, {}};
    }
    if (url == flaky && ++flaky_calls < 3) return FetchedPage{FetchOutcome::kNoResponse, {}};
    return FetchPageWithOutcome(url);
  };
  EXPECT_EQ(DownloadBook(job), BookOutcome::kChaptersFailed);
  EXPECT_EQ(dropped_calls, 3);
  EXPECT_EQ(flaky_calls, 3);  // arrived on the last try
  EXPECT_EQ(ReadWholeFile(dir_.Child("书.txt")), Gbk("一\r\n\na三\r\n\nc"));
  EXPECT_EQ(Lines(), (std::vector<Text>{Gbk("书 14/16 => 一"), Gbk("书 15/16 => "),
                                        Gbk("书 16/16 => 三"), Gbk("书=> 下载未完成: 1 章失败")}));
}

TEST_F(DownloadBookTest, OtherFailedFetchesAreNotRetried) {
  site_.Serve("/once/", BookIndexPage("书", WithChapters({"/once/1.html", "/once/2.html"})));
  int calls = 0;
  BookJob job = Job("/once/");
  job.fetch = [&](const Text& url) {
    if (url == job.ReadBookUrl()) return FetchPageWithOutcome(url);
    ++calls;
    return FetchedPage{calls == 1 ? FetchOutcome::kTooLarge : FetchOutcome::kNotSent, {}};
  };
  EXPECT_EQ(DownloadBook(job), BookOutcome::kChaptersFailed);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(ReadWholeFile(dir_.Child("书.txt")), "");
  EXPECT_EQ(Lines().back(), Gbk("书=> 下载未完成: 2 章失败"));
}

// A loopback port with nothing listening on it.
int ClosedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  close(fd);
  return ntohs(address.sin_port);
}

TEST_F(DownloadBookTest, UnreachableChapterSiteFailsEveryChapter) {
  site_.Serve("/far/", BookIndexPage("书", WithChapters({"/far/1.html", "/far/2.html"})));
  BookJob job = Job("/far/");
  job.site_base_url = "http://127.0.0.1:" + std::to_string(ClosedPort());
  EXPECT_EQ(DownloadBook(job), BookOutcome::kChaptersFailed);
  EXPECT_EQ(ReadWholeFile(dir_.Child("书.txt")), "");
  EXPECT_EQ(Lines(), (std::vector<Text>{Gbk("书 14/15 => "), Gbk("书 15/15 => "),
                                        Gbk("书=> 下载未完成: 2 章失败")}));
}

TEST_F(DownloadBookTest, MissingIndexStopsBeforeAnyFile) {
  site_.Serve("/empty/", "");
  struct Case {
    const char* name;
    std::string url;
  };
  const std::vector<Case> cases = {
      {"empty address", ""},
      {"empty page", site_.base_url() + "/empty/"},
      {"closed port", "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/1/"},
      {"unusable address", "not an address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BookJob job = Job("");
    job.ReadBookUrl = [&c] { return Text(c.url); };
    EXPECT_EQ(DownloadBook(job), BookOutcome::kIndexMissing);
    EXPECT_EQ(Lines().back(), Gbk("=> 下载失败: 目录页无法获取"));
  }
  EXPECT_EQ(Lines().size(), cases.size());
  EXPECT_TRUE(FolderNames(dir_.path()).empty());
}

TEST_F(DownloadBookTest, ExistingBookFileIsEmptiedAndRewritten) {
  ServeBook("/again/", "旧书", 2);
  const std::string path = dir_.Child("旧书.txt");
  ASSERT_TRUE(WriteWholeFile(path, Bytes(5000, 'x')));
  EXPECT_EQ(DownloadBook(Job("/again/")), BookOutcome::kComplete);
  EXPECT_EQ(ReadWholeFile(path), ExpectedBook(2));
}

TEST_F(DownloadBookTest, RefusedOutputFolderStopsBeforeAnyChapter) {
  ServeBook("/nofolder/", "书", 2);
  ASSERT_TRUE(WriteWholeFile(dir_.Child("plain"), {}));
  for (const std::string& folder : {dir_.Child("missing"), dir_.Child("plain")}) {
    SCOPED_TRACE(folder);
    BookJob job = Job("/nofolder/");
    job.output_directory = folder;
    EXPECT_EQ(DownloadBook(job), BookOutcome::kCannotCreateFile);
    EXPECT_EQ(Lines().back(), Gbk("书=> 下载失败: 无法创建文件"));
  }
  EXPECT_EQ(Lines().size(), 2u);
  EXPECT_EQ(site_.RequestCount("/book/1.html"), 0);
  EXPECT_EQ(FolderNames(dir_.path()), std::vector<std::string>{"plain"});
}

TEST_F(DownloadBookTest, TitlesNeverLeadOutOfTheFolder) {
  struct Case {
    std::string title;
    std::string file_name;
  };
  const std::vector<Case> cases = {
      {"..", "...txt"}, {"../x", "..／x.txt"}, {"a/b", "a／b.txt"}, {"", ".txt"}};
  TempDir outer;
  const std::string inner = outer.Child("books");
  ASSERT_EQ(mkdir(inner.c_str(), 0755), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    ServeBook("/t/", c.title, 1);
    BookJob job = Job("/t/");
    job.output_directory = inner;
    EXPECT_EQ(DownloadBook(job), BookOutcome::kComplete);
    EXPECT_EQ(ReadWholeFile(inner + "/" + c.file_name), ExpectedBook(1));
  }
  EXPECT_EQ(FolderNames(outer.path()), std::vector<std::string>{"books"});
  EXPECT_EQ(FolderNames(inner),
            (std::vector<std::string>{"...txt", "..／x.txt", ".txt", "a／b.txt"}));
  EXPECT_EQ(Lines().back(), Gbk("=> 下载完成"));  // the empty title shows nothing before "=>"
}

TEST_F(DownloadBookTest, SecondJobForTheSameBookStaysAway) {
  ServeBook("/same/", "同名", 3);
  std::promise<void> first_in_walk;
  std::promise<void> second_done;
  std::shared_future<void> second_done_future = second_done.get_future().share();
  BookJob first = Job("/same/");
  first.fetch = [&, entered = false](const Text& url) mutable {
    if (url.find("/book/") != Text::npos && !entered) {
      entered = true;
      first_in_walk.set_value();
      second_done_future.wait();
    }
    return FetchPageWithOutcome(url);
  };
  BookOutcome first_outcome{};
  std::thread first_thread([&] { first_outcome = DownloadBook(first); });

  first_in_walk.get_future().wait();
  EXPECT_EQ(DownloadBook(Job("/same/")), BookOutcome::kAlreadyRunning);
  EXPECT_EQ(Lines().back(), Gbk("同名=> 下载失败: 该书正在下载"));
  second_done.set_value();
  first_thread.join();

  EXPECT_EQ(first_outcome, BookOutcome::kComplete);
  EXPECT_EQ(ReadWholeFile(dir_.Child("同名.txt")), ExpectedBook(3));
  EXPECT_EQ(site_.RequestCount("/book/1.html"), 1);
  // Once the first job is over, the book can be fetched again.
  EXPECT_EQ(DownloadBook(Job("/same/")), BookOutcome::kComplete);
}

TEST_F(DownloadBookTest, JobsForDifferentBooksRunAtOnce) {
  constexpr int kBooks = 4;
  for (int b = 0; b < kBooks; ++b) {
    ServeBook("/many/" + std::to_string(b) + "/", "书" + std::to_string(b), 20,
              "/many/" + std::to_string(b) + "/");
  }
  std::vector<BookOutcome> outcomes(kBooks);
  std::vector<std::thread> threads;
  for (int b = 0; b < kBooks; ++b) {
    threads.emplace_back(
        [&, b] { outcomes[b] = DownloadBook(Job("/many/" + std::to_string(b) + "/")); });
  }
  for (std::thread& thread : threads) thread.join();
  for (int b = 0; b < kBooks; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(outcomes[b], BookOutcome::kComplete);
    EXPECT_EQ(ReadWholeFile(dir_.Child("书" + std::to_string(b) + ".txt")), ExpectedBook(20));
  }
  EXPECT_EQ(Lines().size(), static_cast<std::size_t>(kBooks * 21));
}

TEST_F(DownloadBookTest, FailedRecordWriteIsCountedAndOverwritten) {
  site_.Serve(
      "/disk/",
      BookIndexPage("Disk", WithChapters({"/disk/1.html", "/disk/2.html", "/disk/3.html"})));
  site_.Serve("/disk/1.html", ChapterPage("One", "first"));
  site_.Serve("/disk/2.html", ChapterPage("Two", "second"));
  site_.Serve("/disk/3.html", ChapterPage("Three", "the third one"));
  const std::string first = "One\r\n\nfirst";
  BookJob job = Job("/disk/");
  // The disk fills up halfway through the second record, and has room again for the third.
  std::unique_ptr<testing::FailingFileCalls> full_disk;
  job.fetch = [&](const Text& url) {
    if (url.ends_with("/2.html")) {
      full_disk = std::make_unique<testing::FailingFileCalls>(4);
    } else if (url.ends_with("/3.html")) {
      full_disk.reset();
    }
    return FetchPageWithOutcome(url);
  };
  EXPECT_EQ(DownloadBook(job), BookOutcome::kChaptersFailed);
  EXPECT_EQ(ReadWholeFile(dir_.Child("Disk.txt")), first + "Three\r\n\nthe third one");
  EXPECT_EQ(Lines().back(), "Disk=> " + Gbk("下载未完成: 1 章失败"));
}

}  // namespace
}  // namespace cuijian
