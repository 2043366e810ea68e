#include "cli/run_download.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/engine/temp_dir.h"
#include "tests/support/test_site.h"

namespace cuijian {
namespace {

using testing::BookIndexPage;
using testing::ChapterPage;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::TestSite;

class RunDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> links;
    for (int i = 1; i <= 12; ++i) links.push_back("/latest.html");
    links.push_back("/b/1.html");
    links.push_back("/b/2.html");
    site_.Serve("/b/", BookIndexPage("书名", links));
    site_.Serve("/b/1.html", ChapterPage("第一章", "一"));
    site_.Serve("/b/2.html", ChapterPage("第二章", "二"));
  }

  CliOptions Options(const std::string& path) {
    CliOptions options;
    options.index_url = site_.base_url() + path;
    options.site_base = site_.base_url();
    options.output_directory = dir_.path();
    return options;
  }

  TestSite site_;
  TempDir dir_;
};

TEST_F(RunDownloadTest, PrintsEveryLineInUtf8AndExitsZero) {
  std::ostringstream out;
  EXPECT_EQ(RunDownload(Options("/b/"), out, /*out_is_terminal=*/false), 0);
  EXPECT_EQ(out.str(), "书名 14/15 => 第一章\n书名 15/15 => 第二章\n书名=> 下载完成\n");
  // The book file keeps the site's code page: 936.
  EXPECT_EQ(ReadWholeFile(dir_.Child("书名.txt")),
            "\xB5\xDA\xD2\xBB\xD5\xC2\r\n\n\xD2\xBB\xB5\xDA\xB6\xFE\xD5\xC2\r\n\n\xB6\xFE");
}

TEST_F(RunDownloadTest, TerminalRedrawsInPlaceAndKeepsTheLastLine) {
  std::ostringstream out;
  EXPECT_EQ(RunDownload(Options("/b/"), out, /*out_is_terminal=*/true), 0);
  EXPECT_EQ(out.str(),
            "\r\x1B[K书名 14/15 => 第一章\r\x1B[K书名 15/15 => 第二章\r\x1B[K书名=> 下载完成\n");
}

TEST_F(RunDownloadTest, FailureLinesExitOne) {
  std::ostringstream out;
  EXPECT_EQ(RunDownload(Options("/missing/"), out, false), 1);  // a 404 page: no chapter list
  EXPECT_EQ(out.str(), "=> 下载失败: 目录页中没有章节\n");

  std::ostringstream empty_page_out;
  site_.Serve("/empty/", "");
  EXPECT_EQ(RunDownload(Options("/empty/"), empty_page_out, false), 1);
  EXPECT_EQ(empty_page_out.str(), "=> 下载失败: 目录页无法获取\n");
}

TEST_F(RunDownloadTest, AddressInUtf8ReachesTheSiteAsTyped) {
  // The address goes through code page 936 inside the job and back to UTF-8 on the wire.
  site_.Serve("/b/书/", BookIndexPage("x", {}));
  std::ostringstream out;
  EXPECT_EQ(RunDownload(Options("/b/书/"), out, false), 1);
  EXPECT_EQ(site_.RequestCount("/b/书/"), 1);
}

}  // namespace
}  // namespace cuijian
