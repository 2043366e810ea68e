#pragma once

#include <QWidget>
#include <string>

#include "app/job_thread.h"
#include "engine/download_book.h"
#include "text/text_types.h"

class QLineEdit;
class QPushButton;

namespace cuijian {

class LinkBox;
class MnemonicLabel;

/// Where the jobs of a window fetch from and write to.
struct WindowOptions {
  /// Scheme and host of the novel site; empty means SiteBaseUrl().
  Text site_base_url;
  /// Folder of the book files; empty means RunDirectory().
  std::string output_directory;
  /// What a job thread runs; empty means DownloadBook.
  JobRunner job_runner;
};

/// The program's only window: the address box, the Download button, the caption, the status
/// line and the link to the site. Each click on the button starts a download job on a thread of
/// its own. All members are for the UI thread unless said otherwise.
class MainWindow : public QWidget {
 public:
  explicit MainWindow(WindowOptions options = {}, QWidget* parent = nullptr);

  /// Shows the window centred on the primary screen with an outer size of 380 x 174 and the
  /// focus in the address box.
  void ShowCentred();

  /// The address box's text as the user sees it, in code page 936, untrimmed.
  Text ReadBookUrl() const;
  /// Makes `text` (code page 936) the status line; an empty text empties it.
  void ShowStatus(const Text& text);

  /// A job bound to this window: its ReadBookUrl and ShowStatus may be called from any thread,
  /// wait until the UI thread has served them, and do nothing (empty text) once the window is
  /// gone.
  BookJob MakeJob();
  /// Starts one download job on a new thread; false, with nothing reported, when no thread can
  /// be made. Never waits for a job.
  bool StartJob();

  QLineEdit* urlEdit() const { return url_edit_; }
  QPushButton* downloadButton() const { return download_button_; }
  MnemonicLabel* captionLabel() const { return caption_label_; }
  MnemonicLabel* statusLabel() const { return status_label_; }
  LinkBox* linkBox() const { return link_box_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  /// Handles the window's own keys before the focused control sees them; true when taken.
  bool HandleWindowKey(const QKeyEvent& key);
  /// Sets the client size so that the outer size, frame included, is 380 x 174.
  void FitOuterSize();

  Text site_base_url_;
  std::string output_directory_;
  JobRunner job_runner_;
  QLineEdit* url_edit_ = nullptr;
  QPushButton* download_button_ = nullptr;
  MnemonicLabel* caption_label_ = nullptr;
  MnemonicLabel* status_label_ = nullptr;
  LinkBox* link_box_ = nullptr;
};

}  // namespace cuijian
