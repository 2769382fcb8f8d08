#include "user_folders.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tarvona {

namespace {

// A user-private group: the user's primary group, nobody else's primary group, and no other
// member listed. Looked up only for a group-writable folder, which is rare.
bool IsPrivateGroup(gid_t gid, uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    if (!user || user->pw_gid != gid) return false;
    const std::string name = user->pw_name;
    if (const group* entry = ::getgrgid(gid)) {
        for (char** member = entry->gr_mem; *member; ++member)
            if (name != *member) return false;
    }
    bool alone = true;
    ::setpwent();
    while (const passwd* other = ::getpwent())
        if (other->pw_gid == gid && other->pw_uid != uid) alone = false;
    ::endpwent();
    return alone;
}

}  // namespace

Trust CheckTrust(const struct stat& st) {
    const uid_t uid = ::geteuid();
    if (st.st_uid != uid) return Trust::OtherOwner;
    if (st.st_mode & S_IWOTH) return Trust::OthersWrite;
    if ((st.st_mode & S_IWGRP) && !IsPrivateGroup(st.st_gid, uid)) return Trust::GroupWrite;
    return Trust::Trusted;
}

std::string TrustProblemText(Trust trust, const struct stat& st) {
    switch (trust) {
        case Trust::Trusted:
            break;
        case Trust::OtherOwner:
            return "it belongs to " + UserName(st.st_uid) + ", not to " + UserName(::geteuid());
        case Trust::OthersWrite:
            return "others can write to it";
        case Trust::GroupWrite:
            return "its group has other members and can write to it";
    }
    return "";
}

std::string UserName(uid_t uid) {
    if (const passwd* user = ::getpwuid(uid); user && user->pw_name) return user->pw_name;
    return "user " + std::to_string(uid);
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

}  // namespace tarvona
