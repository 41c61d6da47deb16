#pragma once

class QWidget;

namespace trelvik::runtime {

// Moves `window` so that it stands in the centre of the primary screen's
// available area (the desktop without its panels). Does nothing where Qt
// knows no screen.
void CentreOnScreen(QWidget& window);

}  // namespace trelvik::runtime
