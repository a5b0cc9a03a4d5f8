#pragma once

#include <QRect>

#include "layouts/twips.h"

namespace tolvex {

/// The main window's fixed layout: client size, first position and control geometry.
namespace Form1Layout {
inline constexpr QRect Client = twipsRect(3435, 6015, 5220, 3000);
inline constexpr QPoint StartPosition(twips(1500), twips(1500));
inline constexpr QRect Picture1 = twipsRect(4500, 2040, 255, 195);
inline constexpr QRect Command4 = twipsRect(1380, 2520, 1035, 255);
inline constexpr QRect Command3 = twipsRect(1380, 2220, 1035, 255);
inline constexpr QRect Command2 = twipsRect(420, 2520, 915, 255);
inline constexpr QRect List1 = twipsRect(600, 720, 4155, 1215);
inline constexpr QRect Command1 = twipsRect(420, 2220, 915, 255);
inline constexpr QRect Label1 = twipsRect(600, 420, 4155, 255);
/// "Small Fonts" 6.75 point, replaced by a small sans font.
inline constexpr double SmallFontPoints = 6.75;
} // namespace Form1Layout

} // namespace tolvex
