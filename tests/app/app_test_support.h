#pragma once
// Helpers shared by the app suite: a loopback book site, image probes and modal-box dismissal.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <string>

#include "tests/support/test_site.h"

namespace cuijian::testing {

/// The index page of a book with `links` chapter links to `prefix`/N.html, in the site's markup.
inline std::string IndexPage(const std::string& title, const std::string& prefix, int links) {
  std::string page = "<html><body>\r\n<h1>" + title + "</h1>\r\n<dl>\r\n";
  for (int n = 1; n <= links; ++n) {
    page += "<dd> <a href=\"" + prefix + "/" + std::to_string(n) + ".html\">Chapter " +
            std::to_string(n) + "</a></dd>\r\n";
  }
  return page + "</dl>\r\n</body></html>\r\n";
}

/// A chapter page with its title and body between the site's markers.
inline std::string ChapterPage(const std::string& title, const std::string& body) {
  return "<html><body><h1>" + title + "</h1>\r\n<div><script>readx();</script>\r\n" + body +
         "<script>chaptererror();</script>\r\n</div></body></html>\r\n";
}

/// Serves a book at `prefix`/index.html with 15 chapter links (the job handles links 13 to 15,
/// pieces 14 to 16 of the list); returns the index address.
inline std::string ServeBook(TestSite& site, const std::string& title, const std::string& prefix) {
  constexpr int kLinks = 15;
  site.Serve(prefix + "/index.html", IndexPage(title, prefix, kLinks));
  for (int n = 1; n <= kLinks; ++n) {
    site.Serve(prefix + "/" + std::to_string(n) + ".html",
               ChapterPage("Chapter " + std::to_string(n), "text " + std::to_string(n) + "<br/>"));
  }
  return site.base_url() + prefix + "/index.html";
}

/// Pixels darker than mid-grey: the ink of black text.
inline bool IsInk(QRgb pixel) { return qGray(pixel) < 128; }

/// Closes every modal box as it appears, after telling stderr its text ("box: ..."), so that a
/// death test can tell the box was shown.
inline void DismissModalBoxes() {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "box: %s\n", box->text().toUtf8().constData());
      box->close();
    }
  });
  timer->start(20);
}

}  // namespace cuijian::testing
