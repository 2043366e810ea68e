#pragma once

#include <string>
#include <string_view>

namespace cuijian {

/// Marks one book file as being written by a job of this process, from construction until
/// destruction, so that a second job for the same file can stay away from it. Thread-safe.
class BookPathClaim {
 public:
  /// Claims `file_name` inside `directory`; two spellings of one folder ("d", "d/", "./d") name
  /// the same file when the folder exists.
  BookPathClaim(const std::string& directory, std::string_view file_name);
  ~BookPathClaim();
  BookPathClaim(const BookPathClaim&) = delete;
  BookPathClaim& operator=(const BookPathClaim&) = delete;

  /// False when another claim held the same file at construction; such a claim holds nothing.
  bool claimed() const { return claimed_; }

 private:
  std::string key_;
  bool claimed_ = false;
};

}  // namespace cuijian
