#include "ui/web/panel_note.h"

#include <QLabel>
#include <QPainter>
#include <QPalette>

#include "runtime/application.h"

namespace trelvik {
namespace {

// The note takes the panel's place in the Tab order, and shows that it has
// the focus with a dotted frame, as a control does.
class PanelNoteLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
};

}  // namespace

QWidget* ShowPanelNote(QWidget* parent, PanelTrouble trouble, const QString& host) {
  auto* note = new PanelNoteLabel(parent);
  note->setObjectName(QStringLiteral("panelNote"));
  note->setTextFormat(Qt::RichText);
  note->setText(
      QStringLiteral("<html><head><style>b{color:%1}</style></head><body>%2</body></html>")
          .arg(QLatin1String(kPanelNoteBold), PanelNoteBody(trouble, host)));
  note->setWordWrap(true);
  note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  note->setContentsMargins(kPanelNoteMarginX, kPanelNoteMarginY, kPanelNoteMarginX,
                           kPanelNoteMarginY);
  note->setFont(runtime::ChineseFont({}, kPanelNotePixelSize));
  QPalette palette = note->palette();
  palette.setColor(QPalette::Window, QColor(QLatin1String(kPanelNoteBackground)));
  palette.setColor(QPalette::WindowText, QColor(QLatin1String(kPanelNoteColour)));
  note->setPalette(palette);
  note->setAutoFillBackground(true);
  note->setGeometry(parent->rect());
  note->setFocusPolicy(Qt::TabFocus);
  parent->setFocusProxy(note);
  note->show();
  return note;
}

}  // namespace trelvik

#include "panel_note.moc"
