#pragma once

#include <string>
#include <vector>

namespace cuijian::testing {

/// A fresh folder under the system's temporary folder, removed with everything in it when the
/// object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The folder's path, no trailing slash; empty when it could not be made.
  const std::string& path() const { return path_; }
  /// path() + "/" + name.
  std::string Child(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

/// The whole content of the file at `path`; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

/// True when something exists at `path`.
bool PathExists(const std::string& path);

/// The names in folder `path` (without "." and ".."), sorted.
std::vector<std::string> FolderNames(const std::string& path);

}  // namespace cuijian::testing
