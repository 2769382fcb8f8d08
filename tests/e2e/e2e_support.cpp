#include "e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "xdg_desktop.h"

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
    return Start(arguments, env, day).Wait();
}

RunningProgram InstalledProgram::Start(const std::vector<std::string>& arguments,
                                       const std::vector<std::pair<std::string, std::string>>& env,
                                       const std::optional<std::string>& day) const {
    return StartBinary(m_dir / "Tarvona", arguments, env, day);
}

int ListenAt(const std::string& path) {
    ::unlink(path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(fd, 64) == 0)
        return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

ProgramRun RunBinary(const std::string& binary, const std::vector<std::string>& arguments,
                     const std::vector<std::pair<std::string, std::string>>& env) {
    return StartBinary(binary, arguments, env, std::nullopt).Wait();
}

RunningProgram StartBinary(const std::string& binary, const std::vector<std::string>& arguments,
                           const std::vector<std::pair<std::string, std::string>>& env,
                           const std::optional<std::string>& day) {
    char outputTemplate[] = "/tmp/tarvona-run-XXXXXX";
    const std::string output = ::mkdtemp(outputTemplate);
    std::vector<std::string> argv = {binary};
    argv.insert(argv.end(), arguments.begin(), arguments.end());

    std::vector<std::string> environment = {"PATH=/usr/local/bin:/usr/bin:/bin", "HOME=" + output,
                                            "LANG=C.UTF-8", "TZ=UTC"};
    // A sanitizer build's settings reach the program under test.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            environment.push_back(name + ("=" + std::string(value)));
    // A variable given here replaces its default above.
    for (const auto& [name, value] : env) {
        std::erase_if(environment, [&name](const std::string& entry) {
            return entry.rfind(name + "=", 0) == 0;
        });
        environment.push_back(name + "=" + value);
    }
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
    const std::string outPath = output + "/out", errPath = output + "/err";
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string folder = std::filesystem::path(binary).parent_path().string();
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = -1;
    if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return RunningProgram(pid, output, day.has_value());
}

RunningProgram::RunningProgram(RunningProgram&& other) noexcept
    : m_pid(other.m_pid),
      m_output(std::move(other.m_output)),
      m_faked(other.m_faked),
      m_status(other.m_status) {
    other.m_pid = -1;
}

RunningProgram::~RunningProgram() {
    if (m_pid > 0 && !m_status) Wait();
}

bool RunningProgram::Ended() {
    if (m_pid <= 0 || m_status) return true;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) != m_pid) return false;
    m_status = status;
    return true;
}

ProgramRun RunningProgram::Wait() {
    ProgramRun run;
    if (m_pid <= 0) return run;
    if (!WaitFor([this] { return Ended(); }, std::chrono::seconds(60))) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_status = status;
        run.err = "(killed after a minute)\n";
    }
    if (WIFEXITED(*m_status)) run.status = WEXITSTATUS(*m_status);
    if (m_faked) RemoveFakeTimeLeftovers();
    run.out = ReadFile(m_output + "/out");
    run.err += ReadFile(m_output + "/err");
    std::error_code ec;
    std::filesystem::remove_all(m_output, ec);
    return run;
}

}  // namespace tarvona::test
