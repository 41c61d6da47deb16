#pragma once

#include <Qt>

namespace trelvik {

// None of the windows changes size. A fixed size is enough for X11 window
// managers; Windows keeps a sizing border, and offers to drag it, unless
// the window asks for a thin frame.
#ifdef Q_OS_WIN
inline constexpr Qt::WindowType kFixedSizeFrame = Qt::MSWindowsFixedSizeDialogHint;
#else
inline constexpr Qt::WindowType kFixedSizeFrame = Qt::Widget;
#endif

}  // namespace trelvik
