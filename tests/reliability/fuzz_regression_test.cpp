// Inputs that the fuzz targets once found to break an invariant, kept as plain tests so that the
// fault cannot come back unnoticed between fuzz runs.
#include <gtest/gtest.h>

#include <string>

#include "text/find_text.h"

namespace cuijian {
namespace {

// Ignoring case folds only A-Z; a pair's second byte 0xFC is no case form of 0xDC, so the search
// text is not in the text. A working state of the toolkit once reported a match at the pair.
TEST(FuzzRegressions, IgnoreCaseDoesNotFoldTrailBytesOutsideAsciiLetters) {
  const std::string text(
      "\x80\x30\x73\x5b\xf2\x27\x3c\x02\xa6\x81\x9b\x96\x64\x64\x64\x64\x64\x2c\x28\x2c\x7e\xd3"
      "\xfc\x2d\x02\xb8\xc6\x1e\x87\x22\x3c\x62\x32\x2f\x3e\x2c");
  const std::string search(
      "\x9b\x96\x64\x64\x64\x64\x64\x2c\x28\x2c\x7e\xd3\xdc\x2d\x02\xb8\xc6\x1e\x87\x22\x3c\x62"
      "\x32\x2f");
  EXPECT_EQ(FindText(text, search, -459891787, true), -1);
  // The same search with the pair's own second byte is found, from any start before it.
  std::string present = search;
  present[12] = '\xfc';
  EXPECT_EQ(FindText(text, present, -459891787, true), 11);
  EXPECT_EQ(FindText(text, present, 11, true), 11);
}

}  // namespace
}  // namespace cuijian
