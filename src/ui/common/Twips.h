#pragma once

#include <QRect>

namespace orvane::ui::common {

// Window designs are measured in twips; 15 twips make one logical pixel at 96 dpi and
// Qt scales logical pixels on high-density screens.
constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace orvane::ui::common
