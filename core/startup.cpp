#include "startup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "desktop.h"
#include "event_table.h"
#include "file_access.h"
#include "program_files.h"
#include "program_state.h"
#include "user_folders.h"

namespace tarvona {

bool EnsureMessageDir(const ProgramState& state) {
    struct stat st {};
    if (::lstat(state.MessageDir.c_str(), &st) == 0) return true;
    if (errno != ENOENT) return false;
    const std::string folder = std::filesystem::path(state.MessageDir).parent_path().string();
    if (IsReadOnly(folder)) return false;
    if (::mkdir(state.MessageDir.c_str(), 0777) != 0) return false;
    const int fd =
        ::open(state.MessageDir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        HandToFolderOwner(fd, folder);
        ::close(fd);
    }
    return true;
}

bool IsLaunchMode(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) line += argument + " ";
    for (char& c : line)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return line.find("/start") != std::string::npos;
}

bool StartUp(ProgramState& state, const std::string& dataFolder, Desktop& desktop) {
    SetUpPaths(state, dataFolder);
    if (StateLock lock(state); lock.Held()) {
        RemoveStaleTemporaries(state);
        PurgeTempList(state);
    }
    if (!EnsureMessageDir(state))
        desktop.messageBox("Unable to create message directory." + state.CrLf +
                               "Scheduling messages will not work correctly.",
                           "Error", Buttons::Ok);
    return LoadEvents(state);
}

}  // namespace tarvona
