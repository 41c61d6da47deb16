#pragma once

#include <QString>

// The fixed texts of the Help and About windows.

namespace trelvik {

// The Help window's text: four lines joined by CR LF, with a lone CR inside
// the second line, as the program has always carried it.
QString HelpText();

// The About window's text: three lines joined by CR LF, naming the maker's
// site (the build's site address).
QString AboutText();

}  // namespace trelvik
