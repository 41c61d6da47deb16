// The startup baseline: a bare Qt window with one line edit, started and
// measured the same way as the program.

#include <QApplication>
#include <QLineEdit>

#include "runtime/startup_probe.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QLineEdit window;
  trelvik::runtime::WatchFirstPaint(window);
  window.show();
  return QApplication::exec();
}
