// How a command text is opened, in this order: one pair of enclosing double quotes is dropped;
// a URL goes to its scheme's handler; otherwise the text is a path (a bare name that is no file
// here is looked up on PATH). A folder goes to the folder handler, an ELF binary or #! script is
// started directly, a .desktop file starts its application, anything else is a document for its
// content type's default application. Every failure becomes a Windows failure code.
#include <dirent.h>
#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "shell.h"

extern char** environ;

namespace tarvona {

namespace fs = std::filesystem;

namespace {

template <typename T>
struct GObjectDeleter {
    void operator()(T* object) const {
        if (object) g_object_unref(object);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectDeleter<T>>;

struct ErrorHolder {
    GError* error = nullptr;
    ~ErrorHolder() {
        if (error) g_error_free(error);
    }
};

std::string Unquoted(const std::string& command) {
    if (command.size() >= 2 && command.front() == '"' && command.back() == '"' &&
        command.find('"', 1) == command.size() - 1)
        return command.substr(1, command.size() - 2);
    return command;
}

bool IsUrl(const std::string& text) {
    if (g_ascii_strncasecmp(text.c_str(), "mailto:", 7) == 0) return true;
    size_t colon = text.find("://");
    if (colon == std::string::npos || colon == 0 || !g_ascii_isalpha(text[0])) return false;
    for (size_t i = 1; i < colon; ++i) {
        char c = text[i];
        if (!g_ascii_isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

// GIO's error as the nearest failure code, with its message as the reason.
int32_t GioFailure(const GError* error, std::string& reason) {
    if (!error) return kOutOfMemoryOrCorrupt;
    reason = error->message;
    if (error->domain != G_IO_ERROR) return kOutOfMemoryOrCorrupt;
    switch (error->code) {
        case G_IO_ERROR_NOT_FOUND:
            return kFileNotFound;
        case G_IO_ERROR_PERMISSION_DENIED:
            return kAccessDenied;
        case G_IO_ERROR_NOT_SUPPORTED:
            return kNoAssociation;
        default:
            return kOutOfMemoryOrCorrupt;
    }
}

// The application's id without ".desktop": the name of its scope.
std::string AppName(GAppInfo* app) {
    std::string id = g_app_info_get_id(app) ? g_app_info_get_id(app) : g_app_info_get_name(app);
    if (g_str_has_suffix(id.c_str(), ".desktop")) id.resize(id.size() - 8);
    return id;
}

// What the start helper of StartProgram reports.
struct Spawned {
    int error = ENOMEM;
    pid_t pid = 0;
};

int32_t SpawnFailure(int error) {
    switch (error) {
        case 0:
            return kLaunchSucceeded;
        case EACCES:
        case EPERM:
            return kAccessDenied;
        case ENOEXEC:
            return kBadExecutable;
        case ENOMEM:
            return kNotEnoughMemory;
        default:
            return kOutOfMemoryOrCorrupt;
    }
}

int32_t MissingPath(const std::string& path) {
    fs::path folder = fs::path(path).parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec)) return kPathNotFound;
    return kFileNotFound;
}

std::string ResolveBareName(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0) return name;
    char* found = g_find_program_in_path(name.c_str());
    if (!found) return name;
    std::string resolved = found;
    g_free(found);
    return resolved;
}

// The first bytes of a regular file; false with errno set when it cannot be read.
bool ReadHead(const std::string& path, std::string& head) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    char buffer[4096];
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        while ((n = ::read(fd, buffer, sizeof buffer)) < 0 && errno == EINTR) {
        }
    } else {
        errno = EINVAL;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    if (n < 0) return false;
    head.assign(buffer, static_cast<size_t>(n));
    return true;
}

bool HasExecutableType(const std::string& head) {
    return head.rfind(
               "\x7f"
               "ELF",
               0) == 0 ||
           head.rfind("#!", 0) == 0;
}

// GLib aborts the whole process where it cannot get a descriptor it needs (its main context's
// wakeup, a worker thread's pipe), so a launch without a few to spare fails here instead. The
// open descriptors are counted, not opened one by one.
bool DescriptorsToSpare(int count) {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY) return true;
    DIR* listing = ::opendir("/proc/self/fd");
    if (!listing) return errno != EMFILE && errno != ENFILE;  // no /proc: GLib will tell
    const int own = ::dirfd(listing);
    rlim_t used = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const int fd = std::atoi(entry->d_name);
        if (entry->d_name[0] != '.' && fd != own && static_cast<rlim_t>(fd) < files.rlim_cur)
            ++used;
    }
    ::closedir(listing);
    return used + static_cast<rlim_t>(count) <= files.rlim_cur;
}

// What every program we start gets: its own session, default signals, no file of ours
// but standard input from /dev/null and our standard output and error (the journal).
struct SpawnSettings {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    SpawnSettings() {
        posix_spawnattr_init(&attributes);
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setflags(
            &attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    }
    ~SpawnSettings() {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;
};

constexpr int kDescriptorsForGio = 16;

}  // namespace

int32_t GioShell::LaunchApp(GAppInfo* app, const std::string& uri) {
    GPtr<GAppLaunchContext> context(g_app_launch_context_new());
    ChildHold hold(m_scopes, AppName(app), m_sessionFileLimit);
    ErrorHolder holder;
    GList uris{const_cast<char*>(uri.c_str()), nullptr, nullptr};
    GList* list = uri.empty() ? nullptr : &uris;
    gboolean launched = FALSE;
    if (G_IS_DESKTOP_APP_INFO(app)) {
        // GIO's own launch, with the hold run in each child it forks.
        launched = g_desktop_app_info_launch_uris_as_manager(
            G_DESKTOP_APP_INFO(app), list, context.get(), G_SPAWN_SEARCH_PATH, &ChildHold::InChild,
            &hold, nullptr, nullptr, &holder.error);
    } else {
        launched = g_app_info_launch_uris(app, list, context.get(), &holder.error);
    }
    return launched ? kLaunchSucceeded : GioFailure(holder.error, m_reason);
}

int32_t GioShell::OpenUrl(const std::string& url) {
    char* scheme = g_uri_parse_scheme(url.c_str());
    std::string lowered = scheme ? scheme : "mailto";
    g_free(scheme);
    for (char& c : lowered) c = g_ascii_tolower(c);
    GPtr<GAppInfo> app(g_app_info_get_default_for_uri_scheme(lowered.c_str()));
    if (!app) return kNoAssociation;
    return LaunchApp(app.get(), url);
}

int32_t GioShell::OpenWithDefault(const std::string& contentType, const std::string& path) {
    GPtr<GAppInfo> app(g_app_info_get_default_for_type(contentType.c_str(), FALSE));
    if (!app) return kNoAssociation;
    GPtr<GFile> file(g_file_new_for_path(path.c_str()));
    char* uri = g_file_get_uri(file.get());
    const std::string fileUri = uri ? uri : "";
    g_free(uri);
    return LaunchApp(app.get(), fileUri);
}

// Started in its own session so that it lives on after we end. With scopes to make, through a
// short-lived start helper that is held until its scope is there, so the program is born in
// it and is never our zombie; without, spawned straight away, at the cost of a small process,
// and reaped by a later launch or by whoever inherits it when we end. posix_spawn reports exec
// errors synchronously and, unlike g_spawn, never hands a file it cannot execute to /bin/sh.
int32_t GioShell::StartProgram(const std::string& path) {
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    if (!m_scopes.Active()) {
        ReapEndedPrograms();
        SpawnSettings settings;
        rlimit own{};
        ::getrlimit(RLIMIT_NOFILE, &own);
        ::setrlimit(RLIMIT_NOFILE, &m_sessionFileLimit);
        pid_t pid = -1;
        const int error =
            posix_spawn(&pid, path.c_str(), &settings.actions, &settings.attributes, argv, environ);
        ::setrlimit(RLIMIT_NOFILE, &own);
        if (error == 0) m_started.push_back(pid);
        if (error != 0) m_reason = std::strerror(error);
        return SpawnFailure(error);
    }
    ChildHold hold(m_scopes, fs::path(path).filename().string(), m_sessionFileLimit);
    SpawnSettings settings;  // made here: the child may only make async-signal-safe calls
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return kOutOfMemoryOrCorrupt;
    const pid_t helper = ::fork();
    if (helper < 0) {
        ::close(pipe[0]);
        ::close(pipe[1]);
        return kNotEnoughMemory;
    }
    if (helper == 0) {
        ::close(pipe[0]);
        ChildHold::InChild(&hold);
        Spawned spawned;
        spawned.error = posix_spawn(&spawned.pid, path.c_str(), &settings.actions,
                                    &settings.attributes, argv, environ);
        (void)!::write(pipe[1], &spawned, sizeof spawned);
        ::_exit(0);
    }
    ::close(pipe[1]);
    Spawned spawned;
    while (::read(pipe[0], &spawned, sizeof spawned) < 0 && errno == EINTR) {
    }
    ::close(pipe[0]);
    while (::waitpid(helper, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (spawned.error != 0) m_reason = std::strerror(spawned.error);
    return SpawnFailure(spawned.error);
}

void GioShell::ReapEndedPrograms() {
    std::erase_if(m_started, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

GioShell::~GioShell() {
    ReapEndedPrograms();
}

GioShell::GioShell(std::uint64_t sessionFileLimit) {
    ::getrlimit(RLIMIT_NOFILE, &m_sessionFileLimit);
    if (sessionFileLimit != 0 && sessionFileLimit < m_sessionFileLimit.rlim_cur)
        m_sessionFileLimit.rlim_cur = sessionFileLimit;
}

int32_t GioShell::LaunchCommand(WindowHandle, const std::string& command, int32_t style) {
    // Any number a hand edit put in the file: wrapped as the 32-bit show command it becomes.
    m_lastShowCommand = static_cast<int32_t>(static_cast<uint32_t>(style) + 1u);
    m_reason.clear();
    return Open(command);
}

int32_t GioShell::Open(const std::string& command) {
    const std::string name = Unquoted(command);
    // A NUL byte would cut the name short at a file nobody named.
    if (name.empty() || name.find('\0') != std::string::npos) return kFileNotFound;
    if (!DescriptorsToSpare(kDescriptorsForGio)) {
        m_reason = "too few file descriptors left";
        return kOutOfMemoryOrCorrupt;
    }
    if (IsUrl(name)) return OpenUrl(name);

    const std::string path = ResolveBareName(name);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == EACCES) return kAccessDenied;
        if (errno == ENOMEM) return kNotEnoughMemory;
        return MissingPath(path);
    }
    if (S_ISDIR(st.st_mode)) return OpenWithDefault("inode/directory", path);

    // A FIFO, device or socket is no document: no application opens it, and reading its head
    // could block for good.
    if (!S_ISREG(st.st_mode)) return kNoAssociation;

    std::string head;
    if (!ReadHead(path, head)) {
        m_reason = std::strerror(errno);
        return errno == EACCES || errno == EPERM ? kAccessDenied : kOutOfMemoryOrCorrupt;
    }

    if (HasExecutableType(head)) {
        const bool runnable =
            (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0 && ::access(path.c_str(), X_OK) == 0;
        return runnable ? StartProgram(path) : kAccessDenied;
    }
    if (g_str_has_suffix(path.c_str(), ".desktop")) {
        GPtr<GDesktopAppInfo> app(g_desktop_app_info_new_from_filename(path.c_str()));
        if (!app) return kOutOfMemoryOrCorrupt;
        return LaunchApp(G_APP_INFO(app.get()), "");
    }

    gboolean uncertain = FALSE;
    char* type = g_content_type_guess(path.c_str(), reinterpret_cast<const guchar*>(head.data()),
                                      head.size(), &uncertain);
    std::string contentType = type ? type : "application/octet-stream";
    g_free(type);
    return OpenWithDefault(contentType, path);
}

}  // namespace tarvona
