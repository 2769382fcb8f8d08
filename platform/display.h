#pragma once

#include <string>

namespace tarvona {

// Where Tarvona's windows can be shown, decided by really connecting: an X display that
// answers (DISPLAY), a Wayland compositor whose socket accepts (WAYLAND_DISPLAY), each only when
// Qt's plugin for it is installed. A stale DISPLAY or a compositor that is gone is no display.
struct DisplayChoice {
    // The Qt platforms that answered, best first, as a QT_QPA_PLATFORM list; empty when none.
    std::string platforms;
    // QT_QPA_PLATFORM asks first for a platform that cannot be probed and may show nothing
    // (offscreen, minimal, vnc, ...).
    bool askedForOther = false;
};

// pluginFolder is Qt's plugin folder (the one holding platforms/).
DisplayChoice FindDisplay(const std::string& pluginFolder);

// Makes Qt use exactly the platforms that answered, so it never tries one that is gone.
void UseDisplay(const DisplayChoice& choice);

}  // namespace tarvona
