#include "program_files.h"

#include <filesystem>
#include <sstream>

#include "file_access.h"
#include "file_lock.h"
#include "program_state.h"
#include "startup.h"

namespace tarvona {

namespace fs = std::filesystem;

namespace {

// Tarvona.tmp is a short list of paths; anything larger is no list of ours.
constexpr size_t kMaxTempList = 1024 * 1024;

const char* const kIniName = "Tarvona.ini";
const char* const kTempListName = "Tarvona.tmp";

}  // namespace

void SetUpPaths(ProgramState& state, const std::string& programFolder) {
    state.ProgramFolder = programFolder;
    state.MessageDir = AddSlash(programFolder) + "Messages";
    state.TempList = AddSlash(programFolder) + kTempListName;
    state.IniFile = AddSlash(programFolder) + kIniName;
}

std::string LogPath(const std::string& programFolder) {
    return AddSlash(programFolder) + "Tarvona.log";
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
        auto lock = FileLock::Wait(m_state.ProgramFolder, wait);
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
    RemoveTemporariesOf(state.ProgramFolder, {kIniName, kTempListName});
}

}  // namespace tarvona
