#include "tests/engine/canned_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>

namespace cuijian::testing {
namespace {

int ListenOnLoopback(int* port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(fd, 64) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

}  // namespace

bool CannedConnection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

void CannedConnection::WaitForShutdown() {
  std::unique_lock lock(server_->mutex_);
  server_->shutdown_cv_.wait(lock, [this] { return server_->shutting_down_; });
}

CannedServer::CannedServer(Handler handler) : handler_(std::move(handler)) {
  listen_fd_ = ListenOnLoopback(&port_);
  if (::pipe2(wake_pipe_, O_CLOEXEC) != 0) wake_pipe_[0] = wake_pipe_[1] = -1;
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

CannedServer::~CannedServer() {
  {
    std::lock_guard lock(mutex_);
    shutting_down_ = true;
  }
  shutdown_cv_.notify_all();
  if (wake_pipe_[1] >= 0) static_cast<void>(::write(wake_pipe_[1], "x", 1));
  acceptor_.join();
  for (std::thread& worker : workers_) worker.join();
  for (const int fd : {listen_fd_, wake_pipe_[0], wake_pipe_[1]}) {
    if (fd >= 0) ::close(fd);
  }
}

std::string CannedServer::base_url() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> CannedServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void CannedServer::AcceptLoop() {
  if (listen_fd_ < 0 || wake_pipe_[0] < 0) return;
  for (;;) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) return;
    if (fds[1].revents != 0) return;
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    workers_.emplace_back([this, fd] { Serve(fd); });
  }
}

void CannedServer::Serve(int fd) {
  // Reads until the blank line that ends the headers; a GET has no body.
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    pollfd readable = {fd, POLLIN, 0};
    if (::poll(&readable, 1, 5000) <= 0) break;
    const ssize_t got = ::recv(fd, buffer, sizeof(buffer), 0);
    if (got <= 0) break;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  CannedConnection connection(fd, request, this);
  handler_(connection);
  if (connection.reset()) {
    const linger abortive = {1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof(abortive));
  }
  ::close(fd);
}

int UnusedPort() {
  int port = 0;
  const int fd = ListenOnLoopback(&port);
  if (fd >= 0) ::close(fd);
  return port;
}

}  // namespace cuijian::testing
