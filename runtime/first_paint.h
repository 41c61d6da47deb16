#pragma once

#include <functional>

class QWidget;

namespace trelvik::runtime {

// Runs `action` once, when `window` receives its first paint event, just
// before that paint. Work that must not hold up the first frame should post
// itself from `action` rather than run there.
void OnFirstPaint(QWidget& window, std::function<void()> action);

}  // namespace trelvik::runtime
