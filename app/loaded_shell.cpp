#include "loaded_shell.h"

#include <dlfcn.h>

#include "gio_module.h"

namespace tarvona {

bool LoadedShell::Load() {
    if (m_shell) return true;
    if (!m_loadError.empty()) return false;
    // Kept open for the rest of the process: the shell's code lives in it.
    void* module = ::dlopen(m_module.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto make = module
                    ? reinterpret_cast<MakeGioShellFunction>(::dlsym(module, kMakeGioShellSymbol))
                    : nullptr;
    if (!make) {
        const char* error = ::dlerror();
        m_loadError = error ? error : "cannot open " + m_module;
        return false;
    }
    m_shell.reset(make(m_sessionFileLimit));
    return true;
}

int32_t LoadedShell::LaunchCommand(WindowHandle owner, const std::string& command, int32_t style) {
    if (!Load()) return kOutOfMemoryOrCorrupt;
    return m_shell->LaunchCommand(owner, command, style);
}

std::string LoadedShell::LastFailureReason() const {
    return m_shell ? m_shell->LastFailureReason() : m_loadError;
}

}  // namespace tarvona
