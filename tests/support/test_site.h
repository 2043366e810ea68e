#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace cuijian::testing {

/// An HTTP server on 127.0.0.1 at an ephemeral port, owned by a test, serving fixed pages from a
/// table that the test fills. Runs on its own thread from construction to destruction.
class TestSite {
 public:
  TestSite();
  ~TestSite();
  TestSite(const TestSite&) = delete;
  TestSite& operator=(const TestSite&) = delete;

  /// "http://127.0.0.1:PORT", no trailing slash.
  std::string base_url() const;
  int port() const { return port_; }

  /// Serves `body` (sent as is, UTF-8 pages) at `path` with `status`. Thread-safe.
  void Serve(const std::string& path, std::string body, int status = 200);

  /// How many requests reached `path` so far. Thread-safe.
  int RequestCount(const std::string& path) const;

  /// The underlying server, to add handlers of a test's own before requests are made.
  httplib::Server& server() { return *server_; }

 private:
  struct Page {
    std::string body;
    int status = 200;
  };
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::map<std::string, Page> pages_;
  std::map<std::string, int> counts_;
};

/// A chapter-index page as the site serves it (UTF-8, "\r\n" line ends): `title` between "<h1>"
/// and "</h1>", then a "<dl>" list with one "<dd> <a " entry per link, an empty link giving an
/// entry without href. The list splits into links.size() + 1 pieces (the line end before the
/// first entry is piece 1), so entry i is piece i + 1 and the book begins with entry 13.
std::string BookIndexPage(const std::string& title, const std::vector<std::string>& links);

/// A chapter page as the site serves it: `title` between "<h1>" and "</h1>", `body` between the
/// "<script>readx();</script>" and "<script>chaptererror();</script>" lines.
std::string ChapterPage(const std::string& title, const std::string& body);

}  // namespace cuijian::testing
