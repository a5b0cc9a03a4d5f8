#pragma once

#include <functional>

#include <QDateTime>

namespace tolvex {

/// The workstation's clock: the current local date and time.
QDateTime currentDateTime();

/// Lets a test set the clock; an empty function gives the real clock back.
void setClockForTests(std::function<QDateTime()> clock);

} // namespace tolvex
