#pragma once

// A raw TCP server on 127.0.0.1 for the network fault tests: each accepted connection runs a
// handler of the test's own on its own thread, so a test can misbehave at the byte level (drop a
// connection, stay silent, trickle, stream without end) in ways an HTTP library will not.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace cuijian::testing {

/// Tells a connection handler that the server is shutting down.
class StopFlag {
 public:
  bool stopping() const { return stopping_.load(); }
  void Stop() { stopping_.store(true); }

  /// Sleeps for `duration` in short steps; false as soon as the server stops.
  bool SleepFor(std::chrono::milliseconds duration) const {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
      if (stopping()) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return !stopping();
  }

 private:
  std::atomic<bool> stopping_{false};
};

/// Sends all of `bytes`; false when the peer is gone (no SIGPIPE: the test process must live on).
inline bool SendAll(int socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

/// Reads up to the blank line that ends a request's head; the head, or empty when the peer closed
/// first or the server stops.
inline std::string ReadRequestHead(int socket, const StopFlag& stop) {
  std::string head;
  char buffer[1024];
  while (head.find("\r\n\r\n") == std::string::npos) {
    pollfd ready{socket, POLLIN, 0};
    if (::poll(&ready, 1, 20) == 0) {
      if (stop.stopping()) return {};
      continue;
    }
    const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
    if (got <= 0) return {};
    head.append(buffer, static_cast<std::size_t>(got));
  }
  return head;
}

/// Waits until the peer closes the connection or the server stops.
inline void WaitForPeerClose(int socket, const StopFlag& stop) {
  char buffer[256];
  while (!stop.stopping()) {
    pollfd ready{socket, POLLIN, 0};
    if (::poll(&ready, 1, 20) > 0 && ::recv(socket, buffer, sizeof buffer, 0) <= 0) return;
  }
}

/// The path of a request head's request line ("GET /a?b HTTP/1.0" gives "/a?b").
inline std::string RequestPath(std::string_view head) {
  const std::size_t from = head.find(' ');
  const std::size_t to = head.find(' ', from + 1);
  if (from == std::string_view::npos || to == std::string_view::npos) return {};
  return std::string(head.substr(from + 1, to - from - 1));
}

/// A listening socket on 127.0.0.1 at an ephemeral port that hands each connection to `handler`
/// on a thread of its own; the handler owns nothing, the server closes the socket after it.
class LoopbackServer {
 public:
  using Handler = std::function<void(int socket, const StopFlag& stop)>;

  explicit LoopbackServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;  // port() stays 0 and the test fails on it
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
  }

  ~LoopbackServer() {
    stop_.Stop();
    if (acceptor_.joinable()) acceptor_.join();
    {
      // Wake handlers blocked in a read or write; they see the stop flag and return.
      std::lock_guard lock(mutex_);
      for (int socket : sockets_) ::shutdown(socket, SHUT_RDWR);
    }
    for (std::thread& worker : workers_) worker.join();
    for (int socket : sockets_) ::close(socket);
    ::close(listener_);
  }

  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  /// "http://127.0.0.1:PORT" followed by `path`.
  std::string Url(std::string_view path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }
  /// Connections accepted so far.
  int connections() const { return connections_.load(); }

 private:
  void AcceptLoop() {
    while (!stop_.stopping()) {
      pollfd ready{listener_, POLLIN, 0};
      if (::poll(&ready, 1, 20) <= 0) continue;
      const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (socket < 0) continue;
      ++connections_;
      std::lock_guard lock(mutex_);
      sockets_.push_back(socket);
      workers_.emplace_back([this, socket] {
        handler_(socket, stop_);
        ::shutdown(socket, SHUT_RDWR);
      });
    }
  }

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  StopFlag stop_;
  std::atomic<int> connections_{0};
  std::thread acceptor_;
  std::mutex mutex_;
  std::vector<int> sockets_;
  std::vector<std::thread> workers_;
};

}  // namespace cuijian::testing
