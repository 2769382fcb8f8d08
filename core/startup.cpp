#include "startup.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <sstream>

#include "desktop.h"
#include "event_table.h"
#include "file_access.h"
#include "launch_run.h"
#include "program_state.h"

namespace tarvona {

std::string AddSlash(const std::string& path) {
    if (!path.empty() && path.back() == '/') return path;
    return path + "/";
}

void SetUpPaths(ProgramState& state, const std::string& programFolder) {
    state.ProgramFolder = programFolder;
    state.MessageDir = AddSlash(programFolder) + "Messages";
    state.TempList = AddSlash(programFolder) + "Tarvona.tmp";
    state.IniFile = AddSlash(programFolder) + "Tarvona.ini";
}

void PurgeTempList(const ProgramState& state) {
    auto list = ReadWholeFile(state.TempList);
    if (!list) return;

    std::string kept;
    std::istringstream lines(*list);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!IsMessageFile(line, state.MessageDir)) continue;
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(line, ec);
        if (ec || !std::filesystem::exists(status)) continue;  // already gone
        if (std::filesystem::is_directory(status)) continue;   // never a message file
        if (!IsReadOnly(state.MessageDir) && std::filesystem::remove(line, ec)) continue;
        kept += line + state.CrLf;
    }
    if (kept.empty()) {
        std::error_code ec;
        std::filesystem::remove(state.TempList, ec);
    } else if (kept != *list) {
        WriteFileAtomically(state.TempList, kept);
    }
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

void StartUp(ProgramState& state, const std::string& programFolder, Desktop& desktop) {
    SetUpPaths(state, programFolder);
    PurgeTempList(state);
    if (!EnsureMessageDir(state))
        desktop.messageBox("Unable to create message directory." + state.CrLf +
                               "Scheduling messages will not work correctly.",
                           "Error", Buttons::Ok);
    LoadEvents(state);
}

}  // namespace tarvona
