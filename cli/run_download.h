#pragma once

#include <ostream>

#include "cli/cli_args.h"

namespace cuijian {

/// Runs one download as `options` say and writes every status line to `out` in UTF-8, one per
/// line; on a terminal the progress lines are redrawn in place and the last line stays.
/// Returns the exit status: 0 when the book is complete, 1 after any failure.
int RunDownload(const CliOptions& options, std::ostream& out, bool out_is_terminal);

}  // namespace cuijian
