#pragma once

namespace tolvex {

/// True when the toolkit can reach a display: an X or Wayland session, or a platform
/// chosen for the toolkit explicitly (such as the offscreen one).
bool displayAvailable();

} // namespace tolvex
