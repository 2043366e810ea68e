// Whole download jobs over the real fetch, with one page served by a misbehaving server: the job
// must end, count the chapter as failed, say so in its last line, and keep every good record
// intact without ever writing the bad page's content as if it were good.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/download_book.h"
#include "engine/fetch_page.h"
#include "tests/reliability/book_site.h"
#include "tests/reliability/loopback_server.h"
#include "tests/reliability/temp_folder.h"
#include "tests/support/test_site.h"

namespace cuijian {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using testing::Book;
using testing::LoopbackServer;
using testing::StopFlag;

FetchLimits QuickLimits() {
  FetchLimits limits;
  limits.connect_timeout = milliseconds(500);
  limits.stall_time = seconds(1);
  limits.max_body_bytes = 256 << 10;  // a chapter page is a few KiB
  return limits;
}

// One misbehaving server; `url` is where the faulty page lies.
struct Fault {
  std::unique_ptr<LoopbackServer> raw;
  std::unique_ptr<httplib::SSLServer> tls;
  std::thread tls_loop;
  std::string url;

  Fault() = default;
  Fault(Fault&&) = default;
  ~Fault() {
    if (tls) {
      tls->stop();
      tls_loop.join();
    }
  }
};

using FaultMaker = std::function<Fault(const std::string& page)>;

Fault RawFault(LoopbackServer::Handler handler) {
  Fault fault;
  fault.raw = std::make_unique<LoopbackServer>(std::move(handler));
  fault.url = fault.raw->Url("/page.html");
  return fault;
}

// The page's first half, announced as whole, then the connection closes: the back body marker
// never arrives.
Fault DroppedMidBody(const std::string& page) {
  return RawFault([page](int socket, const StopFlag& stop) {
    if (testing::ReadRequestHead(socket, stop).empty()) return;
    testing::SendAll(socket, "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(page.size()) +
                                 "\r\n\r\n" + page.substr(0, page.size() / 2));
  });
}

Fault Silent(const std::string&) {
  return RawFault(
      [](int socket, const StopFlag& stop) { testing::WaitForPeerClose(socket, stop); });
}

// The page one byte every two seconds.
Fault Trickle(const std::string& page) {
  return RawFault([page](int socket, const StopFlag& stop) {
    if (testing::ReadRequestHead(socket, stop).empty()) return;
    if (!testing::SendAll(socket, "HTTP/1.0 200 OK\r\nContent-Length: " +
                                      std::to_string(page.size()) + "\r\n\r\n")) {
      return;
    }
    for (char byte : page) {
      if (!stop.SleepFor(milliseconds(2000)) || !testing::SendAll(socket, {&byte, 1})) return;
    }
  });
}

Fault RedirectLoop(const std::string&) {
  return RawFault([](int socket, const StopFlag& stop) {
    if (testing::ReadRequestHead(socket, stop).empty()) return;
    testing::SendAll(socket, "HTTP/1.0 302 Found\r\nLocation: /page.html\r\n\r\n");
  });
}

// The real page padded past the memory guard: a fetch that ignored the guard would still find
// both body markers in it.
Fault TooLarge(const std::string& page) {
  return RawFault([page](int socket, const StopFlag& stop) {
    if (testing::ReadRequestHead(socket, stop).empty()) return;
    const std::string padding(1 << 20, ' ');
    const std::string body = page + padding;
    testing::SendAll(socket, "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                                 "\r\n\r\n" + body);
  });
}

// The real page over TLS with a certificate that nobody vouches for.
Fault SelfSigned(const std::string& page) {
  const std::string data = CUIJIAN_RELIABILITY_DATA;
  Fault fault;
  fault.tls = std::make_unique<httplib::SSLServer>((data + "/self_signed_cert.pem").c_str(),
                                                   (data + "/self_signed_key.pem").c_str());
  fault.tls->Get(".*", [page](const httplib::Request&, httplib::Response& response) {
    response.set_content(page, "text/html; charset=utf-8");
  });
  const int port = fault.tls->bind_to_any_port("127.0.0.1");
  httplib::SSLServer* server = fault.tls.get();
  fault.tls_loop = std::thread([server] { server->listen_after_bind(); });
  // A stop that came before the loop runs would be lost, and the join would wait for ever.
  while (!server->is_running()) std::this_thread::sleep_for(milliseconds(1));
  fault.url = "https://127.0.0.1:" + std::to_string(port) + "/page.html";
  return fault;
}

struct FaultCase {
  const char* name;
  FaultMaker make;
  bool brings_part_of_the_page;
};

const FaultCase kFaults[] = {
    {"dropped mid-body", DroppedMidBody, true},
    {"silent", Silent, false},
    {"trickle", Trickle, true},
    {"redirect loop", RedirectLoop, false},
    {"too large", TooLarge, false},
    {"self-signed https", SelfSigned, false},
};

struct JobRun {
  BookOutcome outcome;
  std::vector<Text> lines;
};

// Runs one job for `book` on `site`; the page at `faulty_path` is fetched from `fault_url`
// instead, every fetch with the small limits.
JobRun RunJob(const Book& book, const testing::TestSite& site, const std::string& output,
              const std::string& faulty_path, const std::string& fault_url) {
  JobRun run;
  BookJob job;
  job.ReadBookUrl = [&] { return site.base_url() + book.index_path; };
  job.ShowStatus = [&run](const Text& line) { run.lines.push_back(line); };
  job.site_base_url = site.base_url();
  job.output_directory = output;
  job.retry_delay = milliseconds(10);
  job.fetch = [&](const Text& url) {
    const bool faulty =
        url.size() >= faulty_path.size() &&
        url.compare(url.size() - faulty_path.size(), faulty_path.size(), faulty_path) == 0;
    return FetchPageWithOutcome(faulty ? fault_url : url, QuickLimits());
  };
  run.outcome = DownloadBook(job);
  return run;
}

void ServeBook(testing::TestSite& site, const Book& book) {
  site.Serve(book.index_path, book.index_page);
  for (const testing::Chapter& chapter : book.chapters) site.Serve(chapter.path, chapter.page);
}

TEST(JobNetworkFaults, FaultyChapterFailsAloneAndGoodRecordsStay) {
  const Book book = testing::MakeBook("faulty", 5, 2);
  const testing::Chapter& bad = book.chapters[2];
  testing::TestSite site;
  ServeBook(site, book);
  for (const FaultCase& fault_case : kFaults) {
    SCOPED_TRACE(fault_case.name);
    testing::TempFolder output;
    ASSERT_FALSE(output.path().empty());
    const Fault fault = fault_case.make(bad.page);
    const JobRun run = RunJob(book, site, output.path().string(), bad.path, fault.url);

    EXPECT_EQ(run.outcome, BookOutcome::kChaptersFailed);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), testing::ChaptersFailedLine(book.title, 1));
    EXPECT_EQ(run.lines.size(), book.chapters.size() + 1) << "one line per chapter and the end";

    // The bad chapter leaves no record, or one without a body (with or without the title that
    // may have arrived); never its page's text.
    const std::string before = book.chapters[0].record + book.chapters[1].record;
    const std::string after = book.chapters[3].record + book.chapters[4].record;
    const std::string file = testing::ReadWholeFile(output.path() / "faulty.txt");
    EXPECT_TRUE(file == before + after || file == before + bad.title + "\r\n" + after ||
                file == before + "\r\n" + after)
        << "book file of " << file.size() << " bytes:\n"
        << file;
  }
}

TEST(JobNetworkFaults, FaultyIndexStopsBeforeAnyFile) {
  const Book book = testing::MakeBook("lost", 3, 1);
  testing::TestSite site;
  ServeBook(site, book);
  for (const FaultCase& fault_case : kFaults) {
    // Part of an index page is still an index page; the other faults bring none.
    if (fault_case.brings_part_of_the_page) continue;
    SCOPED_TRACE(fault_case.name);
    testing::TempFolder output;
    const Fault fault = fault_case.make(book.index_page);
    const JobRun run = RunJob(book, site, output.path().string(), book.index_path, fault.url);

    EXPECT_EQ(run.outcome, BookOutcome::kIndexMissing);
    EXPECT_EQ(run.lines, std::vector<Text>{std::string(testing::kIndexMissingLine)});
    EXPECT_TRUE(output.Names().empty());
    EXPECT_EQ(site.RequestCount(book.chapters[0].path), 0);
  }
}

}  // namespace
}  // namespace cuijian
