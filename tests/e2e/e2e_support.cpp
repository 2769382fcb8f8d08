#include "e2e_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace tarvona::test {

namespace {

std::string FakeTimeLibrary() {
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
                             "/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1",
                             "/usr/lib/faketime/libfaketime.so.1"})
        if (Exists(path)) return path;
    throw std::runtime_error("libfaketime is not installed (Debian package faketime)");
}

// libfaketime leaves a shared-memory file and a semaphore behind for every process it ran in;
// those of processes that have ended are removed.
void RemoveFakeTimeLeftovers() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ec)) {
        const std::string name = entry.path().filename().string();
        for (const std::string prefix : {"faketime_shm_", "sem.faketime_sem_"}) {
            if (name.rfind(prefix, 0) != 0) continue;
            const std::string pid = name.substr(prefix.size());
            if (!Exists("/proc/" + pid)) std::filesystem::remove(entry.path(), ec);
        }
    }
}

}  // namespace

InstalledProgram::InstalledProgram() {
    RemoveFakeTimeLeftovers();
    std::filesystem::copy_file(TARVONA_BINARY, m_dir / "Tarvona");
}

InstalledProgram::~InstalledProgram() {
    RemoveFakeTimeLeftovers();
}

ProgramRun InstalledProgram::Run(const std::vector<std::string>& arguments,
                                 const std::vector<std::pair<std::string, std::string>>& env,
                                 const std::optional<std::string>& day) const {
    TempDir output;
    std::vector<std::string> argv = {m_dir / "Tarvona"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());

    std::vector<std::string> environment = {"PATH=/usr/local/bin:/usr/bin:/bin",
                                            "HOME=" + output.path(), "LANG=C.UTF-8", "TZ=UTC"};
    for (const auto& [name, value] : env) environment.push_back(name + "=" + value);
    if (day) {
        // libfaketime itself rather than the faketime wrapper: the wrapper waits for every
        // program the run starts, and its semaphores can collide between runs.
        environment.push_back("LD_PRELOAD=" + FakeTimeLibrary());
        environment.push_back("FAKETIME=@" + *day + " 10:00:00");
        environment.push_back("FAKETIME_DONT_FAKE_MONOTONIC=1");
    }

    std::vector<char*> argp, envp;
    for (auto& a : argv) argp.push_back(a.data());
    argp.push_back(nullptr);
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string outPath = output / "out", errPath = output / "err";
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, m_dir.path().c_str());
    pid_t pid = 0;
    ProgramRun run;
    if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    if (day) RemoveFakeTimeLeftovers();
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

}  // namespace tarvona::test
