#include "app/main_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <utility>

#include "app/link_box.h"
#include "app/mnemonic_label.h"
#include "app/ui_thread_call.h"
#include "app/window_placement.h"
#include "engine/book_file.h"
#include "engine/code_page.h"
#include "engine/site_base_url.h"

namespace cuijian {
namespace {

QString ToQString(const Text& text) { return QString::fromStdString(Cp936ToUtf8(text)); }

}  // namespace

MainWindow::MainWindow(WindowOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      site_base_url_(options.site_base_url.empty() ? SiteBaseUrl()
                                                   : std::move(options.site_base_url)),
      output_directory_(options.output_directory.empty() ? RunDirectory()
                                                         : std::move(options.output_directory)),
      job_runner_(std::move(options.job_runner)) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QStringLiteral("翠简小说下载器"));
  setWindowIcon(QIcon(QStringLiteral(":/cuijian/cuijian_icon.png")));
  // The controls inherit the window's font and palette, so setting them here covers all five.
  setFont(QApplication::font());
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);
  // Until the frame is known (after showing) the client area takes the whole outer size, and it
  // stays so where no frame appears (X without a window manager). FitOuterSize takes the frame
  // off once it is known: a 2-pixel border on Qt's offscreen platform, title and border under a
  // window manager.
  setFixedSize(kMainWindowOuterSize);

  url_edit_ = new QLineEdit(ToQString(site_base_url_ + "/43_43821/"), this);
  url_edit_->setObjectName(QStringLiteral("编辑框1"));
  url_edit_->setGeometry(64, 16, 216, 24);

  download_button_ = new QPushButton(QStringLiteral("下载"), this);
  download_button_->setObjectName(QStringLiteral("按钮1"));
  download_button_->setGeometry(296, 16, 56, 24);
  // Enter must not click it: it is no default button, not even while it has the focus.
  download_button_->setAutoDefault(false);
  download_button_->setDefault(false);
  connect(download_button_, &QPushButton::clicked, this, [this] { StartJob(); });

  caption_label_ = new MnemonicLabel(QStringLiteral("小说网址"), this);
  caption_label_->setObjectName(QStringLiteral("标签1"));
  caption_label_->setGeometry(7, 20, 48, 16);

  status_label_ = new MnemonicLabel(QString(), this);
  status_label_->setObjectName(QStringLiteral("标签2"));
  status_label_->setGeometry(12, 63, 340, 24);

  link_box_ = new LinkBox(QStringLiteral("翠简官网"), ToQString(site_base_url_), this);
  link_box_->setObjectName(QStringLiteral("超级链接框1"));
  link_box_->setGeometry(64, 112, 96, 24);

  setTabOrder(url_edit_, download_button_);
  url_edit_->installEventFilter(this);
  download_button_->installEventFilter(this);
  url_edit_->setFocus();
}

void MainWindow::ShowCentred() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) move(CentredTopLeft(screen->geometry(), kMainWindowOuterSize));
  show();
  FitOuterSize();
  url_edit_->setFocus();
}

void MainWindow::FitOuterSize() {
  if (!isWindow() || !isVisible()) return;
  const QRect frame = frameGeometry();
  const QRect client = geometry();
  const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                         frame.right() - client.right(), frame.bottom() - client.bottom());
  const QSize wanted = ClientSizeForOuter(kMainWindowOuterSize, margins);
  if (size() != wanted) setFixedSize(wanted);
}

Text MainWindow::ReadBookUrl() const { return Utf8ToCp936(url_edit_->text().toStdString()); }

void MainWindow::ShowStatus(const Text& text) { status_label_->setText(ToQString(text)); }

BookJob MainWindow::MakeJob() {
  BookJob job;
  // A job may outlive the window (tests destroy theirs); the guarded pointer is read only on the
  // UI thread, where the window is destroyed, so the check cannot race the destruction.
  QPointer<MainWindow> self(this);
  job.ReadBookUrl = [self] {
    Text url;
    RunOnUiThread([&] {
      if (self) url = self->ReadBookUrl();
    });
    return url;
  };
  job.ShowStatus = [self](const Text& text) {
    RunOnUiThread([&] {
      if (self) self->ShowStatus(text);
    });
  };
  job.site_base_url = site_base_url_;
  job.output_directory = output_directory_;
  return job;
}

bool MainWindow::StartJob() { return StartJobThread(MakeJob(), job_runner_); }

bool MainWindow::HandleWindowKey(const QKeyEvent& key) {
  // The keys count alone; the keypad's Enter carries the keypad flag and is still Enter.
  if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  switch (key.key()) {
    case Qt::Key_Escape:
      close();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return true;
    default:
      return false;
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && HandleWindowKey(*static_cast<QKeyEvent*>(event))) {
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool MainWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (HandleWindowKey(*static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::Show:
    case QEvent::Move:
      // A window manager reports the frame only some time after the window appears.
      FitOuterSize();
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

}  // namespace cuijian
