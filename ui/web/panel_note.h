#pragma once

#include <QString>
#include <cstdlib>

class QWidget;

namespace trelvik {

// Why the web panel has no page, as far as its engine can tell. Only the
// first is the user's to mend: the note asks to check the network for it
// alone.
enum class PanelTrouble {
  Offline,           // this computer has no network connection
  HostNotFound,      // the site's name does not resolve
  SiteNotAnswering,  // the site refuses, times out or answers with an error
  NoEngine,          // no browser engine that this program can use
};

// What the panel shows in place of the page; `host` is the site's.
inline QString PanelNoteBody(PanelTrouble trouble, const QString& host) {
  const QString calculatorStays = QStringLiteral("上面的分区计算不受影响，照常可用。");
  const QString cannotOpen = QStringLiteral("<b>暂时无法打开网站首页。</b><br>");
  switch (trouble) {
    case PanelTrouble::Offline:
      return cannotOpen + QStringLiteral("请检查网络连接，稍后再试。") + calculatorStays;
    case PanelTrouble::HostNotFound:
      return cannotOpen + QStringLiteral("找不到网站 %1。").arg(host.toHtmlEscaped()) +
             calculatorStays;
    case PanelTrouble::SiteNotAnswering:
      return cannotOpen +
             QStringLiteral("网站 %1 没有正常响应，请稍后再试。").arg(host.toHtmlEscaped()) +
             calculatorStays;
    case PanelTrouble::NoEngine:
      break;
  }
  return QStringLiteral(
             "<b>无法在这里显示网站首页。</b><br>"
             "这台电脑上没有本程序可用的网页浏览组件。") +
         calculatorStays;
}

// Chromium's network error numbers (negative, as Qt WebEngine reports them;
// either sign is taken) for a failed load that got no answer from the site.
inline PanelTrouble TroubleFromNetError(int error) {
  switch (std::abs(error)) {
    case 106:  // ERR_INTERNET_DISCONNECTED
    case 137:  // ERR_NAME_RESOLUTION_FAILED: no name server could be asked
      return PanelTrouble::Offline;
    case 105:  // ERR_NAME_NOT_RESOLVED
      return PanelTrouble::HostNotFound;
    default:
      return PanelTrouble::SiteNotAnswering;
  }
}

// The status of the Windows browser control's NavigateError event: one of
// URL Moniker's INET_E_ codes, or the site's HTTP status. `online` says
// whether Windows sees any network connection at all.
inline PanelTrouble TroubleFromNavigateError(long status, bool online) {
  switch (static_cast<unsigned long>(status)) {
    case 0x800C0010UL:  // INET_E_CANNOT_INSTANTIATE_OBJECT: nothing to show a page with
      return PanelTrouble::NoEngine;
    case 0x800C0005UL:  // INET_E_RESOURCE_NOT_FOUND: the server's name was not found
      return online ? PanelTrouble::HostNotFound : PanelTrouble::Offline;
    default:
      return online ? PanelTrouble::SiteNotAnswering : PanelTrouble::Offline;
  }
}

// The note's colours and spacing, as CSS for the engine's page and for the
// panel's own label alike.
inline constexpr char kPanelNoteBackground[] = "#f7f7f7";
inline constexpr char kPanelNoteColour[] = "#555";
inline constexpr char kPanelNoteBold[] = "#333";
inline constexpr int kPanelNoteMarginY = 10;
inline constexpr int kPanelNoteMarginX = 14;
inline constexpr int kPanelNotePixelSize = 12;

// The note as a label of `parent`, filling it and shown.
QWidget* ShowPanelNote(QWidget* parent, PanelTrouble trouble, const QString& host);

}  // namespace trelvik
