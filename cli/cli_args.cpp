#include "cli/cli_args.h"

namespace cuijian {
namespace {

// Splits "--name=value" into its two parts; `value` stays unset without "=".
void SplitOption(std::string_view arg, std::string_view& name,
                 std::optional<std::string_view>& value) {
  std::size_t equals = arg.find('=');
  name = arg.substr(0, equals);
  if (equals != std::string_view::npos) value = arg.substr(equals + 1);
}

ParsedCli UsageError(std::string error) {
  ParsedCli parsed;
  parsed.command = CliCommand::kUsageError;
  parsed.error = std::move(error);
  return parsed;
}

}  // namespace

std::string CliUsage() {
  return "usage: cuijian-cli [--site-base URL] [--dir DIR] INDEX_URL\n"
         "Downloads the book whose chapter index is at INDEX_URL into DIR/<book title>.txt\n"
         "  --site-base URL  scheme and host to which chapter links are joined\n"
         "  --dir DIR        folder for the book file (default: the current folder)\n"
         "  --help           show this text\n"
         "Exit status: 0 when the book is complete, 1 when the download failed, 2 for a usage "
         "error.\n";
}

ParsedCli ParseCliArgs(const std::vector<std::string_view>& args) {
  for (std::string_view arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") return ParsedCli{CliCommand::kHelp, {}, {}};
  }
  ParsedCli parsed;
  parsed.command = CliCommand::kRun;
  std::vector<std::string_view> positional;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    std::string_view name;
    std::optional<std::string_view> value;
    SplitOption(arg, name, value);
    if (name != "--site-base" && name != "--dir") {
      return UsageError("unknown option " + std::string(arg));
    }
    if (!value) {
      if (i + 1 == args.size()) return UsageError(std::string(name) + " needs a value");
      value = args[++i];
    }
    if (value->empty()) return UsageError(std::string(name) + " needs a value");
    if (name == "--site-base") {
      parsed.options.site_base = std::string(*value);
    } else {
      parsed.options.output_directory = std::string(*value);
    }
  }
  if (positional.size() != 1) {
    return UsageError(positional.empty() ? "INDEX_URL is missing" : "only one INDEX_URL is taken");
  }
  parsed.options.index_url = std::string(positional[0]);
  return parsed;
}

}  // namespace cuijian
