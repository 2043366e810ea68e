#include "tests/support/test_site.h"

#include <httplib.h>

#include <chrono>

namespace cuijian::testing {

TestSite::TestSite() : server_(std::make_unique<httplib::Server>()) {
  // Unknown paths fall through to this handler too, so a missing page is a counted 404.
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard lock(mutex_);
    ++counts_[request.path];
    auto page = pages_.find(request.path);
    if (page == pages_.end()) {
      response.status = 404;
      response.set_content("not found", "text/plain");
      return;
    }
    response.status = page->second.status;
    response.set_content(page->second.body, "text/html; charset=utf-8");
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  // The socket already listens after the bind, so requests made before the loop starts wait
  // in the backlog.
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  // A stop() before the accept loop runs would be lost and the destructor's join would hang.
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestSite::~TestSite() {
  server_->stop();
  thread_.join();
}

std::string TestSite::base_url() const { return "http://127.0.0.1:" + std::to_string(port_); }

void TestSite::Serve(const std::string& path, std::string body, int status) {
  std::lock_guard lock(mutex_);
  pages_[path] = Page{std::move(body), status};
}

int TestSite::RequestCount(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto count = counts_.find(path);
  return count == counts_.end() ? 0 : count->second;
}

std::string BookIndexPage(const std::string& title, const std::vector<std::string>& links) {
  std::string page = "<html>\r\n<body>\r\n<h1>" + title + "</h1>\r\n<div id=\"list\">\r\n<dl>\r\n";
  int number = 0;
  for (const std::string& link : links) {
    ++number;
    std::string name = "entry " + std::to_string(number);
    if (link.empty()) {
      page += "<dd> <a name=\"n" + std::to_string(number) + "\">" + name + "</a></dd>\r\n";
    } else {
      page += "<dd> <a href=\"" + link + "\">" + name + "</a></dd>\r\n";
    }
  }
  page += "</dl>\r\n</div>\r\n</body>\r\n</html>\r\n";
  return page;
}

std::string ChapterPage(const std::string& title, const std::string& body) {
  return "<html>\r\n<body>\r\n<div class=\"bookname\"><h1>" + title +
         "</h1></div>\r\n<div id=\"content\"><script>readx();</script>\r\n" + body +
         "<script>chaptererror();</script>\r\n</div>\r\n</body>\r\n</html>\r\n";
}

}  // namespace cuijian::testing
