#include "cli/cli_args.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace cuijian {
namespace {

struct ArgsCase {
  const char* name;
  std::vector<std::string_view> args;
  CliCommand command;
  std::string index_url;
  std::optional<std::string> site_base;
  std::string output_directory;
};

// Test listings show the case's name rather than its bytes.
void PrintTo(const ArgsCase& c, std::ostream* out) { *out << c.name; }

class CliArgsTest : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(CliArgsTest, Parses) {
  const ArgsCase& c = GetParam();
  ParsedCli parsed = ParseCliArgs(c.args);
  ASSERT_EQ(parsed.command, c.command) << parsed.error;
  if (c.command == CliCommand::kUsageError) {
    EXPECT_FALSE(parsed.error.empty());
    return;
  }
  if (c.command != CliCommand::kRun) return;
  EXPECT_TRUE(parsed.error.empty());
  EXPECT_EQ(parsed.options.index_url, c.index_url);
  EXPECT_EQ(parsed.options.site_base, c.site_base);
  EXPECT_EQ(parsed.options.output_directory, c.output_directory);
}

const char kUrl[] = "http://127.0.0.1:8080/43_43821/";
constexpr CliCommand kRun = CliCommand::kRun;
constexpr CliCommand kHelp = CliCommand::kHelp;
constexpr CliCommand kError = CliCommand::kUsageError;

INSTANTIATE_TEST_SUITE_P(
    Table, CliArgsTest,
    ::testing::Values(
        ArgsCase{"UrlAlone", {kUrl}, kRun, kUrl, std::nullopt, "."},
        ArgsCase{"AllOptions",
                 {"--site-base", "http://h", "--dir", "/tmp/b", kUrl},
                 kRun,
                 kUrl,
                 "http://h",
                 "/tmp/b"},
        ArgsCase{"OptionsAfterUrlWithEquals",
                 {kUrl, "--dir=/x", "--site-base=http://h:1"},
                 kRun,
                 kUrl,
                 "http://h:1",
                 "/x"},
        ArgsCase{
            "LastOptionWins", {"--dir", "a", "--dir", "b", kUrl}, kRun, kUrl, std::nullopt, "b"},
        ArgsCase{"DashDashEndsOptions", {"--", "--dir"}, kRun, "--dir", std::nullopt, "."},
        ArgsCase{"EmptyUrlIsAnAddress", {""}, kRun, "", std::nullopt, "."},
        ArgsCase{"HelpWins", {"--dir", "x", "--help"}, kHelp, "", std::nullopt, "."},
        ArgsCase{"ShortHelp", {"-h"}, kHelp, "", std::nullopt, "."},
        ArgsCase{"NoArguments", {}, kError, "", std::nullopt, "."},
        ArgsCase{"TwoUrls", {kUrl, kUrl}, kError, "", std::nullopt, "."},
        ArgsCase{"UnknownOption", {"--output", "x", kUrl}, kError, "", std::nullopt, "."},
        ArgsCase{"MissingValue", {kUrl, "--dir"}, kError, "", std::nullopt, "."},
        ArgsCase{"EmptyValue", {"--site-base=", kUrl}, kError, "", std::nullopt, "."},
        ArgsCase{
            "HelpAfterDashDashIsAnAddress", {"--", "--help"}, kRun, "--help", std::nullopt, "."}),
    [](const ::testing::TestParamInfo<ArgsCase>& info) { return std::string(info.param.name); });

TEST(CliUsageTest, NamesEveryOption) {
  const std::string usage = CliUsage();
  for (const char* part : {"--site-base URL", "--dir DIR", "INDEX_URL", "--help"}) {
    EXPECT_NE(usage.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
}  // namespace cuijian
