#include "display.h"

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

namespace tarvona {

namespace {

// A display server can accept a connection and then never answer (frozen, or a host that drops
// packets), so it is given this long to answer. X is tried in a child that is given up on, since
// xcb_connect cannot be interrupted; Wayland's one round trip is done here with poll.
constexpr auto kXTimeout = std::chrono::seconds(3);
constexpr auto kWaylandTimeout = std::chrono::seconds(3);

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// libxcb is opened only where there is a DISPLAY to try, so a run without one maps none of it.
struct Xcb {
    decltype(&xcb_connect) connect = nullptr;
    decltype(&xcb_connection_has_error) hasError = nullptr;
};

bool LoadXcb(Xcb& xcb) {
    void* library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    xcb.connect = reinterpret_cast<decltype(xcb.connect)>(::dlsym(library, "xcb_connect"));
    xcb.hasError =
        reinterpret_cast<decltype(xcb.hasError)>(::dlsym(library, "xcb_connection_has_error"));
    return xcb.connect && xcb.hasError;
}

bool XAnswers() {
    Xcb xcb;
    if (Environment("DISPLAY").empty() || !LoadXcb(xcb)) return false;
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        // Given up on, this child may live on past us: it holds none of our files (the run's
        // locks among them) and ends with us.
        ::close_range(3, ~0u, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(1);  // we were gone before it could be said
        xcb_connection_t* connection = xcb.connect(nullptr, nullptr);
        ::_exit(xcb.hasError(connection) ? 1 : 0);
    }
    const auto deadline = std::chrono::steady_clock::now() + kXTimeout;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return false;
}

// Reads until the compositor answers the sync request of WaylandAnswers (the callback's "done"
// event) or closes, fails or lets the time run out.
bool AwaitSyncDone(int fd, std::chrono::steady_clock::time_point deadline) {
    constexpr uint32_t kCallback = 2, kDone = 0;
    std::vector<unsigned char> received;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return false;
        unsigned char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;  // closed or broken
        received.insert(received.end(), buffer, buffer + n);
        // Each event: object id, then size (high 16 bits) and opcode (low 16 bits), native order.
        while (received.size() >= 8) {
            uint32_t header[2];
            std::memcpy(header, received.data(), sizeof header);
            const size_t size = header[1] >> 16;
            if (size < 8) return false;
            if (received.size() < size) break;
            if (header[0] == kCallback && (header[1] & 0xffff) == kDone) return true;
            received.erase(received.begin(), received.begin() + static_cast<long>(size));
        }
    }
}

// A compositor answers when one wl_display.sync round trip completes: a socket that accepts but
// never answers, or closes at once, is no display.
bool WaylandAnswers() {
    std::string name = Environment("WAYLAND_DISPLAY");
    if (name.empty()) name = "wayland-0";
    if (name[0] != '/') {
        const std::string runtime = Environment("XDG_RUNTIME_DIR");
        if (runtime.empty()) return false;
        name = runtime + "/" + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + kWaylandTimeout;
    // wl_display (object 1) request 0, sync, with the new callback object 2.
    const uint32_t sync[3] = {1, (12u << 16) | 0u, 2};
    const bool answered =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, sync, sizeof sync, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof sync) &&
        AwaitSyncDone(fd, deadline);
    ::close(fd);
    return answered;
}

bool PluginInstalled(const std::string& pluginFolder, const std::string& file) {
    std::vector<std::string> folders{pluginFolder};
    std::stringstream extra(Environment("QT_PLUGIN_PATH"));
    for (std::string folder; std::getline(extra, folder, ':');)
        if (!folder.empty()) folders.push_back(folder);
    std::error_code ec;
    for (const std::string& folder : folders)
        if (std::filesystem::exists(folder + "/platforms/" + file, ec)) return true;
    return false;
}

// Qt's own choice when QT_QPA_PLATFORM is not set: Wayland first in a Wayland session, except
// on GNOME, where Qt prefers XWayland.
std::string DefaultPlatforms() {
    const std::string session = Environment("XDG_SESSION_TYPE");
    std::string desktop = Environment("XDG_CURRENT_DESKTOP") + Environment("XDG_SESSION_DESKTOP");
    for (char& c : desktop) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool waylandFirst =
        session.find("wayland") != std::string::npos && desktop.find("gnome") == std::string::npos;
    return waylandFirst ? "wayland;xcb" : "xcb;wayland";
}

}  // namespace

DisplayChoice FindDisplay(const std::string& pluginFolder) {
    std::string requested = Environment("QT_QPA_PLATFORM");
    if (requested.empty()) requested = DefaultPlatforms();

    const bool x = XAnswers();
    const bool wayland = WaylandAnswers();
    // Nothing started later (GIO's D-Bus autolaunch, the programs we open) may wait on a display
    // that did not answer.
    if (!x) ::unsetenv("DISPLAY");
    if (!wayland) ::unsetenv("WAYLAND_DISPLAY");

    DisplayChoice choice;
    std::stringstream entries(requested);
    for (std::string entry; std::getline(entries, entry, ';');) {
        const std::string name = entry.substr(0, entry.find(':'));
        bool answers = false;
        if (name == "xcb") {
            answers = x && PluginInstalled(pluginFolder, "libqxcb.so");
        } else if (name == "wayland" || name == "wayland-egl") {
            const std::string plugin =
                name == "wayland" ? "libqwayland-generic.so" : "libqwayland-egl.so";
            answers = wayland && PluginInstalled(pluginFolder, plugin);
        } else if (!name.empty()) {
            choice.askedForOther = choice.platforms.empty();
            break;
        }
        if (answers) choice.platforms += (choice.platforms.empty() ? "" : ";") + entry;
    }
    return choice;
}

void UseDisplay(const DisplayChoice& choice, const std::string& fallback) {
    const std::string platforms =
        fallback.empty() ? choice.platforms : choice.platforms + ";" + fallback;
    ::setenv("QT_QPA_PLATFORM", platforms.c_str(), 1);
}

}  // namespace tarvona
