#include "engine/book_path_claim.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/engine/temp_dir.h"

namespace cuijian {
namespace {

TEST(BookPathClaimTest, OneClaimPerFileUntilReleased) {
  testing::TempDir dir;
  std::optional<BookPathClaim> first(std::in_place, dir.path(), "a.txt");
  EXPECT_TRUE(first->claimed());
  {
    BookPathClaim same(dir.path(), "a.txt");
    EXPECT_FALSE(same.claimed());
    BookPathClaim other_name(dir.path(), "b.txt");
    EXPECT_TRUE(other_name.claimed());
  }
  // A refused claim held nothing, so the first one still stands.
  EXPECT_FALSE(BookPathClaim(dir.path(), "a.txt").claimed());
  first.reset();
  EXPECT_TRUE(BookPathClaim(dir.path(), "a.txt").claimed());
}

TEST(BookPathClaimTest, SpellingsOfOneFolderNameOneFile) {
  testing::TempDir dir;
  BookPathClaim first(dir.path(), "a.txt");
  ASSERT_TRUE(first.claimed());
  EXPECT_FALSE(BookPathClaim(dir.path() + "/", "a.txt").claimed());
  EXPECT_FALSE(BookPathClaim(dir.path() + "/.", "a.txt").claimed());
  EXPECT_FALSE(
      BookPathClaim(dir.path() + "//../" + dir.path().substr(dir.path().rfind('/') + 1), "a.txt")
          .claimed());
}

}  // namespace
}  // namespace cuijian
