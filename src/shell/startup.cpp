#include "startup.h"

#include <QtGlobal>

namespace tolvex {

bool displayAvailable()
{
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return false;
}

} // namespace tolvex
