#include "run_common.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>

#include "clock.h"
#include "desktop.h"
#include "launch_mode.h"
#include "program_folder.h"
#include "program_state.h"
#include "shell.h"
#include "user_folders.h"

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

namespace {

// Code is taken from beside the program only where nobody but the user, or root, could have
// put it there: cron's and OpenSSH's rules, as for the data folder.
bool MayHoldCode(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if (st.st_uid == 0 && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0) return true;
    return CheckTrust(st) == Trust::Trusted;
}

}  // namespace

std::string PrivateFile(const std::string& name) {
    const std::string folder = ProgramFolder();
    const std::string beside = std::filesystem::path(folder) / name;
    return MayHoldCode(folder) && MayHoldCode(beside) ? beside : TARVONA_PRIVATE_DIR "/" + name;
}

}  // namespace tarvona
