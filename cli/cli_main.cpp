#include <unistd.h>

#include <iostream>
#include <string_view>
#include <vector>

#include "cli/cli_args.h"
#include "cli/run_download.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const cuijian::ParsedCli parsed = cuijian::ParseCliArgs(args);
  switch (parsed.command) {
    case cuijian::CliCommand::kHelp:
      std::cout << cuijian::CliUsage();
      return 0;
    case cuijian::CliCommand::kUsageError:
      std::cerr << "cuijian-cli: " << parsed.error << '\n' << cuijian::CliUsage();
      return 2;
    case cuijian::CliCommand::kRun:
      break;
  }
  return cuijian::RunDownload(parsed.options, std::cout, isatty(STDOUT_FILENO) == 1);
}
