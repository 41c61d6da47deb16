#pragma once

#include <QLabel>

namespace trelvik {

// A label whose text wraps within its width at a line pitch of the font's
// size plus one pixel. Fonts that draw Chinese often add a generous line gap,
// and a label that was designed for three lines of text would otherwise show
// two and a half.
class WrappedLabel : public QLabel {
  Q_OBJECT

 public:
  WrappedLabel(const QString& text, QWidget* parent);

  // Distance between the tops of two lines, in pixels.
  int linePitch() const;

  // The text as drawn: line breaks made explicit, lone carriage returns gone.
  static QString displayed(QString text);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace trelvik
