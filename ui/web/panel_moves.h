#pragma once

#include <QDesktopServices>
#include <QUrl>
#include <chrono>
#include <optional>

namespace trelvik {

// Pages the panel shows, and the only addresses it hands to the desktop.
inline bool IsWebUrl(const QUrl& url) {
  return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// The user's own browser, for a web page; anything else is dropped.
inline void OpenOutside(const QUrl& url) {
  if (IsWebUrl(url)) QDesktopServices::openUrl(url);
}

// Where a move of the panel's page goes. The page is fetched over plain
// http, and anyone on the way may rewrite it: what it does by itself
// (scripts, refreshes, timers, redirects, pop-ups) never leaves the panel,
// and only the user's own act in the panel opens the desktop's browser.
enum class PanelMove {
  Stay,         // the panel follows: a web page, or the empty page
  Refuse,       // nothing happens: any other address, or an unasked window
  OpenOutside,  // the desktop's browser opens it, the panel stays as it is
};

// `byUser`: the move answers the user's click or Enter in the panel (a
// link followed, a window asked for). `newWindow`: the page asks for a
// window of its own.
inline PanelMove DecideMove(const QUrl& url, bool byUser, bool newWindow) {
  if (byUser) return IsWebUrl(url) ? PanelMove::OpenOutside : PanelMove::Refuse;
  if (newWindow) return PanelMove::Refuse;
  return IsWebUrl(url) || url == QUrl(QStringLiteral("about:blank")) ? PanelMove::Stay
                                                                     : PanelMove::Refuse;
}

// The user's last click or Enter in the panel, which one move at most may
// answer: a link the user follows opens once, and a page cannot save the act
// up for later.
class UserActs {
 public:
  using Clock = std::chrono::steady_clock;
  // Long enough for the engine to turn a click into a navigation on a busy
  // machine, short enough that a page's timer cannot wait for a click.
  static constexpr std::chrono::milliseconds kAnswerTime{2000};

  void acted(Clock::time_point at = Clock::now()) { last_ = at; }
  // Whether a move now may answer the last act.
  bool fresh(Clock::time_point now = Clock::now()) const {
    return last_ && now >= *last_ && now - *last_ <= kAnswerTime;
  }
  // The act has had its answer.
  void spend() { last_.reset(); }
  bool take(Clock::time_point now = Clock::now()) {
    const bool answers = fresh(now);
    spend();
    return answers;
  }

 private:
  std::optional<Clock::time_point> last_;
};

}  // namespace trelvik
