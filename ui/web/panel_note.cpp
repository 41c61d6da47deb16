#include "ui/web/panel_note.h"

#include <QLabel>
#include <QPalette>

#include "runtime/application.h"

namespace trelvik {

QWidget* ShowPanelNote(QWidget* parent, PanelTrouble trouble, const QString& host) {
  auto* note = new QLabel(parent);
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
  note->show();
  return note;
}

}  // namespace trelvik
