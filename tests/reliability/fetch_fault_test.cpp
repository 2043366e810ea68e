// The real fetch against loopback servers that break the rules of HTTP on purpose: every fetch
// must end, within a bound set by its limits, with the outcome that tells the job what happened.
// The fetch's own suite covers the silent server, the unanswered connect and the redirect loop;
// these are the faults it leaves out.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "engine/fetch_page.h"
#include "tests/reliability/loopback_server.h"

namespace cuijian {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;
using testing::LoopbackServer;
using testing::StopFlag;

// Small limits, so that a dead fetch ends in about a second.
FetchLimits QuickLimits() {
  FetchLimits limits;
  limits.connect_timeout = milliseconds(500);
  limits.stall_time = seconds(1);
  return limits;
}

std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct TimedFetch {
  FetchedPage page;
  double seconds = 0;
};

TimedFetch TimeFetch(const std::string& url, const FetchLimits& limits) {
  const auto start = steady_clock::now();
  TimedFetch result;
  result.page = FetchPageWithOutcome(url, limits);
  result.seconds = std::chrono::duration<double>(steady_clock::now() - start).count();
  return result;
}

// The longest any fault below may hold a fetch with QuickLimits: generous against a slow,
// sanitized build, yet far below what an unbounded fetch would take.
constexpr double kBoundSeconds = 20;

TEST(FetchFaults, BodyThatBreaksOffGivesThePartReceived) {
  const std::string part(3000, 'x');
  struct Case {
    const char* name;
    std::string response;  // sent, then the connection is closed
  };
  const Case cases[] = {
      {"content length promises more",
       "HTTP/1.1 200 OK\r\nContent-Length: 10000\r\nConnection: close\r\n\r\n" + part},
      {"chunk cut short",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
       "bb8\r\n" +
           part + "\r\n2710\r\n" + part},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server([&c](int socket, const StopFlag& stop) {
      if (!testing::ReadRequestHead(socket, stop).empty()) testing::SendAll(socket, c.response);
    });
    const TimedFetch fetch = TimeFetch(server.Url("/chapter.html"), QuickLimits());
    EXPECT_EQ(fetch.page.outcome, FetchOutcome::kBrokenOff);
    // Both cases delivered 3000 bytes of body before the break; the second one's second chunk
    // is cut as well, so anything between is acceptable as long as nothing is invented.
    const std::string body = AsString(fetch.page.body);
    EXPECT_GE(body.size(), part.size());
    EXPECT_EQ(body, std::string(body.size(), 'x'));
    EXPECT_LT(fetch.seconds, kBoundSeconds);
  }
}

TEST(FetchFaults, TrickleSlowerThanTheStallLimitEnds) {
  // Three bytes at once, then one byte every two seconds: under 1 byte/s, for 400 s if let be.
  LoopbackServer server([](int socket, const StopFlag& stop) {
    if (testing::ReadRequestHead(socket, stop).empty()) return;
    if (!testing::SendAll(socket, "HTTP/1.0 200 OK\r\nContent-Length: 200\r\n\r\nabc")) return;
    for (int i = 0; i < 197 && stop.SleepFor(milliseconds(2000)); ++i) {
      if (!testing::SendAll(socket, "d")) return;
    }
  });
  const TimedFetch fetch = TimeFetch(server.Url("/slow.html"), QuickLimits());
  EXPECT_EQ(fetch.page.outcome, FetchOutcome::kBrokenOff);
  const std::string body = AsString(fetch.page.body);
  ASSERT_GE(body.size(), 3u);
  EXPECT_EQ(body, "abc" + std::string(body.size() - 3, 'd'));
  EXPECT_LT(fetch.seconds, kBoundSeconds);
}

// Starts the peak resident set anew from the current one, so that each case measures its own.
void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The peak resident set of this process since the last reset, in bytes; 0 when unknown.
long long PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
  }
  return 0;
}

// Sanitizers keep freed memory in quarantine and add shadow memory, so the resident set says
// nothing about what the fetch holds there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kResidentSetIsMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kResidentSetIsMeaningful = false;
#else
constexpr bool kResidentSetIsMeaningful = true;
#endif
#else
constexpr bool kResidentSetIsMeaningful = true;
#endif

TEST(FetchFaults, HundredMegabyteBodyHitsTheMemoryGuard) {
  constexpr long long kBodyBytes = 100LL << 20;
  // Streamed from one 64 KiB block, so the test itself never holds the body.
  const std::string block(64 << 10, 'z');
  struct Case {
    const char* name;
    bool announce_length;
  };
  for (const Case c : {Case{"with content length", true}, Case{"chunked", false}}) {
    SCOPED_TRACE(c.name);
    LoopbackServer server([&](int socket, const StopFlag& stop) {
      if (testing::ReadRequestHead(socket, stop).empty()) return;
      const std::string head =
          c.announce_length
              ? "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(kBodyBytes) + "\r\n\r\n"
              : "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
      if (!testing::SendAll(socket, head)) return;
      char chunk_head[32];
      std::snprintf(chunk_head, sizeof chunk_head, "%zx\r\n", block.size());
      for (long long sent = 0; sent < kBodyBytes && !stop.stopping(); sent += block.size()) {
        if (!c.announce_length && !testing::SendAll(socket, chunk_head)) return;
        if (!testing::SendAll(socket, block)) return;
        if (!c.announce_length && !testing::SendAll(socket, "\r\n")) return;
      }
      if (!c.announce_length) testing::SendAll(socket, "0\r\n\r\n");
    });
    ResetPeakResident();
    const long long peak_before = PeakResidentBytes();
    const FetchedPage page = FetchPageWithOutcome(server.Url("/huge.html"));  // default limits
    const long long peak_after = PeakResidentBytes();

    EXPECT_EQ(page.outcome, FetchOutcome::kTooLarge);
    EXPECT_TRUE(page.body.empty());
    ::testing::Test::RecordProperty(
        std::string("peak_growth_bytes_") + (c.announce_length ? "length" : "chunked"),
        std::to_string(peak_after - peak_before));
    if (kResidentSetIsMeaningful) {
      EXPECT_LT(peak_after - peak_before, kBodyBytes)
          << "the fetch of a body past the " << (kMaxBodyBytes >> 20)
          << " MiB guard grew the process by " << (peak_after - peak_before) << " bytes";
    }
  }
}

TEST(FetchFaults, SelfSignedCertificateIsRefused) {
  const std::string data = CUIJIAN_RELIABILITY_DATA;
  httplib::SSLServer server((data + "/self_signed_cert.pem").c_str(),
                            (data + "/self_signed_key.pem").c_str());
  ASSERT_TRUE(server.is_valid());
  int requests = 0;
  server.Get(".*", [&requests](const httplib::Request&, httplib::Response& response) {
    ++requests;
    response.set_content("<h1>forged</h1>", "text/html");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread loop([&server] { server.listen_after_bind(); });
  // A stop that came before the loop runs would be lost, and the join would wait for ever.
  while (!server.is_running()) std::this_thread::sleep_for(milliseconds(1));

  const TimedFetch fetch =
      TimeFetch("https://127.0.0.1:" + std::to_string(port) + "/book/", QuickLimits());
  server.stop();
  loop.join();

  EXPECT_EQ(fetch.page.outcome, FetchOutcome::kNoResponse);
  EXPECT_TRUE(fetch.page.body.empty());
  EXPECT_EQ(requests, 0) << "the request went out over an unverified connection";
  EXPECT_LT(fetch.seconds, kBoundSeconds);
}

}  // namespace
}  // namespace cuijian
