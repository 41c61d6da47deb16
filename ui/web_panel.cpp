#include "ui/web_panel.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLibrary>
#include <QPalette>
#include <QResizeEvent>
#include <QTimer>

#include "runtime/accessible_role.h"
#include "runtime/application.h"
#include "runtime/first_paint.h"
#include "trelvik/build_info.h"
#include "ui/web/offline_note.h"
#include "ui/web/web_view_module.h"

namespace trelvik {
QUrl StartPage() {
  return StartPageOf(QString::fromLatin1(build_info::kSiteAddress));
}

QUrl StartPageOf(const QString& siteAddress) {
  const QUrl site(siteAddress);
  QUrl url;
  url.setScheme(QStringLiteral("http"));
  url.setHost(site.host());
  // The real site gives no port; a local server standing in for it does.
  url.setPort(site.port());
  url.setPath(QStringLiteral("/qinvo.htm"));
  return url;
}

WebPanel::WebPanel(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  // Tab leads into the page: a screen reader names the place it enters.
  runtime::SetAccessibleRole(this, QAccessible::Pane);
  setAccessibleName(QStringLiteral("Qinvo 网站首页"));
  setAccessibleDescription(QStringLiteral("制作者的软件站首页"));

  runtime::OnFirstPaint(*parent->window(),
                        [this] { QTimer::singleShot(0, this, &WebPanel::startEngine); });
}

void WebPanel::navigate(const QUrl& url) {
  if (view_) {
    view_->setProperty("url", url);
  } else {
    pending_ = url;
  }
}

void WebPanel::startEngine() {
  if (view_ || note_) return;
#ifndef TRELVIK_WEB_MODULE
  // Built without Qt WebEngine (MinGW has none): no module to look for.
  showOwnNote();
#else
  QLibrary module(
      QDir(QCoreApplication::applicationDirPath())
          .filePath(QStringLiteral(TRELVIK_MODULE_DIR_FROM_PROGRAMS "/trelvik_webview")));
  const auto create = reinterpret_cast<CreateWebViewFunction>(module.resolve(kCreateWebViewSymbol));
  if (!create) {
    // The calculator does not depend on the panel.
    qWarning("trelvik: no web panel: %s", qPrintable(module.errorString()));
    showOwnNote();
    return;
  }
  view_ = create(this);
  if (!view_) {  // already said why
    showOwnNote();
    return;
  }
  view_->setObjectName(QStringLiteral("webView"));
  view_->setGeometry(rect());
  view_->show();
  setFocusPolicy(Qt::TabFocus);
  setFocusProxy(view_);
  if (pending_.isValid()) view_->setProperty("url", std::exchange(pending_, QUrl()));
#endif
}

void WebPanel::showOwnNote() {
  auto* note = new QLabel(this);
  note->setObjectName(QStringLiteral("offlineNote"));
  note->setTextFormat(Qt::RichText);
  note->setText(
      QStringLiteral("<html><head><style>b{color:%1}</style></head><body>%2</body></html>")
          .arg(QLatin1String(kOfflineNoteBold), OfflineNoteBody()));
  note->setWordWrap(true);
  note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  note->setContentsMargins(kOfflineNoteMarginX, kOfflineNoteMarginY, kOfflineNoteMarginX,
                           kOfflineNoteMarginY);
  note->setFont(runtime::ChineseFont({}, kOfflineNotePixelSize));
  QPalette palette = note->palette();
  palette.setColor(QPalette::Window, QColor(QLatin1String(kOfflineNoteBackground)));
  palette.setColor(QPalette::WindowText, QColor(QLatin1String(kOfflineNoteColour)));
  note->setPalette(palette);
  note->setAutoFillBackground(true);
  note->setGeometry(rect());
  note->show();
  note_ = note;
}

void WebPanel::resizeEvent(QResizeEvent* event) {
  const QRect area(QPoint(0, 0), event->size());
  if (view_) view_->setGeometry(area);
  if (note_) note_->setGeometry(area);
}

}  // namespace trelvik
