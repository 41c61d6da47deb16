#pragma once

class QWidget;

// The web view module's one entry point, looked up by name once the module
// is loaded. The view it returns navigates through its "url" property.
extern "C" {
using CreateWebViewFunction = QWidget* (*)(QWidget* parent);
inline constexpr char kCreateWebViewSymbol[] = "trelvik_create_web_view";
}
