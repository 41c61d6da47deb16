#pragma once

#include <QWidget>

namespace trelvik {

// A small fixed window with one frame holding one wrapped text: the Help
// and About windows. It stays in front of its owner and is minimized with
// it; closing it only hides it, so showing it again reuses it.
class TextWindow : public QWidget {
  Q_OBJECT

 public:
  TextWindow(const QString& caption, const QString& frameCaption, const QString& text,
             QWidget* owner);

  // Shows the window, centred on the screen if it was closed, or brings it
  // to the front if it is already showing.
  void present();
};

}  // namespace trelvik
