#pragma once

#include <QString>
#include <QWidget>

namespace cuijian {

/// A borderless label drawn by its own paint code: filled with the button-face colour, black text
/// left-aligned on one line, centred vertically, cut off at the edges and never wrapped. "&" is a
/// mnemonic prefix: "&x" draws x underlined, "&&" draws one "&".
class MnemonicLabel : public QWidget {
  Q_OBJECT

 public:
  explicit MnemonicLabel(const QString& text = {}, QWidget* parent = nullptr);

  /// The label's current text, mnemonic prefixes included.
  QString text() const { return text_; }
  /// Replaces the text and schedules a repaint; never fails.
  void setText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace cuijian
