#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "tests/engine/temp_dir.h"
#include "tests/support/test_site.h"

extern char** environ;

namespace cuijian {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;

struct CliRun {
  int exit_status = -1;
  std::string out;
  std::string err;
};

// Runs the built cuijian-cli with `args`, its output and errors caught in files.
CliRun RunCli(const std::vector<std::string>& args) {
  TempDir dir;
  const std::string out_path = dir.Child("out");
  const std::string err_path = dir.Child("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT, 0644);
  std::vector<std::string> all = {CUIJIAN_CLI_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  CliRun run;
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, CUIJIAN_CLI_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  run.out = ReadWholeFile(out_path);
  run.err = ReadWholeFile(err_path);
  return run;
}

TEST(CliMainTest, HelpGoesToStandardOutput) {
  CliRun run = RunCli({"--help"});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_NE(run.out.find("usage: cuijian-cli"), std::string::npos);
  EXPECT_EQ(run.err, "");
}

TEST(CliMainTest, UsageErrorsExitTwoWithUsageOnStandardError) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"--bogus", "x"}, {"a", "b"}, {"x", "--dir"}}) {
    CliRun run = RunCli(args);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: cuijian-cli"), std::string::npos);
  }
}

TEST(CliMainTest, DownloadsIntoTheFolderAndReportsTheOutcome) {
  testing::TestSite site;
  std::vector<std::string> links(12, "/latest.html");
  links.push_back("/b/1.html");
  site.Serve("/b/", testing::BookIndexPage("Book", links));
  site.Serve("/b/1.html", testing::ChapterPage("One", "text"));
  TempDir dir;

  CliRun done =
      RunCli({"--site-base", site.base_url(), "--dir", dir.path(), site.base_url() + "/b/"});
  EXPECT_EQ(done.exit_status, 0);
  EXPECT_EQ(done.out, "Book 14/14 => One\nBook=> 下载完成\n");
  EXPECT_EQ(ReadWholeFile(dir.Child("Book.txt")), "One\r\n\ntext");

  CliRun failed = RunCli({"--dir", dir.Child("missing"), site.base_url() + "/b/"});
  EXPECT_EQ(failed.exit_status, 1);
  EXPECT_EQ(failed.out, "Book=> 下载失败: 无法创建文件\n");
}

}  // namespace
}  // namespace cuijian
