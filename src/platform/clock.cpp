#include "clock.h"

namespace tolvex {

namespace {
std::function<QDateTime()> &testClock()
{
    static std::function<QDateTime()> clock;
    return clock;
}
} // namespace

QDateTime currentDateTime()
{
    return testClock() ? testClock()() : QDateTime::currentDateTime();
}

void setClockForTests(std::function<QDateTime()> clock)
{
    testClock() = std::move(clock);
}

} // namespace tolvex
