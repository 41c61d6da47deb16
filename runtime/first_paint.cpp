#include "runtime/first_paint.h"

#include <QEvent>
#include <QWidget>

namespace trelvik::runtime {
namespace {

class FirstPaintWatcher : public QObject {
  Q_OBJECT

 public:
  FirstPaintWatcher(QWidget& window, std::function<void()> action)
      : QObject(&window), action_(std::move(action)) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      action_();
      deleteLater();
    }
    return false;
  }

 private:
  std::function<void()> action_;
};

}  // namespace

void OnFirstPaint(QWidget& window, std::function<void()> action) {
  new FirstPaintWatcher(window, std::move(action));
}

}  // namespace trelvik::runtime

#include "first_paint.moc"
