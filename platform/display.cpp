#include "display.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

namespace tarvona {

namespace {

// An X server can accept a connection and then never answer (frozen, or a host that drops
// packets), so the connection is tried in a child that is given up on after this long.
constexpr auto kXTimeout = std::chrono::seconds(3);

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool XAnswers() {
    if (Environment("DISPLAY").empty()) return false;
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        ::_exit(xcb_connection_has_error(connection) ? 1 : 0);
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
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
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

    DisplayChoice choice;
    std::stringstream entries(requested);
    for (std::string entry; std::getline(entries, entry, ';');) {
        const std::string name = entry.substr(0, entry.find(':'));
        bool answers = false;
        if (name == "xcb") {
            answers = PluginInstalled(pluginFolder, "libqxcb.so") && XAnswers();
        } else if (name == "wayland" || name == "wayland-egl") {
            const std::string plugin =
                name == "wayland" ? "libqwayland-generic.so" : "libqwayland-egl.so";
            answers = PluginInstalled(pluginFolder, plugin) && WaylandAnswers();
        } else if (!name.empty()) {
            choice.askedForOther = choice.platforms.empty();
            break;
        }
        if (answers) choice.platforms += (choice.platforms.empty() ? "" : ";") + entry;
    }
    return choice;
}

void UseDisplay(const DisplayChoice& choice) {
    ::setenv("QT_QPA_PLATFORM", choice.platforms.c_str(), 1);
}

}  // namespace tarvona
