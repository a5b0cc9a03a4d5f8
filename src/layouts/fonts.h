#pragma once

#include <QFont>

namespace tolvex {

/// The windows' default dialog font: a narrow sans face at 11 pixels, so that every
/// caption fits the control sizes of the layouts.
QFont dialogFont();

} // namespace tolvex
