#include "runtime/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace trelvik::runtime {
namespace {

class FirstPaintProbe : public QObject {
 public:
  FirstPaintProbe(QWidget& window, long long launchNs) : QObject(&window), launchNs_(launchNs) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count();
      std::fprintf(stderr, "first-paint-ns %lld\n", now - launchNs_);
      watched->removeEventFilter(this);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return false;
  }

 private:
  long long launchNs_;
};

}  // namespace

void WatchFirstPaint(QWidget& window) {
  const char* launch = std::getenv("TRELVIK_STARTUP_PROBE");
  if (launch == nullptr || *launch == '\0') return;
  new FirstPaintProbe(window, std::atoll(launch));
}

}  // namespace trelvik::runtime
