// Linked into the startup benchmark's programs only, never into the shipped
// one: when the environment variable TRELVIK_STARTUP_PROBE holds the
// launcher's steady-clock time in nanoseconds, prints "first-paint-ns N"
// (launch to the first paint of the first window) and "first-paint-vmhwm-kb
// N" (the process's peak resident memory so far, where /proc tells) on
// stderr, and ends the program there. Does nothing otherwise.

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Peak resident memory in kB, or -1 where /proc does not tell.
long long PeakResidentKb() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  long long kb = -1;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "VmHWM:", 6) == 0) {
      kb = std::atoll(line + 6);
      break;
    }
  }
  std::fclose(status);
  return kb;
}

// Kept out of line: scripts/bench-startup has callgrind stop counting where
// it is entered.
[[gnu::noinline]] void ReportFirstPaint(long long launchNs) {
  const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
  std::fprintf(stderr, "first-paint-ns %lld\n", now - launchNs);
  if (const long long kb = PeakResidentKb(); kb >= 0) {
    std::fprintf(stderr, "first-paint-vmhwm-kb %lld\n", kb);
  }
  // Ends here and now: what the program does after its first paint (the web
  // panel's engine starting, above all) would otherwise still run, and its
  // helper processes could still be busy while the next run starts.
  std::fflush(stderr);
  std::_Exit(0);
}

// Sees every event before its receiver does: the first paint of a window is
// the first paint the user sees.
class FirstPaintProbe : public QObject {
  Q_OBJECT

 public:
  explicit FirstPaintProbe(long long launchNs) : QObject(qApp), launchNs_(launchNs) {
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      ReportFirstPaint(launchNs_);
    }
    return false;
  }

 private:
  long long launchNs_;
};

void StartProbe() {
  const char* launch = std::getenv("TRELVIK_STARTUP_PROBE");
  if (launch != nullptr && *launch != '\0') new FirstPaintProbe(std::atoll(launch));
}

}  // namespace

// Run as the application object is made, before main makes any window.
Q_COREAPP_STARTUP_FUNCTION(StartProbe)

#include "first_paint_probe.moc"
