#include "ui/wrapped_label.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace trelvik {

WrappedLabel::WrappedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setWordWrap(true);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

int WrappedLabel::linePitch() const {
  const int size = font().pixelSize() > 0 ? font().pixelSize() : QFontMetrics(font()).height();
  return std::min(size + 1, QFontMetrics(font()).lineSpacing());
}

QString WrappedLabel::displayed(QString text) {
  // CR LF and LF break the line; a carriage return on its own is drawn as
  // nothing, so the words on either side of it read on.
  text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
  text.replace(QLatin1Char('\n'), QChar::LineSeparator);
  text.remove(QLatin1Char('\r'));
  return text;
}

void WrappedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  QTextLayout layout(displayed(text()), font());
  QTextOption option(Qt::AlignLeft);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  // Lines sit on a baseline that keeps the glyphs' ascent and descent in
  // proportion inside the tighter pitch.
  const QFontMetricsF metrics(font());
  const qreal pitch = linePitch();
  const qreal ascent =
      std::round(pitch * metrics.ascent() / (metrics.ascent() + metrics.descent()));
  layout.beginLayout();
  for (int row = 0;; ++row) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(width());
    line.setPosition(QPointF(0, row * pitch + ascent - line.ascent()));
  }
  layout.endLayout();
  layout.draw(&painter, QPointF(0, 0));
}

}  // namespace trelvik
