// The startup baseline: a bare Qt window with one line edit, started and
// measured the same way as the program (first_paint_probe.cpp).

#include <QApplication>
#include <QLineEdit>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QLineEdit window;
  window.show();
  return QApplication::exec();
}
