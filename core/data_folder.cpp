#include "data_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "program_state.h"
#include "user_folders.h"

namespace tarvona {

namespace fs = std::filesystem;

namespace {

bool IsUnderUsr(const std::string& folder) {
    const std::string path = fs::path(folder).lexically_normal().string();
    return path == "/usr" || path == "/usr/" || path.rfind("/usr/", 0) == 0;
}

// The program folder when it is the user's own: theirs and writable by them, outside /usr.
// Whether others can write it too is the trust test's to say.
std::optional<Folder> OwnProgramFolder(const std::string& programFolder) {
    int error = 0;
    auto folder = IsUnderUsr(programFolder) ? std::nullopt : Folder::Open(programFolder, error);
    if (!folder) return std::nullopt;
    const struct stat st = folder->Info();
    if (st.st_uid != ::geteuid() || (st.st_mode & S_IWUSR) == 0) return std::nullopt;
    return folder;
}

std::string Refused(const std::string& path, const std::string& why) {
    return path + " cannot hold your events: " + why + ".";
}

// Root with a user's HOME (sudo without -H, su without -) must not take over the user's files,
// and is told how to reach them instead.
std::string OwnerHint(const struct stat& st) {
    if (::geteuid() != 0) return "";
    const std::string owner = UserName(st.st_uid);
    return " Run Tarvona as " + owner + " (for example: sudo -u " + owner +
           " tarvona), or with a home folder of your own (sudo -H).";
}

std::string TrustProblem(const std::string& path, const struct stat& st, Trust trust) {
    const std::string text = Refused(path, TrustProblemText(trust, st));
    return trust == Trust::OtherOwner ? text + OwnerHint(st) : text;
}

// O_NOFOLLOW with O_DIRECTORY says ENOTDIR for a link to a folder.
std::string OpenProblem(const std::string& path, int error) {
    struct stat st {};
    const bool link = ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    return Refused(path, link               ? "it is a link"
                         : error == ENOTDIR ? "it is not a folder"
                                            : std::strerror(error));
}

// Makes a missing folder and its missing parents with mode 0700, as XDG asks, but only inside
// folders of the running user: a folder in somebody else's would be a change to their files.
// A link is followed only to a parent (~/.local/share may well be one).
std::optional<Folder> MakeFolder(const std::string& path, bool followLink, std::string& problem) {
    int error = 0;
    if (auto folder = Folder::Open(path, error, followLink)) return folder;
    const fs::path name(path);
    const std::string parentPath = name.parent_path().string();
    if (error != ENOENT || parentPath.empty() || parentPath == path) {
        problem = OpenProblem(path, error);
        return std::nullopt;
    }
    const auto parent = MakeFolder(parentPath, true, problem);
    if (!parent) return std::nullopt;
    const struct stat st = parent->Info();
    if (st.st_uid != ::geteuid()) {
        problem = Refused(path, "it would be made in " + parentPath + ", which belongs to " +
                                    UserName(st.st_uid)) +
                  OwnerHint(st);
        return std::nullopt;
    }
    const std::string leaf = name.filename().string();
    if (!parent->MakeSub(leaf, 0700) && errno != EEXIST) {
        problem = Refused(path, std::string("it cannot be made (") + std::strerror(errno) + ")");
        return std::nullopt;
    }
    auto made = parent->OpenSub(leaf, error);
    if (!made) problem = OpenProblem(path, error);
    return made;
}

OpenedFolder Trusted(std::optional<Folder> folder, const std::string& path) {
    OpenedFolder result;
    if (!folder) return result;
    const struct stat st = folder->Info();
    if (const Trust trust = CheckTrust(st); trust != Trust::Trusted)
        result.problem = TrustProblem(path, st, trust);
    else
        result.folder = std::move(folder);
    return result;
}

}  // namespace

std::string AddSlash(const std::string& path) {
    if (!path.empty() && path.back() == '/') return path;
    return path + "/";
}

std::string ChooseDataFolder(const std::string& programFolder, bool programFolderIsOwn,
                             const std::string& userDataHome) {
    if (programFolderIsOwn && !IsUnderUsr(programFolder)) return programFolder;
    return AddSlash(userDataHome) + "tarvona";
}

OpenedFolder OpenDataFolder(const std::string& programFolder, const std::string& userDataHome,
                            bool makeMissing) {
    auto program = OwnProgramFolder(programFolder);
    const std::string path = ChooseDataFolder(programFolder, program.has_value(), userDataHome);
    if (program) return Trusted(std::move(program), path);
    OpenedFolder result;
    struct stat st {};
    if (!makeMissing && ::lstat(path.c_str(), &st) != 0 && errno == ENOENT) {
        result.missing = true;
        return result;
    }
    auto folder = MakeFolder(path, false, result.problem);
    if (!folder) return result;
    return Trusted(std::move(folder), path);
}

std::string DataFolderPath(const std::string& programFolder, const std::string& userDataHome) {
    return ChooseDataFolder(programFolder, OwnProgramFolder(programFolder).has_value(),
                            userDataHome);
}

void SetUpPaths(ProgramState& state, Folder folder) {
    const std::string slashed = AddSlash(folder.Path());
    state.MessageDir = slashed + kMessagesName;
    state.TempList = slashed + kTempListName;
    state.IniFile = slashed + kIniName;
    state.Data = std::move(folder);
}

bool SetUpPaths(ProgramState& state, const std::string& path) {
    int error = 0;
    auto folder = Folder::Open(path, error);
    if (!folder) return false;
    SetUpPaths(state, std::move(*folder));
    return true;
}

std::optional<Folder> OpenMessageFolder(const ProgramState& state) {
    int error = 0;
    auto folder = state.Data->OpenSub(kMessagesName, error);
    if (!folder || CheckTrust(folder->Info()) != Trust::Trusted) return std::nullopt;
    return folder;
}

}  // namespace tarvona
