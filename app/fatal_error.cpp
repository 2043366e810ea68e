#include "app/fatal_error.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <thread>

#include "app/ui_thread_call.h"

namespace cuijian {
namespace {

// The thread that reports the fatal error; the first one to meet one wins, the others wait for
// the process to end. Atomic, so no lock is needed.
std::atomic<std::thread::id> reporting_thread{};

void OutOfMemory() { FatalError(kOutOfMemoryMessage); }

QtMessageHandler previous_message_handler = nullptr;  // set once at start-up, before any thread

// Qt's own fatal errors (no display to open, say) would abort the process; they end it with the
// fatal exit code instead. No box: Qt may be unable to show one at that point.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (previous_message_handler != nullptr) previous_message_handler(type, context, message);
    return;
  }
  std::fputs(message.toLocal8Bit().constData(), stderr);
  std::fputc('\n', stderr);
  std::fflush(nullptr);
  std::_Exit(kFatalExitCode);
}

}  // namespace

void FatalError(const char* what) {
  const std::thread::id self = std::this_thread::get_id();
  std::thread::id nobody{};
  if (!reporting_thread.compare_exchange_strong(nobody, self)) {
    if (nobody == self) {
      // The report itself failed (memory ran out again while showing the box): end without it.
      std::fflush(nullptr);
      std::_Exit(kFatalExitCode);
    }
    // Another thread is reporting and will end the process. A job thread must not go on; the UI
    // thread shows its own box, since the first reporter may be waiting for it to show one.
    if (!OnUiThread()) {
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
  }
  std::fputs(what, stderr);
  std::fputc('\n', stderr);
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    // The UI thread ends the process itself right after the box: were it left to the reporting
    // job thread, the UI thread could meanwhile go on and end the loop on its own terms.
    RunOnUiThread([what] {
      QMessageBox::critical(nullptr, QStringLiteral("翠简小说下载器"), QString::fromUtf8(what));
      std::fflush(nullptr);
      std::_Exit(kFatalExitCode);
    });
  }
  std::fflush(nullptr);
  // No static destructor may run while other threads still use the objects they destroy.
  std::_Exit(kFatalExitCode);
}

void InstallFatalErrorHandler() {
  std::set_new_handler(OutOfMemory);
  previous_message_handler = qInstallMessageHandler(OnQtMessage);
}

}  // namespace cuijian
