#pragma once

#include <cstdio>
#include <cstdlib>

namespace tolvex::fuzzing {

/// Stop the run, naming the invariant, when `condition` does not hold.
inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace tolvex::fuzzing
