#pragma once

#include <QString>

class QWidget;

namespace trelvik {

// Why the web panel has no page, as far as its engine can tell (each
// engine reads its own error codes beside it). Only the first is the user's
// to mend: the note asks to check the network for it alone.
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
