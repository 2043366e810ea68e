#include "app/link_box.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QImage>
#include <QTest>
#include <QVector>

namespace cuijian {
namespace {

const QString kAddress = QStringLiteral("http://127.0.0.1:9/");

bool HasPixel(const QImage& image, QColor colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (QColor(image.pixel(x, y)) == colour) return true;
  return false;
}

// The box as drawn now holds the text colour `expected` and neither of the other two.
void ExpectDrawnIn(LinkBox& box, QColor expected) {
  EXPECT_EQ(box.textColour(), expected);
  const QImage image = box.grab().toImage();
  for (QColor colour : {LinkBox::kHoverColour, LinkBox::kVisitedColour, LinkBox::kNormalColour})
    EXPECT_EQ(HasPixel(image, colour), colour == expected) << colour.name().toStdString();
}

void Enter(LinkBox& box) {
  QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&box, &event);
}

void Leave(LinkBox& box) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(&box, &event);
}

struct LinkBoxTest : ::testing::Test {
  LinkBoxTest() : box(QStringLiteral("翠简官网"), kAddress) {
    box.resize(96, 24);
    box.setOpener([this](const QString& address) {
      opened.push_back(address);
      return open_result;
    });
  }
  LinkBox box;
  QVector<QString> opened;
  bool open_result = true;
};

TEST_F(LinkBoxTest, StartsNormalAndFollowsThePointer) {
  ExpectDrawnIn(box, LinkBox::kNormalColour);
  Enter(box);
  EXPECT_TRUE(box.hovered());
  ExpectDrawnIn(box, LinkBox::kHoverColour);
  Leave(box);
  EXPECT_FALSE(box.hovered());
  ExpectDrawnIn(box, LinkBox::kNormalColour);
}

TEST_F(LinkBoxTest, LeftPressOpensTheAddressOnceAndMarksItVisited) {
  Enter(box);
  QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
  ASSERT_EQ(opened, QVector<QString>{kAddress});
  EXPECT_TRUE(box.visited());
  QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(opened.size(), 1) << "the release must not open again";
  ExpectDrawnIn(box, LinkBox::kHoverColour);
  Leave(box);
  ExpectDrawnIn(box, LinkBox::kVisitedColour);
}

TEST_F(LinkBoxTest, FailedOpenClearsVisitedAndShowsNormalOnceLeft) {
  QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
  ASSERT_TRUE(box.visited());
  open_result = false;
  Enter(box);
  QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(box.visited());
  ExpectDrawnIn(box, LinkBox::kHoverColour);
  Leave(box);
  ExpectDrawnIn(box, LinkBox::kNormalColour);
}

TEST_F(LinkBoxTest, OtherButtonsAndAnEmptyAddressOpenNothing) {
  QTest::mousePress(&box, Qt::RightButton, {}, QPoint(10, 10));
  QTest::mousePress(&box, Qt::MiddleButton, {}, QPoint(10, 10));
  EXPECT_TRUE(opened.isEmpty());
  LinkBox nowhere(QStringLiteral("x"), QString());
  nowhere.setOpener([this](const QString& address) {
    opened.push_back(address);
    return true;
  });
  EXPECT_FALSE(nowhere.openLink());
  EXPECT_TRUE(opened.isEmpty());
  EXPECT_FALSE(nowhere.visited());
}

TEST_F(LinkBoxTest, ShowsTheAddressWhenTheCaptionIsEmptyAndNeverTakesFocus) {
  EXPECT_EQ(box.shownText(), QStringLiteral("翠简官网"));
  EXPECT_EQ(LinkBox(QString(), kAddress).shownText(), kAddress);
  EXPECT_EQ(box.focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(box.cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace cuijian
