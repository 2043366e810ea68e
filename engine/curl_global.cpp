#include "engine/curl_global.h"

#include <curl/curl.h>

#include <cstdlib>
#include <mutex>

namespace cuijian {
namespace {

// The library's global set-up is made once, by the first fetch, and undone by a handler that runs
// at normal process exit. Exit may come while job threads are still fetching (the window closes
// whatever runs), and tearing the library down under a running transfer is a fault. So the
// handler undoes the set-up only when no fetch is in flight, and otherwise leaves it to the
// operating system; either way it bars new fetches from then on. A process that ends by _exit or
// quick_exit runs no handler, which is equally safe. The state lives on the heap and is never
// destroyed, so threads still running during exit never meet a destroyed mutex.
struct CurlGlobal {
  std::mutex mutex;
  bool ready = false;       // curl_global_init succeeded and no cleanup followed
  bool exiting = false;     // the exit handler ran: no new use
  bool hook_added = false;  // the exit handler is registered
  int in_use = 0;           // fetches between BeginCurlUse and EndCurlUse
};

CurlGlobal& Global() {
  static CurlGlobal* const global = new CurlGlobal;
  return *global;
}

void CleanUpAtExit() {
  CurlGlobal& global = Global();
  std::lock_guard lock(global.mutex);
  global.exiting = true;
  if (global.ready && global.in_use == 0) {
    curl_global_cleanup();
    global.ready = false;
  }
}

}  // namespace

bool BeginCurlUse() {
  CurlGlobal& global = Global();
  std::lock_guard lock(global.mutex);
  if (global.exiting) return false;
  if (!global.ready) {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return false;
    global.ready = true;
    if (!global.hook_added) global.hook_added = std::atexit(CleanUpAtExit) == 0;
  }
  ++global.in_use;
  return true;
}

void EndCurlUse() {
  CurlGlobal& global = Global();
  std::lock_guard lock(global.mutex);
  // Nothing is undone here even when exit has begun: the exit handler alone may do that, and only
  // while it knows that no fetch runs.
  --global.in_use;
}

}  // namespace cuijian
