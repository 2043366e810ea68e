#pragma once

namespace cuijian {

class MainWindow;

/// Makes the folder that holds the program file the current directory; false (nothing changed)
/// when that folder is unknown or cannot be entered.
bool EnterProgramDirectory();

/// Creates MainWindow, shows it centred with the focus in the address box and runs the event
/// loop until the window closes; the loop's exit code (0 after a normal close). A window that
/// cannot be created is a fatal error. The window is never deleted: detached jobs may call into
/// it until the process ends. Needs a QApplication.
int RunMainWindow();

/// Flushes the standard streams and ends the process with `code` at once. No static destructor
/// runs, so job threads still running never meet torn-down globals; they end with the process.
[[noreturn]] void EndProcess(int code);

}  // namespace cuijian
