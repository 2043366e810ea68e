#include "cli/run_download.h"

#include "engine/code_page.h"
#include "engine/download_book.h"
#include "engine/site_base_url.h"

namespace cuijian {
namespace {

// Moves to the start of the line and clears it, so the next progress line replaces the last.
constexpr const char* kRedrawLine = "\r\x1B[K";

}  // namespace

int RunDownload(const CliOptions& options, std::ostream& out, bool out_is_terminal) {
  // The job works in code page 936 like the site's pages; the terminal speaks UTF-8.
  const Text index_url = Utf8ToCp936(options.index_url);
  BookJob job;
  job.ReadBookUrl = [&index_url] { return index_url; };
  job.ShowStatus = [&out, out_is_terminal](const Text& line) {
    if (out_is_terminal) {
      out << kRedrawLine << Cp936ToUtf8(line) << std::flush;
    } else {
      out << Cp936ToUtf8(line) << '\n' << std::flush;
    }
  };
  job.site_base_url = options.site_base ? Utf8ToCp936(*options.site_base) : SiteBaseUrl();
  job.output_directory = options.output_directory;
  const BookOutcome outcome = DownloadBook(job);
  if (out_is_terminal) out << '\n' << std::flush;
  return outcome == BookOutcome::kComplete ? 0 : 1;
}

}  // namespace cuijian
