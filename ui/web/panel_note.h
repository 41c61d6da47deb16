#pragma once

#include <QString>

namespace trelvik {

// What the web panel shows when it has no page: the site cannot be reached,
// or this build of the program has no browser engine. Drawn by the engine
// as a page of its own, or by the panel itself as rich text.
inline QString OfflineNoteBody() {
  return QStringLiteral(
      "<b>暂时无法打开网站首页。</b><br>请检查网络连接，稍后再试。"
      "上面的分区计算不受影响，照常可用。");
}

// The note's colours and spacing, as CSS for the engine's page and for the
// panel's own label alike.
inline constexpr char kOfflineNoteBackground[] = "#f7f7f7";
inline constexpr char kOfflineNoteColour[] = "#555";
inline constexpr char kOfflineNoteBold[] = "#333";
inline constexpr int kOfflineNoteMarginY = 10;
inline constexpr int kOfflineNoteMarginX = 14;
inline constexpr int kOfflineNotePixelSize = 12;

}  // namespace trelvik
