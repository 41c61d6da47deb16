#include "runtime/application.h"

#include <unistd.h>

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <QWidget>
#include <cstdio>

#include "runtime/startup_probe.h"

namespace trelvik::runtime {
namespace {

// Faces that draw Simplified Chinese, in order of preference. Named
// explicitly: left to itself fontconfig may pick a Japanese face, whose
// glyph shapes differ from the Chinese ones.
const QStringList kChineseFallbacks = {
    QStringLiteral("Noto Sans CJK SC"),
    QStringLiteral("Source Han Sans SC"),
    QStringLiteral("WenQuanYi Micro Hei"),
    QStringLiteral("WenQuanYi Zen Hei"),
};

void LoadQtTranslation(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(translator);
  }
}

}  // namespace

int& Application::PrepareProcess(int& argc) {
  // Chromium refuses to start its sandbox as root; there, and only there,
  // the panel runs without it.
  if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fputs("trelvik: running as root, so the web panel runs without Chromium's sandbox\n",
               stderr);
  }
  return argc;
}

Application::Application(int& argc, char** argv) : QApplication(PrepareProcess(argc), argv) {
  setApplicationName(QStringLiteral("trelvik"));
  LoadQtTranslation(*this);
  setFont(ChineseFont({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 12));
}

QFont ChineseFont(const QStringList& faces, int pixelSize) {
  QFont font;
  font.setFamilies(faces + kChineseFallbacks);
  font.setPixelSize(pixelSize);
  font.setWeight(QFont::Normal);
  return font;
}

int Run(QWidget& window, const std::function<void()>& load) {
  WatchFirstPaint(window);
  load();
  window.ensurePolished();
  window.adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
  window.show();
  if (QWidget* first = window.nextInFocusChain();
      first && first != &window && first->focusPolicy() & Qt::TabFocus) {
    first->setFocus(Qt::OtherFocusReason);
  }
  return QApplication::exec();
}

}  // namespace trelvik::runtime
