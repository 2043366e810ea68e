#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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

}  // namespace cuijian::testing
