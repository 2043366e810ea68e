#include "engine/book_path_claim.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>

namespace cuijian {
namespace {

struct ClaimedPaths {
  std::mutex mutex;
  std::set<std::string> paths;
};

ClaimedPaths& TheClaimedPaths() {
  static ClaimedPaths claimed_paths;
  return claimed_paths;
}

// The folder's absolute form without links, or the folder as given when it cannot be resolved
// (a missing folder: the job then fails to create its file anyway).
std::string CanonicalDirectory(const std::string& directory) {
  const char* to_resolve = directory.empty() ? "." : directory.c_str();
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(to_resolve, nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : directory;
}

}  // namespace

BookPathClaim::BookPathClaim(const std::string& directory, std::string_view file_name)
    : key_(CanonicalDirectory(directory) + "/" + std::string(file_name)) {
  ClaimedPaths& claimed_paths = TheClaimedPaths();
  std::lock_guard lock(claimed_paths.mutex);
  claimed_ = claimed_paths.paths.insert(key_).second;
}

BookPathClaim::~BookPathClaim() {
  if (!claimed_) return;
  ClaimedPaths& claimed_paths = TheClaimedPaths();
  std::lock_guard lock(claimed_paths.mutex);
  claimed_paths.paths.erase(key_);
}

}  // namespace cuijian
