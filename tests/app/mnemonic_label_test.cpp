#include "app/mnemonic_label.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "tests/app/app_test_support.h"

namespace cuijian {
namespace {

using testing::IsInk;

QImage Render(const QString& text, QSize size) {
  MnemonicLabel label(text);
  label.setFont(QApplication::font());
  label.resize(size);
  return label.grab().toImage();
}

// Rows and columns that hold ink, as flags.
std::vector<bool> InkRows(const QImage& image) {
  std::vector<bool> rows(image.height(), false);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) rows[y] = rows[y] || IsInk(image.pixel(x, y));
  return rows;
}

std::vector<bool> InkColumns(const QImage& image) {
  std::vector<bool> columns(image.width(), false);
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y) columns[x] = columns[x] || IsInk(image.pixel(x, y));
  return columns;
}

int First(const std::vector<bool>& flags) {
  auto it = std::find(flags.begin(), flags.end(), true);
  return it == flags.end() ? -1 : static_cast<int>(it - flags.begin());
}

int Last(const std::vector<bool>& flags) {
  auto it = std::find(flags.rbegin(), flags.rend(), true);
  return it == flags.rend() ? -1 : static_cast<int>(flags.rend() - it) - 1;
}

TEST(MnemonicLabel, FillsWithTheFaceColourAndDrawsNothingForAnEmptyText) {
  const QImage image = Render(QString(), {48, 16});
  const QColor face = MnemonicLabel().palette().color(QPalette::Button);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ASSERT_EQ(QColor(image.pixel(x, y)), face) << x << "," << y;
}

TEST(MnemonicLabel, DrawsBlackTextLeftAlignedAndCentredVertically) {
  const QImage image = Render(QStringLiteral("小说网址"), {120, 40});
  const auto rows = InkRows(image);
  const auto columns = InkColumns(image);
  ASSERT_NE(First(rows), -1);
  EXPECT_LE(First(columns), 2);
  // The ink's middle lies within a few pixels of the label's middle.
  EXPECT_NEAR((First(rows) + Last(rows)) / 2.0, image.height() / 2.0, 4.0);
  // The darkest ink is black, give or take the font's smoothing, and has no tint.
  QRgb darkest = qRgb(255, 255, 255);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < qGray(darkest)) darkest = image.pixel(x, y);
  EXPECT_LT(qGray(darkest), 40);
  EXPECT_EQ(qRed(darkest), qGreen(darkest));
  EXPECT_EQ(qGreen(darkest), qBlue(darkest));
}

TEST(MnemonicLabel, AmpersandUnderlinesTheNextCharacterAndIsNotDrawn) {
  const QSize size(80, 24);
  const QImage plain = Render(QStringLiteral("W"), size);
  const QImage marked = Render(QStringLiteral("&W"), size);
  // The "&" takes no room: the glyph starts where it starts without it.
  EXPECT_EQ(First(InkColumns(marked)), First(InkColumns(plain)));
  // The only difference is the underline: rows below the glyph, spanning its width.
  const auto plain_rows = InkRows(plain);
  const auto marked_rows = InkRows(marked);
  EXPECT_GT(Last(marked_rows), Last(plain_rows));
  const int underline = Last(marked_rows);
  int underline_ink = 0;
  for (int x = 0; x < size.width(); ++x) underline_ink += IsInk(marked.pixel(x, underline)) ? 1 : 0;
  EXPECT_GE(underline_ink, 5);
  for (int y = 0; y <= Last(plain_rows); ++y)
    for (int x = 0; x < size.width(); ++x) ASSERT_EQ(marked.pixel(x, y), plain.pixel(x, y));
}

TEST(MnemonicLabel, DoubleAmpersandDrawsOneAmpersand) {
  const QSize size(80, 24);
  const QImage label = Render(QStringLiteral("a&&b"), size);
  // Qt's plain drawing of the literal text, with no mnemonic handling, is the reference.
  QImage reference(size, QImage::Format_ARGB32_Premultiplied);
  reference.fill(MnemonicLabel().palette().color(QPalette::Button));
  {
    QPainter painter(&reference);
    painter.setFont(QApplication::font());
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("a&b"));
  }
  EXPECT_EQ(label.convertToFormat(reference.format()), reference);
}

TEST(MnemonicLabel, LongTextIsCutAtTheRightEdgeAndNeverWrapped) {
  const QString words =
      QStringLiteral("Chapter one hundred and twenty three of a long book ").repeated(4);
  const QImage tall = Render(words, {120, 80});
  const auto rows = InkRows(tall);
  // One line only: the ink is no taller than the font's line.
  EXPECT_LE(Last(rows) - First(rows) + 1, QFontMetrics(QApplication::font()).height());
  // The text runs on to the last column instead of stopping short at a word.
  const auto columns = InkColumns(tall);
  bool ink_near_right_edge = false;
  for (int x = tall.width() - 6; x < tall.width(); ++x) ink_near_right_edge |= columns[x];
  EXPECT_TRUE(ink_near_right_edge);
}

TEST(MnemonicLabel, SetTextReplacesWhatIsDrawn) {
  MnemonicLabel label(QStringLiteral("old"));
  label.resize(80, 24);
  const QImage before = label.grab().toImage();
  label.setText(QString());
  EXPECT_EQ(label.text(), QString());
  EXPECT_NE(label.grab().toImage(), before);
  EXPECT_EQ(label.focusPolicy(), Qt::NoFocus);
}

}  // namespace
}  // namespace cuijian
