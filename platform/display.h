#pragma once

#include <string>

namespace tarvona {

// Where Tarvona's windows can be shown, decided by really connecting: an X display that
// answers (DISPLAY), a Wayland compositor that completes a round trip (WAYLAND_DISPLAY), each
// within a few seconds and only when Qt's plugin for it is installed. A stale DISPLAY, a frozen
// server or a compositor that is gone or closes at once is no display, and its variable is taken
// out of the environment.
struct DisplayChoice {
    // The Qt platforms that answered, best first, as a QT_QPA_PLATFORM list; empty when none.
    std::string platforms;
    // QT_QPA_PLATFORM asks first for a platform that cannot be probed and may show nothing
    // (offscreen, minimal, vnc, ...).
    bool askedForOther = false;
};

// pluginFolder is Qt's plugin folder (the one holding platforms/).
DisplayChoice FindDisplay(const std::string& pluginFolder);

// Makes Qt use exactly the platforms that answered, so it never tries one that is gone; then the
// fallback (such as "offscreen"), should they all go away before Qt connects.
void UseDisplay(const DisplayChoice& choice, const std::string& fallback = "");

}  // namespace tarvona
