#include "text/numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <limits>
#include <vector>

namespace cuijian {
namespace {

TEST(NumbersTest, IntegersInDecimal) {
  EXPECT_EQ(NumberToText(std::int32_t{-7}), "-7");
  EXPECT_EQ(NumberToText(std::int32_t{0}), "0");
  EXPECT_EQ(NumberToText(std::int32_t{1234567}), "1234567");
  EXPECT_EQ(NumberToText(std::int32_t{INT_MIN}), "-2147483648");
}

TEST(NumbersTest, DoublesWithThirteenSignificantDigits) {
  struct Case {
    double value;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {14.0, "14"},
      {-7.0, "-7"},
      {0.0, "0"},
      {2.5, "2.5"},
      {1.0 / 3.0, "0.3333333333333"},
      {9999999999999.0, "9999999999999"},
      {1e13, "1e+13"},
      {0.0001, "0.0001"},
      {0.00001, "1e-05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(NumberToText(c.value), c.expected);
  }
}

TEST(NumbersTest, DecimalPointIgnoresTheLocale) {
  // A process locale with a decimal comma must not leak into the text.
  const char* chosen = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  if (chosen == nullptr) chosen = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
  EXPECT_EQ(NumberToText(2.5), "2.5");
  std::setlocale(LC_NUMERIC, "C");
  if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
}

TEST(NumbersTest, TruncatesTowardZero) {
  struct Case {
    double value;
    int expected;
  };
  const std::vector<Case> cases = {
      {2.9, 2},
      {-2.9, -2},
      {0.0, 0},
      {-0.5, 0},
      {2147483647.9, INT_MAX},
      {-2147483648.9, INT_MIN},
      {1e300, INT_MAX},
      {-1e300, INT_MIN},
      {std::numeric_limits<double>::infinity(), INT_MAX},
      {std::nan(""), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(TruncateToInteger(c.value), c.expected);
  }
}

}  // namespace
}  // namespace cuijian
