#include "program_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "file_access.h"
#include "file_lock.h"
#include "program_state.h"
#include "user_folders.h"

namespace tarvona {

namespace fs = std::filesystem;

namespace {

// Tarvona.tmp is a short list of paths; anything larger is no list of ours.
constexpr size_t kMaxTempList = 1024 * 1024;

const char* const kIniName = "Tarvona.ini";
const char* const kTempListName = "Tarvona.tmp";
const char* const kRunLockName = "Tarvona.lock";

bool IsUnderUsr(const std::string& folder) {
    const std::string path = fs::path(folder).lexically_normal().string();
    return path == "/usr" || path == "/usr/" || path.rfind("/usr/", 0) == 0;
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

std::string DataFolder(const std::string& programFolder) {
    return ChooseDataFolder(programFolder, IsOwnFolder(programFolder), UserDataHome());
}

void SetUpPaths(ProgramState& state, const std::string& dataFolder) {
    state.DataFolder = dataFolder;
    state.MessageDir = AddSlash(dataFolder) + "Messages";
    state.TempList = AddSlash(dataFolder) + kTempListName;
    state.IniFile = AddSlash(dataFolder) + kIniName;
}

std::string LogPath(const std::string& dataFolder) {
    return AddSlash(dataFolder) + "Tarvona.log";
}

RunLock TakeRunLock(const std::string& dataFolder) {
    RunLock result;
    int error = 0;
    auto lock = FileLock::TryCreate(AddSlash(dataFolder) + kRunLockName, error);
    if (lock) {
        result.outcome = RunLock::Outcome::Held;
        result.lock = std::make_shared<FileLock>(std::move(*lock));
    } else if (error == EWOULDBLOCK) {
        result.outcome = RunLock::Outcome::HeldByAnother;
    } else {
        result.error = error ? std::strerror(error) : "not a regular file";
    }
    return result;
}

bool IsMessageFile(const std::string& command, const std::string& messageDir) {
    if (command.empty() || messageDir.empty()) return false;
    if (command.find('\0') != std::string::npos) return false;
    const fs::path path = fs::path(command).lexically_normal();
    if (!path.has_filename() || path.filename() == "..") return false;
    return path.parent_path() == fs::path(messageDir).lexically_normal();
}

StateLock::StateLock(ProgramState& state, std::chrono::milliseconds wait) : m_state(state) {
    if (m_state.StateLockDepth == 0) {
        auto lock = FileLock::Wait(m_state.DataFolder, wait);
        if (!lock) return;
        m_state.HeldStateLock = std::make_shared<FileLock>(std::move(*lock));
    }
    ++m_state.StateLockDepth;
    m_held = true;
}

StateLock::~StateLock() {
    if (m_held && --m_state.StateLockDepth == 0) m_state.HeldStateLock.reset();
}

bool AppendToTempList(ProgramState& state, const std::string& command) {
    StateLock lock(state);
    if (!lock.Held()) return false;
    FileRead list = ReadRegularFile(state.TempList, kMaxTempList);
    if (list.status != ReadStatus::Read && list.status != ReadStatus::Missing) return false;
    std::string bytes = std::move(list.bytes);
    if (!bytes.empty() && bytes.back() != '\n') bytes += state.CrLf;
    return WriteFileAtomically(state.TempList, bytes + command + state.CrLf);
}

void PurgeTempList(ProgramState& state) {
    StateLock lock(state);
    if (!lock.Held()) return;
    const FileRead list = ReadRegularFile(state.TempList, kMaxTempList);
    if (list.status != ReadStatus::Read) return;

    std::string kept;
    std::istringstream lines(list.bytes);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!IsMessageFile(line, state.MessageDir)) continue;
        // The name the check approved, never the raw line, which the kernel could resolve
        // through a link to somewhere else.
        const std::string name = fs::path(line).lexically_normal().filename().string();
        if (DeleteFromFolder(state.MessageDir, name) == DeleteResult::Failed)
            kept += line + state.CrLf;
    }
    if (kept.empty()) {
        std::error_code ec;
        fs::remove(state.TempList, ec);
    } else if (kept != list.bytes) {
        WriteFileAtomically(state.TempList, kept);
    }
}

void RemoveStaleTemporaries(ProgramState& state) {
    StateLock lock(state);
    if (!lock.Held()) return;
    RemoveTemporariesOf(state.DataFolder, {kIniName, kTempListName});
}

}  // namespace tarvona
