// The entry of tarvona-gio.so: Tarvona opens it at its first launch (see LoadedShell), so that a
// run with nothing to open maps none of GIO's libraries.
#include "gio_module.h"

#include "shell.h"

extern "C" __attribute__((visibility("default"))) tarvona::Shell* TarvonaMakeGioShell(
    std::uint64_t sessionFileLimit) {
    return new tarvona::GioShell(sessionFileLimit);
}
