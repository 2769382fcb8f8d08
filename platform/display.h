#pragma once

namespace tarvona {

// Whether Qt would find a platform to show windows on: QT_QPA_PLATFORM names one, or an X or
// Wayland display is set. Without one, the launch run goes on without windows.
bool DisplayReachable();

}  // namespace tarvona
