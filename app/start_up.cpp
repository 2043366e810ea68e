#include "app/start_up.h"

#include <unistd.h>

#include <QApplication>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "app/fatal_error.h"
#include "app/main_window.h"
#include "engine/book_file.h"

namespace cuijian {

bool EnterProgramDirectory() {
  const std::string folder = RunDirectory();
  return !folder.empty() && chdir(folder.c_str()) == 0;
}

int RunMainWindow() {
  constexpr char kNoWindow[] = "无法创建主窗口。";
  auto* window = new (std::nothrow) MainWindow();
  if (window == nullptr) FatalError(kNoWindow);
  window->ShowCentred();
  if (window->windowHandle() == nullptr) FatalError(kNoWindow);
  return QApplication::exec();
}

void EndProcess(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace cuijian
