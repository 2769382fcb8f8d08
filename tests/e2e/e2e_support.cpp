#include "e2e_support.h"

#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>

#include <filesystem>

extern char** environ;

namespace tarvona::test {

InstalledProgram::InstalledProgram() {
    std::filesystem::copy_file(TARVONA_BINARY, m_dir / "Tarvona");
}

ProgramRun InstalledProgram::Run(const std::vector<std::string>& arguments,
                                 const std::vector<std::pair<std::string, std::string>>& env,
                                 const std::optional<std::string>& day) const {
    TempDir output;
    std::vector<std::string> argv;
    if (day) argv = {"/usr/bin/faketime", "-f", "@" + *day + " 10:00:00"};
    argv.push_back(m_dir / "Tarvona");
    argv.insert(argv.end(), arguments.begin(), arguments.end());

    std::vector<std::string> environment = {"PATH=/usr/local/bin:/usr/bin:/bin",
                                            "HOME=" + output.path(), "LANG=C.UTF-8",
                                            "TZ=UTC"};
    for (const auto& [name, value] : env) environment.push_back(name + "=" + value);

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
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

}  // namespace tarvona::test
