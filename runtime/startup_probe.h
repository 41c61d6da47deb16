#pragma once

class QWidget;

namespace trelvik::runtime {

// For the startup benchmark: when the environment variable
// TRELVIK_STARTUP_PROBE holds the launcher's steady-clock time in
// nanoseconds, prints "first-paint-ns N" (the time from launch to the
// window's first paint) and "first-paint-vmhwm-kb N" (the process's peak
// resident memory so far, from /proc/self/status; left out where there is
// no such file) on stderr once `window` is first painted, and ends the
// program at once. Does nothing otherwise.
void WatchFirstPaint(QWidget& window);

}  // namespace trelvik::runtime
