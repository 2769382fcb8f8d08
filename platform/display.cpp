#include "display.h"

#include <cstdlib>
#include <initializer_list>

namespace tarvona {

bool DisplayReachable() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

}  // namespace tarvona
