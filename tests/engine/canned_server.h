#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace cuijian::testing {

/// One accepted connection of a CannedServer, handed to the test's handler on its own thread.
class CannedConnection {
 public:
  CannedConnection(int fd, std::string request, class CannedServer* server)
      : fd_(fd), request_(std::move(request)), server_(server) {}

  /// The request bytes as received, up to and including the blank line that ends the headers.
  const std::string& request() const { return request_; }
  /// Sends all of `bytes`; false when the peer is gone.
  bool Send(std::string_view bytes);
  /// Resets the connection (RST) instead of closing it in order when the handler returns.
  void ResetOnClose() { reset_ = true; }
  /// Blocks until the server is being destroyed: a server that never answers.
  void WaitForShutdown();

  int fd() const { return fd_; }
  bool reset() const { return reset_; }

 private:
  int fd_;
  std::string request_;
  CannedServer* server_;
  bool reset_ = false;
};

/// A raw HTTP server on 127.0.0.1 at an ephemeral port that records each request byte for byte
/// and lets the test's handler write whatever it likes, break off, or stay silent. Each
/// connection runs on a thread of its own; all are joined on destruction.
class CannedServer {
 public:
  using Handler = std::function<void(CannedConnection&)>;

  explicit CannedServer(Handler handler);
  ~CannedServer();
  CannedServer(const CannedServer&) = delete;
  CannedServer& operator=(const CannedServer&) = delete;

  int port() const { return port_; }
  /// "http://127.0.0.1:PORT", no trailing slash.
  std::string base_url() const;
  /// Connections accepted so far.
  int connection_count() const { return connections_.load(); }
  /// The requests received so far, in order of arrival.
  std::vector<std::string> requests() const;

 private:
  friend class CannedConnection;
  void AcceptLoop();
  void Serve(int fd);

  Handler handler_;
  int listen_fd_ = -1;
  int wake_pipe_[2] = {-1, -1};
  int port_ = 0;
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::condition_variable shutdown_cv_;
  bool shutting_down_ = false;
  std::vector<std::string> requests_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

/// A loopback port on which nothing listens (bound once, then released).
int UnusedPort();

}  // namespace cuijian::testing
