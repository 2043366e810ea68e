#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cuijian {

/// What the command line asks for.
struct CliOptions {
  /// Address of the book's chapter-index page, as typed (UTF-8).
  std::string index_url;
  /// Replaces the built-in site base when given (UTF-8).
  std::optional<std::string> site_base;
  /// Folder that receives the book file.
  std::string output_directory = ".";
};

/// How the command line parsed.
enum class CliCommand {
  kRun,         ///< download with the options
  kHelp,        ///< print the usage to standard output
  kUsageError,  ///< print the error and the usage to standard error
};

struct ParsedCli {
  CliCommand command = CliCommand::kUsageError;
  CliOptions options;
  /// Why the command line was refused; empty otherwise.
  std::string error;
};

/// The usage text, ending in a line break.
std::string CliUsage();

/// Parses the arguments after the program name: "[--site-base URL] [--dir DIR] INDEX_URL",
/// "--name=value" allowed, "--help"/"-h" anywhere wins, "--" ends the options; kUsageError with
/// a reason for an unknown option, a missing value or not exactly one INDEX_URL.
ParsedCli ParseCliArgs(const std::vector<std::string_view>& args);

}  // namespace cuijian
