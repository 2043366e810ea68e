#include "app/mnemonic_label.h"

#include <QPainter>
#include <QPalette>

namespace cuijian {

MnemonicLabel::MnemonicLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  setFocusPolicy(Qt::NoFocus);
  // The paint code covers every pixel, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MnemonicLabel::setText(const QString& text) {
  text_ = text;
  update();
}

void MnemonicLabel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  painter.setClipRect(rect());
  painter.setPen(Qt::black);
  painter.setFont(font());
  // TextShowMnemonic underlines the character after "&" and turns "&&" into one "&", whatever
  // the platform's habit of hiding mnemonics; without TextWordWrap the line is never broken.
  painter.drawText(
      rect(), Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
}

}  // namespace cuijian
