#include "engine/book_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <map>
#include <memory>
#include <mutex>

#include "engine/file_calls.h"

namespace cuijian {
namespace {

// Writes every byte of [data, data + size) from the fd's current position, going on after
// interruptions and partial writes; false at the first real failure.
bool WriteAll(const internal::FileCalls& calls, int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = calls.write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;  // no progress would loop for ever
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// One open book file. Its lock keeps a write's note-write-rollback together, and the fd lives
// as long as any holder of the shared_ptr, so CloseFile never closes it under a running write.
class OpenFile {
 public:
  explicit OpenFile(int fd) : fd_(fd) {}
  ~OpenFile() { internal::CurrentFileCalls().close(fd_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  bool Write(std::string_view text) {
    std::lock_guard lock(mutex_);
    internal::FileCalls calls = internal::CurrentFileCalls();
    off_t start = calls.lseek(fd_, 0, SEEK_CUR);
    if (start < 0) return false;
    if (WriteAll(calls, fd_, text.data(), text.size()) && StillNamed()) return true;
    calls.lseek(fd_, start, SEEK_SET);
    return false;
  }

 private:
  // Bytes written to a file whose name was removed (its folder deleted, say) reach no one, so
  // such a write counts as failed rather than as a record that landed.
  bool StillNamed() const {
    struct stat status {};
    return fstat(fd_, &status) == 0 && status.st_nlink > 0;
  }

  std::mutex mutex_;
  int fd_;
};

struct OpenFiles {
  std::mutex mutex;
  std::map<FileNumber, std::shared_ptr<OpenFile>> files;
  FileNumber last_number = 0;  // numbers are never handed out twice
};

OpenFiles& TheOpenFiles() {
  static OpenFiles open_files;
  return open_files;
}

std::shared_ptr<OpenFile> FindOpenFile(FileNumber file) {
  OpenFiles& open_files = TheOpenFiles();
  std::lock_guard lock(open_files.mutex);
  auto found = open_files.files.find(file);
  return found == open_files.files.end() ? nullptr : found->second;
}

std::string ComputeRunDirectory() {
  std::string path(PATH_MAX, '\0');
  ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  path.resize(slash);  // a program in "/" gives "", which joins with "/" to the right path
  return path;
}

}  // namespace

std::string RunDirectory() {
  static const std::string run_directory = ComputeRunDirectory();
  return run_directory;
}

bool WriteWholeFile(const std::string& path, const Bytes& data) {
  if (path.empty()) return false;
  internal::FileCalls calls = internal::CurrentFileCalls();
  int fd = calls.open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool written = WriteAll(calls, fd, reinterpret_cast<const char*>(data.data()), data.size());
  // A failed close may mean lost data (e.g. on network file systems), so it counts too.
  bool closed = calls.close(fd) == 0;
  return written && closed;
}

FileNumber OpenExistingFile(const std::string& path) {
  if (path.empty()) return 0;
  int fd = internal::CurrentFileCalls().open(path.c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) return 0;
  auto open_file = std::make_shared<OpenFile>(fd);
  OpenFiles& open_files = TheOpenFiles();
  std::lock_guard lock(open_files.mutex);
  if (open_files.last_number == INT_MAX) return 0;  // every number has been used once
  FileNumber number = ++open_files.last_number;
  open_files.files.emplace(number, std::move(open_file));
  return number;
}

bool WriteTextToFile(FileNumber file, std::string_view text) {
  std::shared_ptr<OpenFile> open_file = FindOpenFile(file);
  return open_file != nullptr && open_file->Write(text);
}

void CloseFile(FileNumber file) {
  std::shared_ptr<OpenFile> open_file;
  {
    OpenFiles& open_files = TheOpenFiles();
    std::lock_guard lock(open_files.mutex);
    auto found = open_files.files.find(file);
    if (found == open_files.files.end()) return;
    open_file = std::move(found->second);
    open_files.files.erase(found);
  }
  // The fd closes here, outside the table lock, or later when a running write lets go of it.
}

}  // namespace cuijian
