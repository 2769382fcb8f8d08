#include "run_common.h"

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "clock.h"
#include "desktop.h"
#include "launch_mode.h"
#include "program_folder.h"
#include "program_state.h"
#include "shell.h"

namespace tarvona {

std::uint64_t RaiseFileLimit() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0) return 0;
    const std::uint64_t session = files.rlim_cur;
    if (files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    return session;
}

void RestoreFileLimit(std::uint64_t sessionLimit) {
    rlimit files{};
    if (sessionLimit == 0 || ::getrlimit(RLIMIT_NOFILE, &files) != 0) return;
    files.rlim_cur = sessionLimit;
    ::setrlimit(RLIMIT_NOFILE, &files);
}

std::string CommandName(const char* argv0) {
    const std::string name = std::filesystem::path(argv0 ? argv0 : "").filename().string();
    return name.empty() ? "tarvona" : name;
}

int LaunchWithoutWindows(ProgramState& state, Shell& shell) {
    ConsoleDesktop desktop;
    SystemClock clock;
    return ReportRun(StartAndRun(state, desktop, shell, clock, RunKind::Login));
}

std::string PrivateFile(const std::string& name) {
    std::string beside = ProgramFolder();
    if (beside != "/") beside += '/';
    beside += name;
    return ::access(beside.c_str(), F_OK) == 0 ? beside : TARVONA_PRIVATE_DIR "/" + name;
}

}  // namespace tarvona
