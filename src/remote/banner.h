#pragma once

#include "state/appstate.h"

namespace tolvex {

/// Fill the ten lines of `TelnetBanner`: lines 0 to 6 the product name carved in `#`
/// block letters (69 characters each, so every line ends in one fill blank), line 7
/// empty, lines 8 and 9 the platform and version lines.
void fillTelnetBanner(AppState &state);

/// The texts stored into `TelnetBanner` lines 0 to 9, before the fill to 70 characters.
const std::array<QString, 10> &telnetBannerTexts();

} // namespace tolvex
