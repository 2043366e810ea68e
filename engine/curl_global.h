#pragma once

namespace cuijian {

/// Marks the start of one use of the HTTP client library, setting the library up on the first
/// use in the process (thread-safe; a failed set-up is tried again by the next use). False when
/// the library cannot be set up or the process is already exiting: then no client call may be
/// made. Every true result must be matched by one EndCurlUse.
bool BeginCurlUse();

/// Marks the end of a use begun by a successful BeginCurlUse.
void EndCurlUse();

/// Holds one use of the client library for a scope; `ready()` is false when none was granted.
class CurlUse {
 public:
  CurlUse() : ready_(BeginCurlUse()) {}
  ~CurlUse() {
    if (ready_) EndCurlUse();
  }
  CurlUse(const CurlUse&) = delete;
  CurlUse& operator=(const CurlUse&) = delete;

  bool ready() const { return ready_; }

 private:
  bool ready_;
};

}  // namespace cuijian
