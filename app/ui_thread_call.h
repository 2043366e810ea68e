#pragma once

#include <functional>

namespace cuijian {

/// True on the thread that runs the application's event loop (the UI thread); false on any other
/// thread and when no application object exists.
bool OnUiThread();

/// Runs `work` on the UI thread and returns once it has run there; on the UI thread itself it runs
/// at once. False (work not run) when there is no application object or the call could not be
/// delivered. Blocks for as long as the UI thread does not serve its event loop.
bool RunOnUiThread(const std::function<void()>& work);

}  // namespace cuijian
