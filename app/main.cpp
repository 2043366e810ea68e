// The program `cuijian`: the window of the novel downloader. It takes no command-line arguments
// and keeps no settings.
#include <QApplication>

#include "app/fatal_error.h"
#include "app/start_up.h"

int main(int argc, char** argv) {
  cuijian::EnterProgramDirectory();
  cuijian::InstallFatalErrorHandler();
  QApplication app(argc, argv);
  // Closing the window ends the process at once, with any jobs still running; see EndProcess.
  cuijian::EndProcess(cuijian::RunMainWindow());
}
