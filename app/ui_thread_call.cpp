#include "app/ui_thread_call.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace cuijian {

bool OnUiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

bool RunOnUiThread(const std::function<void()>& work) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  if (QThread::currentThread() == app->thread()) {
    // A blocking queued call to one's own thread would wait for itself forever.
    work();
    return true;
  }
  // The application object lives as long as the event loop, so it is a context that never goes
  // away under a waiting caller; the caller checks itself whether its window still exists.
  return QMetaObject::invokeMethod(
      app, [&work] { work(); }, Qt::BlockingQueuedConnection);
}

}  // namespace cuijian
