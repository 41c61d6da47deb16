#pragma once

class QWidget;

// The web panel's engine behind one entry point: looked up by name in the
// module that holds Qt WebEngine on Linux, linked into the program on
// Windows. The view it returns navigates through its "url" property, and
// shows the panel's note itself when the page cannot be loaded; nullptr
// when the engine cannot start.
extern "C" {
using CreateWebViewFunction = QWidget* (*)(QWidget* parent);
inline constexpr char kCreateWebViewSymbol[] = "trelvik_create_web_view";
QWidget* trelvik_create_web_view(QWidget* parent);
}
