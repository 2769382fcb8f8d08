#include "program_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>
#include <vector>

#include "file_access.h"
#include "file_lock.h"
#include "program_state.h"
#include "user_folders.h"

namespace tarvona {

namespace fs = std::filesystem;

namespace {

// No path of a message file is longer.
constexpr size_t kMaxPath = 4096;

const char* const kIniName = "Tarvona.ini";
const char* const kTempListName = "Tarvona.tmp";
const char* const kRunLockName = "Tarvona.lock";
const char* const kLoginLockName = "Tarvona.login.lock";

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

namespace {

// One lock file of the data folder: held, held by another, or failed (result.error says why).
std::shared_ptr<FileLock> TakeLockFile(const std::string& path, std::chrono::milliseconds wait,
                                       RunLock& result) {
    int error = 0;
    auto lock = FileLock::WaitCreate(path, wait, error);
    if (lock) return std::make_shared<FileLock>(std::move(*lock));
    result.outcome =
        error == EWOULDBLOCK ? RunLock::Outcome::HeldByAnother : RunLock::Outcome::Failed;
    result.error =
        path + " (" + (error == EINVAL ? "not a regular file" : std::strerror(error)) + ")";
    return nullptr;
}

}  // namespace

RunLock TakeRunLock(const std::string& dataFolder, RunKind kind) {
    RunLock result;
    const std::string runLock = AddSlash(dataFolder) + kRunLockName;
    if (kind == RunKind::Dated) {
        result.run = TakeLockFile(runLock, std::chrono::milliseconds(0), result);
        if (result.run) result.outcome = RunLock::Outcome::Held;
        return result;
    }
    result.login =
        TakeLockFile(AddSlash(dataFolder) + kLoginLockName, std::chrono::milliseconds(0), result);
    if (!result.login) return result;
    result.run = TakeLockFile(runLock, kDatedRunWait, result);
    if (!result.run && result.outcome == RunLock::Outcome::Failed) return result;
    result.outcome = RunLock::Outcome::Held;  // also when the dated run outlasted the wait
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
    if (m_held && --m_state.StateLockDepth == 0) {
        m_state.HeldStateLock.reset();
        m_state.Settings.reset();  // another process may change the file from now on
    }
}

namespace {

// The message files Tarvona.tmp lists, each once, in their order. Any other line is dropped
// while reading, so the list stays as small as the Messages folder however large the file grew.
std::optional<std::vector<std::string>> ReadTempList(const ProgramState& state) {
    std::vector<std::string> lines;
    std::set<std::string> seen;
    const ReadStatus status = ForEachLine(state.TempList, kMaxPath, [&](const std::string& line) {
        if (IsMessageFile(line, state.MessageDir) && seen.insert(line).second)
            lines.push_back(line);
    });
    if (status != ReadStatus::Read && status != ReadStatus::Missing) return std::nullopt;
    return lines;
}

bool WriteTempList(const ProgramState& state, const std::vector<std::string>& lines) {
    if (lines.empty()) {
        std::error_code ec;
        fs::remove(state.TempList, ec);
        return !ec;
    }
    std::string bytes;
    for (const std::string& line : lines) bytes += line + state.CrLf;
    return WriteFileAtomically(state.TempList, bytes);
}

bool IsRealFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool AppendToTempList(ProgramState& state, const std::string& command) {
    StateLock lock(state);
    if (!lock.Held()) return false;
    auto lines = ReadTempList(state);
    if (!lines) return false;
    if (std::find(lines->begin(), lines->end(), command) == lines->end()) lines->push_back(command);
    return WriteTempList(state, *lines);
}

void PurgeTempList(ProgramState& state) {
    StateLock lock(state);
    if (!lock.Held()) return;
    const auto lines = ReadTempList(state);
    if (!lines) return;
    // Files in a Messages that is a link, a file or a dangling link are never deleted: their
    // lines could only wait for ever.
    const bool folderUsable =
        IsRealFolder(state.MessageDir) || !fs::exists(fs::symlink_status(state.MessageDir));
    std::vector<std::string> kept;
    for (const std::string& line : *lines) {
        if (!folderUsable) {
            std::cerr << "Tarvona: " << line << ": " << state.MessageDir
                      << " is not a folder; dropped from the list of messages to delete\n";
            continue;
        }
        // The name the check approved, never the raw line, which the kernel could resolve
        // through a link to somewhere else.
        const std::string name = fs::path(line).lexically_normal().filename().string();
        if (DeleteFromFolder(state.MessageDir, name) == DeleteResult::Failed) kept.push_back(line);
    }
    if (kept != *lines || kept.empty()) WriteTempList(state, kept);
}

void RemoveStaleTemporaries(ProgramState& state) {
    StateLock lock(state);
    if (!lock.Held()) return;
    RemoveTemporariesOf(state.DataFolder, {kIniName, kTempListName});
}

}  // namespace tarvona
