#pragma once

#include <QRect>

namespace trelvik {

// The windows are laid out in twips, 1/1440 inch: 15 to a device-independent
// pixel at 96 dots per inch. Qt scales device-independent pixels to the
// screen, so the layout keeps its proportions at any scaling.
constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
  return twips / kTwipsPerPixel;
}

// A place as the layout gives it: left, top, width and height in twips.
struct Twips {
  int left, top, width, height;
};

constexpr QRect ToPixels(Twips t) {
  return QRect(TwipsToPixels(t.left), TwipsToPixels(t.top), TwipsToPixels(t.width),
               TwipsToPixels(t.height));
}

}  // namespace trelvik
