#include "user_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace tarvona {

bool IsOwnFolder(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (st.st_uid != ::geteuid() || (st.st_mode & S_IWOTH) != 0) return false;
    return (st.st_mode & S_IWUSR) != 0 && ::access(path.c_str(), W_OK) == 0;
}

std::string UserDataHome() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // The XDG rules ignore a relative path here.
    if (dataHome && dataHome[0] == '/') return dataHome;
    std::string home;
    if (const char* env = std::getenv("HOME"); env && env[0] == '/') {
        home = env;
    } else if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir) {
        home = user->pw_dir;
    }
    if (home.empty()) home = "/";
    return (std::filesystem::path(home) / ".local/share").string();
}

bool MakePrivateFolder(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::string parent = std::filesystem::path(path).parent_path().string();
    if (parent.empty() || parent == path || !MakePrivateFolder(parent)) return false;
    if (::mkdir(path.c_str(), 0700) != 0)
        return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        HandToFolderOwner(fd, parent);
        ::close(fd);
    }
    return true;
}

void HandToFolderOwner(int fd, const std::string& folder) {
    if (::geteuid() != 0) return;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || st.st_uid == 0) return;
    (void)!::fchown(fd, st.st_uid, st.st_gid);
}

}  // namespace tarvona
