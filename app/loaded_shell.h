#pragma once

#include <memory>
#include <string>

#include "shell.h"

namespace tarvona {

// The desktop's shell for Tarvona, which holds no GIO of its own: tarvona-gio.so is opened at
// the first launch, so a run with nothing due maps none of GIO's libraries. A module that
// cannot be opened fails every launch, with the loader's words as the reason.
class LoadedShell final : public Shell {
public:
    // module: the path of tarvona-gio.so; sessionFileLimit as for GioShell.
    LoadedShell(std::string module, std::uint64_t sessionFileLimit)
        : m_module(std::move(module)), m_sessionFileLimit(sessionFileLimit) {}

    int32_t LaunchCommand(WindowHandle owner, const std::string& command, int32_t style) override;
    std::string LastFailureReason() const override;

private:
    bool Load();

    std::string m_module;
    std::uint64_t m_sessionFileLimit;
    std::unique_ptr<Shell> m_shell;
    std::string m_loadError;
};

}  // namespace tarvona
