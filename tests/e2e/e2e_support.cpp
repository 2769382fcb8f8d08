#include "e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
// those of processes that ended a while ago are removed. A younger pair may still be opened by
// a program a run started (see StartFakeTimeKeeper).
void RemoveFakeTimeLeftovers() {
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(30);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ec)) {
        const std::string name = entry.path().filename().string();
        for (const std::string prefix : {"faketime_shm_", "sem.faketime_sem_"}) {
            if (name.rfind(prefix, 0) != 0) continue;
            const std::string pid = name.substr(prefix.size());
            if (!Exists("/proc/" + pid) && entry.last_write_time(ec) < old)
                std::filesystem::remove(entry.path(), ec);
        }
    }
}

// Every process under libfaketime opens the shared pair named in FAKETIME_SHARED, which by
// default belongs to the run and goes with it: a program the run started just before it ended
// could then map an empty file and die of SIGBUS before its first line. A keeper process owns
// the pair instead; killed, it leaves the pair for the run's late programs.
pid_t StartFakeTimeKeeper(const std::vector<std::string>& fakeTime, std::string& shared) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    // Nothing of the test's own output, which ctest waits on, goes with it.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> environment = fakeTime;
    environment.push_back("PATH=/usr/bin:/bin");
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    char sh[] = "/bin/sh", c[] = "-c", script[] = "echo \"$FAKETIME_SHARED\"; exec sleep 3600";
    char* argv[] = {sh, c, script, nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, sh, &actions, nullptr, argv, envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    char buffer[600];
    ssize_t got = 0, n = 0;
    while (got < static_cast<ssize_t>(sizeof buffer) &&
           (n = ::read(pipe[0], buffer + got, sizeof buffer - got)) > 0 &&
           std::memchr(buffer + got, '\n', n) == nullptr)
        got += n;
    if (n > 0) got += n;
    ::close(pipe[0]);
    shared.assign(buffer, got);
    shared = shared.substr(0, shared.find('\n'));
    return pid;
}

}  // namespace

InstalledProgram::InstalledProgram() {
    RemoveFakeTimeLeftovers();
    std::filesystem::copy_file(TARVONA_BINARY, m_dir / "Tarvona");
    std::filesystem::copy_file(TARVONA_WINDOWS_BINARY, m_dir / "tarvona-windows");
    std::filesystem::copy_file(TARVONA_GIO_MODULE, m_dir / "tarvona-gio.so");
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
    pid_t keeper = -1;
    if (day) {
        // libfaketime itself rather than the faketime wrapper: the wrapper waits for every
        // program the run starts, and its semaphores can collide between runs.
        const std::vector<std::string> fakeTime = {"LD_PRELOAD=" + FakeTimeLibrary(),
                                                   "FAKETIME=@" + *day + " 10:00:00",
                                                   "FAKETIME_DONT_FAKE_MONOTONIC=1"};
        environment.insert(environment.end(), fakeTime.begin(), fakeTime.end());
        std::string shared;
        keeper = StartFakeTimeKeeper(fakeTime, shared);
        if (keeper < 0 || shared.empty()) throw std::runtime_error("no libfaketime keeper");
        environment.push_back("FAKETIME_SHARED=" + shared);
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
    return RunningProgram(pid, output, keeper);
}

RunningProgram::RunningProgram(RunningProgram&& other) noexcept
    : m_pid(other.m_pid),
      m_output(std::move(other.m_output)),
      m_keeper(other.m_keeper),
      m_status(other.m_status) {
    other.m_pid = -1;
    other.m_keeper = -1;
}

RunningProgram::~RunningProgram() {
    if (m_pid > 0 && !m_status) Wait();
    EndKeeper();
}

void RunningProgram::EndKeeper() {
    if (m_keeper <= 0) return;
    ::kill(m_keeper, SIGKILL);
    ::waitpid(m_keeper, nullptr, 0);
    m_keeper = -1;
    RemoveFakeTimeLeftovers();
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
    EndKeeper();
    run.out = ReadFile(m_output + "/out");
    run.err += ReadFile(m_output + "/err");
    std::error_code ec;
    std::filesystem::remove_all(m_output, ec);
    return run;
}

}  // namespace tarvona::test
