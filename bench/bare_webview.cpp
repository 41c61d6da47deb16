// The memory baseline for the web panel: a bare Qt window holding one web
// view the size of the panel, loading the page named on the command line.
//   bare_webview URL

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: bare_webview URL\n", stderr);
    return 2;
  }
  QWebEngineView view;
  view.resize(401, 105);
  view.load(QUrl(QString::fromLocal8Bit(argv[1])));
  view.show();
  return QApplication::exec();
}
