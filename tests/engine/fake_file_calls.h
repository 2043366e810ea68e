#pragma once

namespace cuijian::testing {

/// While it lives, the book-file operations run on file calls that fail on purpose: writes stop
/// with ENOSPC once `write_budget` bytes in all have gone to disk (the write that reaches the
/// budget is cut short there), and with `fail_close` every close reports EIO after closing.
/// The calls in use before come back at destruction. One at a time.
class FailingFileCalls {
 public:
  explicit FailingFileCalls(long write_budget, bool fail_close = false);
  ~FailingFileCalls();
  FailingFileCalls(const FailingFileCalls&) = delete;
  FailingFileCalls& operator=(const FailingFileCalls&) = delete;
};

}  // namespace cuijian::testing
