#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>

namespace cuijian {

/// Opens a web address in the desktop's browser; true when the desktop took it.
using LinkOpener = std::function<bool(const QString& address)>;

/// A self-drawn link to a web address: centred caption (the address when the caption is empty),
/// no border, no underline, "&" drawn as is. A left-button press opens the address; the colour
/// shows hover, visited and normal state. Never takes the keyboard focus.
class LinkBox : public QWidget {
  Q_OBJECT

 public:
  static constexpr QColor kHoverColour{51, 153, 255};
  static constexpr QColor kVisitedColour{128, 0, 0};
  static constexpr QColor kNormalColour{0, 0, 255};

  LinkBox(const QString& caption, const QString& address, QWidget* parent = nullptr);

  /// The text drawn: the caption, or the address when the caption is empty.
  QString shownText() const;
  QString address() const { return address_; }
  bool hovered() const { return hovered_; }
  bool visited() const { return visited_; }
  /// The colour the text is drawn in now.
  QColor textColour() const;

  /// Replaces the way the address is opened (tests substitute their own); an empty opener makes
  /// every open fail.
  void setOpener(LinkOpener opener) { opener_ = std::move(opener); }

  /// Opens the address with the opener: success sets the visited flag, failure clears it;
  /// an empty address does nothing. Nothing is reported. False when not opened.
  bool openLink();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void setHovered(bool hovered);

  QString caption_;
  QString address_;
  LinkOpener opener_;
  bool hovered_ = false;
  bool visited_ = false;
};

/// Opens `address` through the desktop services (the user's default browser); false on failure.
bool OpenInDesktopBrowser(const QString& address);

}  // namespace cuijian
