#include "app/link_box.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QUrl>

namespace cuijian {

bool OpenInDesktopBrowser(const QString& address) {
  return QDesktopServices::openUrl(QUrl(address));
}

LinkBox::LinkBox(const QString& caption, const QString& address, QWidget* parent)
    : QWidget(parent), caption_(caption), address_(address), opener_(OpenInDesktopBrowser) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QString LinkBox::shownText() const { return caption_.isEmpty() ? address_ : caption_; }

QColor LinkBox::textColour() const {
  if (hovered_) return kHoverColour;
  return visited_ ? kVisitedColour : kNormalColour;
}

bool LinkBox::openLink() {
  if (address_.isEmpty()) return false;
  visited_ = opener_ && opener_(address_);
  update();
  return visited_;
}

void LinkBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  painter.setClipRect(rect());
  painter.setPen(textColour());
  painter.setFont(font());
  // No mnemonic flag: an "&" in the caption is drawn as it stands.
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, shownText());
}

void LinkBox::mousePressEvent(QMouseEvent* event) {
  // The press, not the release, opens the link.
  if (event->button() == Qt::LeftButton) {
    openLink();
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void LinkBox::enterEvent(QEnterEvent* event) {
  setHovered(true);
  QWidget::enterEvent(event);
}

void LinkBox::leaveEvent(QEvent* event) {
  setHovered(false);
  QWidget::leaveEvent(event);
}

void LinkBox::setHovered(bool hovered) {
  if (hovered_ == hovered) return;
  hovered_ = hovered;
  update();
}

}  // namespace cuijian
