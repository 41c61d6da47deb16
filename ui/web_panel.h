#pragma once

#include <QUrl>
#include <QWidget>

namespace trelvik {

// The start page of the maker's site: http://<site host>[:port]/qinvo.htm.
QUrl StartPage();
// The same for the site at `siteAddress` (http(s)://host[:port]).
QUrl StartPageOf(const QString& siteAddress);

// The browser panel along the bottom of the main window. It shows one page;
// links clicked in it, and pages it would open in new windows, go to the
// user's own browser instead. When the page cannot be loaded it shows a
// short note of its own rather than the engine's error page.
//
// The note says why, as far as the engine tells: no network, a site name
// that does not resolve, a site that does not answer. The engine starts
// after the window's first paint, so that it never holds up the calculator
// appearing; a page requested before then is loaded as soon as it has
// started. Where the engine cannot start, or this build has none, the panel
// shows a note saying so itself.
class WebPanel : public QWidget {
  Q_OBJECT

 public:
  explicit WebPanel(QWidget* parent);

  // Requests `url`; returns at once.
  void navigate(const QUrl& url);

  // The engine's view once started (a QWebEngineView on Linux, the system's
  // browser control on Windows); nullptr before, or if the engine could not
  // be loaded.
  QWidget* view() const { return view_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void startEngine();

  QWidget* view_ = nullptr;
  QWidget* note_ = nullptr;
  QUrl pending_;
};

}  // namespace trelvik
