#pragma once

#include <QApplication>
#include <QFont>
#include <QStringList>

class QWidget;

namespace trelvik::runtime {

// The program's QApplication: Simplified-Chinese texts for Qt's own dialogs
// and menus whatever the user's locale (see InstallQtTranslation), a default
// font that draws Simplified Chinese, and the program icon on every window
// (see InstallProgramIcon).
class Application : public QApplication {
  Q_OBJECT

 public:
  Application(int& argc, char** argv);
};

// Gives every window, now and later, the program icon, once. Run does it
// right after the first paint, which does not need it: the window manager
// draws the title bar, and picks the icon up when it comes. The run-time
// error box brings it in first if it opens sooner.
void InstallProgramIcon();

// Installs Qt's own Simplified-Chinese texts (its context menus, message
// box buttons), once. Run does it right after the first paint; the first
// context menu, and anything else that opens one of Qt's own menus or boxes
// sooner, brings it in first.
void InstallQtTranslation();

// A font of the given faces, falling back to faces that draw Simplified
// Chinese where they are missing. Sizes are in device-independent pixels,
// the unit of the windows' layout, so text keeps its place in the controls
// at any screen scaling.
QFont ChineseFont(const QStringList& faces, int pixelSize);

// Starts the program with `window`, already loaded, as its startup window:
// shows it centred on the screen with the focus on its first control in tab
// order, and runs the event loop until the program ends.
int Run(QWidget& window);

}  // namespace trelvik::runtime
