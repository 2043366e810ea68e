#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <memory>
#include <thread>

#include "app/link_box.h"
#include "app/mnemonic_label.h"
#include "engine/code_page.h"
#include "engine/site_base_url.h"
#include "tests/app/app_test_support.h"

namespace cuijian {
namespace {

const QString kDone = QStringLiteral("=> 下载完成");

struct MainWindowTest : ::testing::Test {
  // A window whose jobs run `run` (DownloadBook when empty) and write into a folder of its own.
  std::unique_ptr<MainWindow> Make(JobRunner run = {}, Text base = {}) {
    WindowOptions options;
    options.site_base_url = std::move(base);
    options.output_directory = folder.path().toStdString();
    options.job_runner = std::move(run);
    return std::make_unique<MainWindow>(std::move(options));
  }
  // Shows the window and waits until it has the keyboard.
  static void Show(MainWindow& window) {
    window.ShowCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  QByteArray BookFile(const QString& name) const {
    QFile file(folder.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QTemporaryDir folder;
};

TEST_F(MainWindowTest, IsAFixedTitledWindowCentredOnThePrimaryScreen) {
  auto window = Make();
  Show(*window);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("翠简小说下载器"));
  EXPECT_EQ(window->frameGeometry().size(), QSize(380, 174));
  // The client area is what the frame leaves of the outer size.
  EXPECT_TRUE(window->frameGeometry().contains(window->geometry()));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the size is fixed";
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window->frameGeometry().topLeft(),
            screen.topLeft() + QPoint((screen.width() - 380) / 2, (screen.height() - 174) / 2));
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_EQ(window->palette().color(QPalette::Window), window->palette().color(QPalette::Button));
}

TEST_F(MainWindowTest, HoldsTheFiveControlsAsLaidOut) {
  auto window = Make();
  Show(*window);
  struct Control {
    const char* name;
    const char* kind;
    QRect geometry;
    QString text;
    bool takes_focus;
  };
  const Control controls[] = {
      {"编辑框1",
       "QLineEdit",
       {64, 16, 216, 24},
       QString::fromStdString(SiteBaseUrl()) + QStringLiteral("/43_43821/"),
       true},
      {"按钮1", "QPushButton", {296, 16, 56, 24}, QStringLiteral("下载"), true},
      {"标签1", "cuijian::MnemonicLabel", {7, 20, 48, 16}, QStringLiteral("小说网址"), false},
      {"标签2", "cuijian::MnemonicLabel", {12, 63, 340, 24}, QString(), false},
      {"超级链接框1", "cuijian::LinkBox", {64, 112, 96, 24}, QStringLiteral("翠简官网"), false},
  };
  for (const Control& c : controls) {
    SCOPED_TRACE(c.name);
    auto* widget = window->findChild<QWidget*>(QString::fromUtf8(c.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), c.geometry);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_TRUE(widget->isEnabled());
    EXPECT_EQ(widget->font(), QApplication::font());
    EXPECT_EQ(widget->focusPolicy() != Qt::NoFocus, c.takes_focus);
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) text = edit->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) text = button->text();
    if (auto* label = qobject_cast<MnemonicLabel*>(widget)) text = label->text();
    if (auto* link = qobject_cast<LinkBox*>(widget)) text = link->shownText();
    EXPECT_EQ(text, c.text);
    EXPECT_TRUE(widget->inherits(c.kind)) << widget->metaObject()->className();
  }
  EXPECT_EQ(window->linkBox()->address(), QString::fromStdString(SiteBaseUrl()));
  EXPECT_FALSE(window->downloadButton()->autoDefault());
  EXPECT_FALSE(window->downloadButton()->isDefault());
}

TEST_F(MainWindowTest, TabAndShiftTabMoveTheFocusBetweenBoxAndButtonOnly) {
  auto window = Make();
  Show(*window);
  QWidget* edit = window->urlEdit();
  QWidget* button = window->downloadButton();
  EXPECT_EQ(QApplication::focusWidget(), edit) << "the address box has the focus at the start";
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QWidget* expected;
  } steps[] = {
      {Qt::Key_Tab, Qt::NoModifier, button},
      {Qt::Key_Tab, Qt::NoModifier, edit},
      {Qt::Key_Backtab, Qt::ShiftModifier, button},
      {Qt::Key_Backtab, Qt::ShiftModifier, edit},
  };
  for (const auto& step : steps) {
    QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
    EXPECT_EQ(QApplication::focusWidget(), step.expected);
  }
}

TEST_F(MainWindowTest, ReactivationGivesTheFocusBackToTheControlThatHadIt) {
  auto window = Make();
  Show(*window);
  window->downloadButton()->setFocus();
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), window->downloadButton());
}

TEST_F(MainWindowTest, EscClosesFromEitherControlEvenWhileAJobRuns) {
  std::atomic<bool> release{false};
  std::atomic<int> running{0};
  for (const bool on_button : {false, true}) {
    auto window = Make([&](const BookJob&) {
      ++running;
      while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      --running;
    });
    Show(*window);
    QTest::mouseClick(window->downloadButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return running.load() > 0; }, 5000));
    QWidget* target = on_button ? static_cast<QWidget*>(window->downloadButton())
                                : static_cast<QWidget*>(window->urlEdit());
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << (on_button ? "button" : "address box");
  }
  release = true;
  EXPECT_TRUE(QTest::qWaitFor([&] { return running.load() == 0; }, 5000));
}

TEST_F(MainWindowTest, EnterStartsNothingWhileSpaceAndClicksEachStartOneJob) {
  std::atomic<int> jobs{0};
  auto window = Make([&](const BookJob&) { ++jobs; });
  Show(*window);
  QTest::keyClick(window->urlEdit(), Qt::Key_Return);
  QTest::keyClick(window->urlEdit(), Qt::Key_Enter, Qt::KeypadModifier);
  window->downloadButton()->setFocus();
  QTest::keyClick(window->downloadButton(), Qt::Key_Return);
  QTest::qWait(100);
  EXPECT_EQ(jobs.load(), 0);
  EXPECT_EQ(QApplication::focusWidget(), window->downloadButton()) << "Enter moves no focus";
  QTest::keyClick(window->downloadButton(), Qt::Key_Space);
  QTest::mouseClick(window->downloadButton(), Qt::LeftButton);
  QTest::mouseClick(window->downloadButton(), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return jobs.load() == 3; }, 5000));
  EXPECT_TRUE(window->downloadButton()->isEnabled());
}

TEST_F(MainWindowTest, JobCallsReachTheWindowFromAnyThreadInCodePage936) {
  auto window = Make();
  const QString address = QStringLiteral("http://127.0.0.1:1/书/ ");
  window->urlEdit()->setText(address);
  BookJob job = window->MakeJob();
  Text url;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    url = job.ReadBookUrl();
    job.ShowStatus(Utf8ToCp936("进度 &1"));
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(url, Utf8ToCp936(address.toStdString())) << "untrimmed, converted";
  EXPECT_EQ(window->statusLabel()->text(), QStringLiteral("进度 &1"));
  // Called on the UI thread the same calls act directly.
  job.ShowStatus(Text());
  EXPECT_EQ(window->statusLabel()->text(), QString());
  EXPECT_EQ(job.ReadBookUrl(), url);
}

TEST_F(MainWindowTest, JobCallsDoNothingOnceTheWindowIsGone) {
  auto window = Make();
  BookJob job = window->MakeJob();
  window.reset();
  Text url = "unchanged";
  std::atomic<bool> done{false};
  std::thread worker([&] {
    url = job.ReadBookUrl();
    job.ShowStatus("ignored");
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(url, Text());
}

TEST_F(MainWindowTest, AClickDownloadsTheBookAndEndsWithTheCompletionLine) {
  testing::TestSite site;
  const std::string index = testing::ServeBook(site, "Title", "/a");
  auto window = Make({}, site.base_url());
  Show(*window);
  window->urlEdit()->setText(QString::fromStdString(index));
  QTest::mouseClick(window->downloadButton(), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return window->statusLabel()->text() == QStringLiteral("Title") + kDone; }, 20000))
      << window->statusLabel()->text().toStdString();
  const QByteArray book = BookFile(QStringLiteral("Title.txt"));
  EXPECT_TRUE(book.startsWith("Chapter 13\r\n")) << book.toStdString();
  EXPECT_TRUE(book.contains("Chapter 15\r\n"));
  EXPECT_FALSE(book.contains("Chapter 12"));
}

TEST_F(MainWindowTest, TwoClicksRunTwoJobsEachWithTheAddressOfItsClick) {
  testing::TestSite site;
  const std::string first = testing::ServeBook(site, "First", "/first");
  const std::string second = testing::ServeBook(site, "Second", "/second");
  std::atomic<int> finished{0};
  auto window = Make(
      [&](const BookJob& job) {
        DownloadBook(job);
        ++finished;
      },
      site.base_url());
  Show(*window);
  window->urlEdit()->setText(QString::fromStdString(first));
  QTest::mouseClick(window->downloadButton(), Qt::LeftButton);
  // The first job reads the box when its thread asks the UI thread; only then may it change.
  ASSERT_TRUE(QTest::qWaitFor([&] { return site.RequestCount("/first/index.html") == 1; }, 5000));
  window->urlEdit()->setText(QString::fromStdString(second));
  QTest::mouseClick(window->downloadButton(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return finished.load() == 2; }, 20000));
  QTest::qWait(10);
  EXPECT_TRUE(window->statusLabel()->text().endsWith(kDone));
  EXPECT_EQ(site.RequestCount("/first/index.html"), 1);
  EXPECT_EQ(site.RequestCount("/second/index.html"), 1);
  EXPECT_TRUE(BookFile(QStringLiteral("First.txt")).startsWith("Chapter 13\r\n"));
  EXPECT_TRUE(BookFile(QStringLiteral("Second.txt")).startsWith("Chapter 13\r\n"));
}

}  // namespace
}  // namespace cuijian
