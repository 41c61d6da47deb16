#include "runtime/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace trelvik::runtime {

void CentreOnScreen(QWidget& window) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
}

}  // namespace trelvik::runtime
