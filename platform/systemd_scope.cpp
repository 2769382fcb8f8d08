#include "systemd_scope.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "session_bus.h"

namespace tarvona {

namespace {

// The time a program may wait for its scope: the call and the move together.
constexpr auto kScopeWait = std::chrono::milliseconds(1000);
// A child gives up a little later, so that the answer, when it comes, still reaches it.
constexpr int kChildWaitMs = 1500;

bool NoUserManager(const GError* error) {
    return g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER);
}

// The manager answers before its job has moved the process, so the move is seen in the
// process's own cgroup line.
bool InUnit(pid_t pid, const std::string& unit) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/cgroup");
    const std::string tail = "/" + unit;
    for (std::string line; std::getline(file, line);)
        if (line.size() >= tail.size() &&
            line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
            return true;
    return false;
}

int HighestOpenDescriptor() {
    int highest = 2;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        const int fd = std::atoi(entry.path().filename().c_str());
        if (fd > highest) highest = fd;
    }
    return highest;
}

void CloseBoth(int (&pipe)[2]) {
    for (int& fd : pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace

bool ScopeMover::Active() {
    if (!m_given_up && !SessionBus()) m_given_up = true;
    return !m_given_up;
}

std::string ScopeMover::UnitName(const std::string& name, unsigned random) {
    std::string escaped;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (g_ascii_isalnum(c) || c == '_' || c == ':' || (c == '.' && i > 0)) {
            escaped += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            escaped += hex;
        }
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", random);
    return "app-tarvona-" + (escaped.empty() ? std::string("program") : escaped) + "-" + suffix +
           ".scope";
}

void ScopeMover::Move(pid_t pid, const std::string& name) {
    if (pid <= 0 || !Active()) return;
    const auto deadline = std::chrono::steady_clock::now() + kScopeWait;
    static std::mt19937 random{std::random_device{}()};
    const std::string unit = UnitName(name, static_cast<unsigned>(random()));

    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a(sv)"));
    GVariantBuilder pids;
    g_variant_builder_init(&pids, G_VARIANT_TYPE("au"));
    g_variant_builder_add(&pids, "u", static_cast<guint32>(pid));
    g_variant_builder_add(&properties, "(sv)", "PIDs", g_variant_builder_end(&pids));
    g_variant_builder_add(&properties, "(sv)", "CollectMode",
                          g_variant_new_string("inactive-or-failed"));
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        SessionBus(), "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
        "org.freedesktop.systemd1.Manager", "StartTransientUnit",
        g_variant_new("(ssa(sv)a(sa(sv)))", unit.c_str(), "fail", &properties, nullptr),
        G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NO_AUTO_START,
        static_cast<int>(kScopeWait.count()), nullptr, &error);
    if (reply) {
        g_variant_unref(reply);
        while (!InUnit(pid, unit)) {
            if (std::chrono::steady_clock::now() >= deadline) {
                std::cerr << "Tarvona: the user manager did not move " << name
                          << " into its scope in time; programs are opened without scopes\n";
                m_given_up = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return;
    }
    if (NoUserManager(error)) {
        m_given_up = true;  // a bus without systemd: nothing to do, now or later
    } else if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT)) {
        std::cerr << "Tarvona: the user manager does not answer; programs are opened without "
                     "scopes\n";
        m_given_up = true;
    } else {
        std::cerr << "Tarvona: " << name << " stays in Tarvona's own group: " << error->message
                  << '\n';
    }
    g_error_free(error);
}

ChildHold::ChildHold(ScopeMover& scopes, std::string name, const rlimit& sessionFileLimit)
    : m_scopes(scopes), m_name(std::move(name)), m_fileLimit(sessionFileLimit) {
    m_highestFd = HighestOpenDescriptor();
    if (!m_scopes.Active()) return;
    if (::pipe2(m_request, O_CLOEXEC) != 0 || ::pipe2(m_answer, O_CLOEXEC) != 0 ||
        ::pipe2(m_stop, O_CLOEXEC) != 0) {
        CloseBoth(m_request);
        CloseBoth(m_answer);
        CloseBoth(m_stop);
        return;
    }
    m_active = true;
    m_server = std::thread([this] { Serve(); });
}

ChildHold::~ChildHold() {
    if (m_server.joinable()) {
        ::close(m_stop[1]);
        m_stop[1] = -1;
        m_server.join();
    }
    CloseBoth(m_request);
    CloseBoth(m_answer);
    CloseBoth(m_stop);
}

void ChildHold::Serve() {
    for (;;) {
        pollfd ready[2] = {{m_request[0], POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(ready, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (!(ready[0].revents & POLLIN)) return;  // the launch is over
        pid_t pid = 0;
        if (::read(m_request[0], &pid, sizeof pid) != static_cast<ssize_t>(sizeof pid)) return;
        m_scopes.Move(pid, m_name);
        const char done = 1;
        (void)!::write(m_answer[1], &done, 1);
    }
}

void ChildHold::InChild(void* data) {
    const auto* hold = static_cast<const ChildHold*>(data);
    // Our copies of the pipes' other ends would keep us from seeing the parent end.
    if (hold->m_active) {
        ::close(hold->m_request[0]);
        ::close(hold->m_answer[1]);
        ::close(hold->m_stop[0]);
        ::close(hold->m_stop[1]);
    }
    // Locks and the data folder are files and folders; GLib's and our own reports are pipes.
    for (int fd = 3; fd <= hold->m_highestFd; ++fd) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && !S_ISFIFO(st.st_mode)) ::close(fd);
    }
    ::setrlimit(RLIMIT_NOFILE, &hold->m_fileLimit);
    if (!hold->m_active) return;
    const pid_t self = ::getpid();
    if (::write(hold->m_request[1], &self, sizeof self) != static_cast<ssize_t>(sizeof self))
        return;
    pollfd answer{hold->m_answer[0], POLLIN, 0};
    char done = 0;
    if (::poll(&answer, 1, kChildWaitMs) > 0 && (answer.revents & POLLIN))
        (void)!::read(hold->m_answer[0], &done, 1);
}

}  // namespace tarvona
