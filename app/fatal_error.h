#pragma once

namespace cuijian {

/// Exit code of the process after a fatal error (-1 as the system reports it).
inline constexpr int kFatalExitCode = 255;

/// The error box's text when memory runs out.
inline constexpr char kOutOfMemoryMessage[] = "内存不足，程序无法继续运行。";

/// Shows a modal error box with `what` (UTF-8) and no owner window, then ends the process with
/// kFatalExitCode; never returns. From a job thread the box is handed to the UI thread, which
/// keeps serving the window meanwhile; without an application object the text goes to stderr.
[[noreturn]] void FatalError(const char* what);

/// Makes exhausted memory a fatal error (FatalError) on every thread, and ends the process with
/// kFatalExitCode, without a box, on Qt's own fatal errors (such as no display). Call once at
/// start-up, before any other thread. Never fails.
void InstallFatalErrorHandler();

}  // namespace cuijian
