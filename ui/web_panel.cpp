#include "ui/web_panel.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QResizeEvent>
#include <QTimer>

#include "runtime/accessible_role.h"
#include "runtime/application.h"
#include "runtime/first_paint.h"
#include "trelvik/build_info.h"
#include "ui/web/panel_note.h"
#include "ui/web/web_view_module.h"

namespace trelvik {
namespace {

// This build's engine: the system's own browser control, linked in, on
// Windows; Qt WebEngine, in a module loaded now, on Linux; or none.
CreateWebViewFunction FindEngine() {
#if defined(TRELVIK_WEB_BUILT_IN)
  return &trelvik_create_web_view;
#elif defined(TRELVIK_WEB_MODULE)
  QLibrary module(
      QDir(QCoreApplication::applicationDirPath())
          .filePath(QStringLiteral(TRELVIK_MODULE_DIR_FROM_PROGRAMS "/trelvik_webview")));
  const auto create = reinterpret_cast<CreateWebViewFunction>(module.resolve(kCreateWebViewSymbol));
  // The calculator does not depend on the panel.
  if (!create) qWarning("trelvik: no web panel: %s", qPrintable(module.errorString()));
  return create;
#else
  return nullptr;
#endif
}

}  // namespace

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
  const CreateWebViewFunction create = FindEngine();
  view_ = create ? create(this) : nullptr;
  if (!view_) {  // already said why
    note_ = ShowPanelNote(this, PanelTrouble::NoEngine, pending_.host());
    return;
  }
  view_->setObjectName(QStringLiteral("webView"));
  view_->setGeometry(rect());
  view_->show();
  setFocusPolicy(Qt::TabFocus);
  setFocusProxy(view_);
  if (pending_.isValid()) view_->setProperty("url", std::exchange(pending_, QUrl()));
}

void WebPanel::resizeEvent(QResizeEvent* event) {
  const QRect area(QPoint(0, 0), event->size());
  if (view_) view_->setGeometry(area);
  if (note_) note_->setGeometry(area);
}

}  // namespace trelvik
