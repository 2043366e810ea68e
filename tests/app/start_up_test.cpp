#include "app/start_up.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "engine/book_file.h"
#include "tests/app/app_test_support.h"

namespace cuijian {
namespace {

TEST(EnterProgramDirectory, MakesTheProgramsFolderCurrent) {
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));
  EXPECT_TRUE(EnterProgramDirectory());
  EXPECT_EQ(QDir::currentPath(), QDir(QString::fromStdString(RunDirectory())).absolutePath());
  QDir::setCurrent(before);
}

TEST(EndProcessDeathTest, FlushesOutputAndEndsAtOnceWhileThreadsRun) {
  EXPECT_EXIT(
      {
        static char buffer[4096];
        std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
        std::fputs("still buffered", stderr);
        std::thread([] {
          for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }).detach();
        EndProcess(3);
      },
      ::testing::ExitedWithCode(3), "still buffered");
}

// Presses Esc in the active window as soon as `ready` says so.
void PressEscWhen(std::function<bool()> ready) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, ready = std::move(ready)] {
    QWidget* window = QApplication::activeWindow();
    if (window == nullptr || !ready()) return;
    timer->stop();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  });
  timer->start(20);
}

TEST(RunMainWindowDeathTest, ClosingTheWindowEndsTheProgramWithCodeZero) {
  EXPECT_EXIT(
      {
        PressEscWhen([] {
          // The window opens with the focus in its address box.
          return qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr;
        });
        EndProcess(RunMainWindow());
      },
      ::testing::ExitedWithCode(0), "");
}

// A book whose second handled chapter never arrives; the program is closed while its job waits.
TEST(RunMainWindowDeathTest, ClosingWhileAJobRunsEndsWithCodeZeroAndKeepsTheRecordsWritten) {
  // The parent makes the folder; the child, started afresh for the death test, finds it in the
  // environment and writes there.
  static std::unique_ptr<QTemporaryDir> folder;
  if (std::getenv("CUIJIAN_APP_TEST_FOLDER") == nullptr) {
    folder = std::make_unique<QTemporaryDir>();
    setenv("CUIJIAN_APP_TEST_FOLDER", folder->path().toLocal8Bit().constData(), 1);
  }
  const std::string output = std::getenv("CUIJIAN_APP_TEST_FOLDER");
  EXPECT_EXIT(
      {
        static testing::TestSite site;
        static std::atomic<bool> stalled{false};
        site.server().set_pre_routing_handler(
            [](const httplib::Request& request, httplib::Response&) {
              if (request.path != "/slow/14.html")
                return httplib::Server::HandlerResponse::Unhandled;
              stalled = true;
              std::this_thread::sleep_for(std::chrono::minutes(1));
              return httplib::Server::HandlerResponse::Handled;
            });
        const std::string index = testing::ServeBook(site, "Slow", "/slow");
        WindowOptions options;
        options.site_base_url = site.base_url();
        options.output_directory = output;
        // Never deleted, as in the program: the job may still call into it.
        auto* window = new MainWindow(options);
        window->ShowCentred();
        window->urlEdit()->setText(QString::fromStdString(index));
        window->downloadButton()->click();
        PressEscWhen([] { return stalled.load(); });
        EndProcess(QApplication::exec());
      },
      ::testing::ExitedWithCode(0), "");
  QFile book(QDir(QString::fromStdString(output)).filePath(QStringLiteral("Slow.txt")));
  ASSERT_TRUE(book.open(QIODevice::ReadOnly));
  const QByteArray written = book.readAll();
  EXPECT_TRUE(written.startsWith("Chapter 13\r\n")) << written.toStdString();
  EXPECT_FALSE(written.contains("Chapter 14"));
}

}  // namespace
}  // namespace cuijian
