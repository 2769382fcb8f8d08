#include "startup.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "desktop.h"
#include "event_table.h"
#include "file_access.h"
#include "program_files.h"
#include "program_state.h"

namespace tarvona {

std::string AddSlash(const std::string& path) {
    if (!path.empty() && path.back() == '/') return path;
    return path + "/";
}

bool EnsureMessageDir(const ProgramState& state) {
    struct stat st {};
    if (::lstat(state.MessageDir.c_str(), &st) == 0) return true;
    if (errno != ENOENT) return false;
    const std::string folder = std::filesystem::path(state.MessageDir).parent_path().string();
    if (IsReadOnly(folder)) return false;
    return ::mkdir(state.MessageDir.c_str(), 0777) == 0;
}

bool IsLaunchMode(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) line += argument + " ";
    for (char& c : line)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return line.find("/start") != std::string::npos;
}

bool StartUp(ProgramState& state, const std::string& programFolder, Desktop& desktop) {
    SetUpPaths(state, programFolder);
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
