// The engine behind the main window's web panel, in a module of its own:
// the engine's libraries are large, and loading them only after the window
// is first painted keeps them from holding it up.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "ui/web/chromium_errors.h"
#include "ui/web/panel_moves.h"
#include "ui/web/panel_note.h"
#include "ui/web/web_view_module.h"

#ifdef Q_OS_LINUX
#include <unistd.h>

#include <cstdio>
#endif

#ifdef TRELVIK_QT_GL_SHARE_HOOK
// Not public API: Qt GUI exports this hook, and its engine's start-up helper
// (QtWebEngineQuick::initialize, through Qt::AA_ShareOpenGLContexts) calls
// it, but no public header declares it and a Qt update may take it away.
// It is used because the only public route makes QGuiApplication set up
// OpenGL before the window's first paint, on every start, for a panel that
// may never load a page. The build checks that it still links; where it
// does not, the program asks for the shared context at start instead (see
// engine_start.cpp).
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE
#endif

namespace trelvik {
namespace {

// The engine needs an OpenGL context to share, and crashes without one.
// Made here, after the window is up, rather than at start. False if none
// could be made: the panel then goes without its engine.
bool EnsureSharedContext() {
  if (QOpenGLContext::globalShareContext()) return true;
#ifdef TRELVIK_QT_GL_SHARE_HOOK
  auto* context = new QOpenGLContext(QCoreApplication::instance());
  if (!context->create()) {
    qWarning("trelvik: no OpenGL context for the web panel");
    delete context;
    return false;
  }
  qt_gl_set_global_share_context(context);
  return true;
#else
  qWarning("trelvik: Qt made no shared OpenGL context for the web panel");
  return false;
#endif
}

// Chromium refuses to start its sandbox as root; there, and only there, the
// panel runs without it, and says so. Read when the engine starts, which is
// when the first view is made, so it still counts here.
void LeaveSandboxWhenRoot() {
#ifdef Q_OS_LINUX
  if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fputs("trelvik: running as root, so the web panel runs without Chromium's sandbox\n",
               stderr);
  }
#endif
}

// A page the site answered with an error status is the site's trouble; for
// the rest Chromium's error number tells.
PanelTrouble Trouble(const QWebEngineLoadingInfo& info) {
  switch (info.errorDomain()) {
    case QWebEngineLoadingInfo::HttpErrorDomain:
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
      return PanelTrouble::SiteNotAnswering;
    default:
      return TroubleFromNetError(info.errorCode());
  }
}

// Shown in place of the engine's own error page.
QString NotePage(PanelTrouble trouble, const QString& host) {
  return QStringLiteral(
             "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
             "<title>Qinvo</title><style>body{margin:0;padding:%1px %2px;"
             "font:%3px 'Noto Sans CJK SC','WenQuanYi Micro Hei',sans-serif;color:%4;"
             "background:%5}b{color:%6}html.focused body{outline:1px dotted %4;"
             "outline-offset:-3px;min-height:calc(100vh - %8px)}</style>"
             "<script>onfocus=function(){document.documentElement.className='focused'};"
             "onblur=function(){document.documentElement.className=''}</script>"
             "</head><body>%7</body></html>")
      .arg(kPanelNoteMarginY)
      .arg(kPanelNoteMarginX)
      .arg(kPanelNotePixelSize)
      .arg(QLatin1String(kPanelNoteColour), QLatin1String(kPanelNoteBackground),
           QLatin1String(kPanelNoteBold), PanelNoteBody(trouble, host))
      .arg(2 * kPanelNoteMarginY);
}

// The panel's page: keeps the page's own moves inside the panel and sends
// the links the user follows to the desktop's browser.
class PanelPage : public QWebEnginePage {
  Q_OBJECT

 public:
  PanelPage(QWebEngineView* view, UserActs* acts) : QWebEnginePage(view), acts_(acts) {
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) {
              // Not opened in the panel either: the request is dropped.
              const bool byUser = request.isUserInitiated() && acts_->take();
              if (DecideMove(request.requestedUrl(), byUser, true) == PanelMove::OpenOutside) {
                OpenOutside(request.requestedUrl());
              }
            });
    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
      // Only a load that failed, not one refused on purpose, gets the note.
      if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && IsWebUrl(info.url())) {
        showingNote_ = true;
        setHtml(NotePage(Trouble(info), info.url().host()), QUrl(QStringLiteral("about:blank")));
      }
    });
  }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
    // Chromium calls a script's move of the page a link too; only the
    // user's click or Enter just before makes it one.
    const bool link = type == NavigationTypeLinkClicked || type == NavigationTypeFormSubmitted;
    // The panel's own note.
    if (!link && isMainFrame && url.scheme() == QLatin1String("data")) return true;
    switch (DecideMove(url, link && acts_->take(), false)) {
      case PanelMove::Stay:
        if (isMainFrame) showingNote_ = false;
        return true;
      case PanelMove::OpenOutside:
        OpenOutside(url);
        return false;
      case PanelMove::Refuse:
        return false;
    }
    return false;
  }

 public:
  // Nothing in the page to move the focus to: the panel's note, or a page
  // still on its way.
  bool holdsNoStops() const { return showingNote_ || isLoading(); }

 private:
  UserActs* acts_;
  bool showingNote_ = false;
};

// The user's clicks and Enter keys in the page, as the panel's view gets
// them: the engine's input widget is a child of the view, made and remade
// as the engine pleases, so they are taken on their way there.
class UserActWatcher : public QObject {
  Q_OBJECT

 public:
  explicit UserActWatcher(QWebEngineView* view) : QObject(view), view_(view) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  UserActs* acts() { return &acts_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) break;
        if (InView(watched)) acts_.acted();
        break;
      case QEvent::KeyPress: {
        const auto* keys = static_cast<QKeyEvent*>(event);
        const int key = keys->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && InView(watched)) acts_.acted();
        // Tab leads out of a page that has no stops of its own at once; the
        // engine would pass it on only once the page is ready for keys, and
        // lose it while a page is still on its way.
        if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
            !(keys->modifiers() & Qt::ControlModifier) && InView(watched) &&
            static_cast<PanelPage*>(view_->page())->holdsNoStops()) {
          LeaveView(key == Qt::Key_Tab && !(keys->modifiers() & Qt::ShiftModifier));
          return true;
        }
        break;
      }
      default:
        break;
    }
    return false;
  }

 private:
  // The focus to the next (or previous) stop of the window outside the view.
  void LeaveView(bool forward) {
    QWidget* stop = view_;
    for (;;) {
      stop = forward ? stop->nextInFocusChain() : stop->previousInFocusChain();
      if (stop == view_) return;
      const bool outside = !view_->isAncestorOf(stop) && !stop->isAncestorOf(view_);
      if (outside && (stop->focusPolicy() & Qt::TabFocus) && stop->isEnabled() &&
          stop->isVisibleTo(view_->window())) {
        stop->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
      }
    }
  }

  bool InView(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && (widget == view_ || view_->isAncestorOf(widget));
  }

  QWebEngineView* view_;
  UserActs acts_;
};

}  // namespace
}  // namespace trelvik

extern "C" Q_DECL_EXPORT QWidget* trelvik_create_web_view(QWidget* parent) {
  // Drawn in software: the panel is small, and an OpenGL view would make
  // Qt recreate the already visible main window to draw it.
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  if (!trelvik::EnsureSharedContext()) return nullptr;
  trelvik::LeaveSandboxWhenRoot();
  auto* view = new QWebEngineView(parent);
  // The browser's own menu (back, reload, save, view source) is not the
  // panel's to offer.
  view->setContextMenuPolicy(Qt::NoContextMenu);
  auto* watcher = new trelvik::UserActWatcher(view);
  auto* page = new trelvik::PanelPage(view, watcher->acts());
  page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  view->setPage(page);
  return view;
}

#include "web_view.moc"
