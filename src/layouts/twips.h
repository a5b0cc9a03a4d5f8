#pragma once

#include <QRect>

namespace tolvex {

/// Pixels from twips at 96 dots per inch (15 twips to the pixel).
constexpr int twips(int value) { return value / 15; }

/// A rectangle given as Left, Top, Width, Height in twips, in pixels.
constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace tolvex
