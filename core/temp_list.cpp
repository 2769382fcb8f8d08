#include "temp_list.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "data_folder.h"
#include "folder.h"
#include "program_state.h"
#include "run_lock.h"
#include "user_folders.h"

namespace tarvona {

namespace fs = std::filesystem;

namespace {

// No path of a message file is longer.
constexpr size_t kMaxPath = 4096;

// The message files Tarvona.tmp lists, each once, in their order. Any other line is dropped
// while reading, so the list stays as small as the Messages folder however large the file grew.
std::optional<std::vector<std::string>> ReadTempList(const ProgramState& state) {
    std::vector<std::string> lines;
    std::set<std::string> seen;
    size_t count = 0;
    const ReadStatus status =
        state.Data->ForEachLine(kTempListName, kMaxPath, [&](const std::string& line) {
            if (++count > kMaxListLines) {
                state.Data->Tell(kTempListName, "only its first " + std::to_string(kMaxListLines) +
                                                    " lines are read; the rest is dropped");
                return false;
            }
            if (IsMessageFile(line, state.MessageDir) && seen.insert(line).second)
                lines.push_back(line);
            return true;
        });
    if (status != ReadStatus::Read && status != ReadStatus::Missing) return std::nullopt;
    return lines;
}

bool WriteTempList(const ProgramState& state, const std::vector<std::string>& lines) {
    if (lines.empty()) return state.Data->Delete(kTempListName) != DeleteResult::Failed;
    std::string bytes;
    for (const std::string& line : lines) bytes += line + state.CrLf;
    return state.Data->Replace(kTempListName, bytes);
}

}  // namespace

bool IsMessageFile(const std::string& command, const std::string& messageDir) {
    if (command.empty() || messageDir.empty()) return false;
    if (command.find('\0') != std::string::npos) return false;
    const fs::path path = fs::path(command).lexically_normal();
    if (!path.has_filename() || path.filename() == "..") return false;
    return path.parent_path() == fs::path(messageDir).lexically_normal();
}

bool AppendToTempList(ProgramState& state, const std::string& command) {
    StateLock lock(state);
    if (!lock.Held()) return false;
    auto lines = ReadTempList(state);
    if (!lines) return false;
    if (std::find(lines->begin(), lines->end(), command) == lines->end()) lines->push_back(command);
    return WriteTempList(state, *lines);
}

void PurgeTempList(ProgramState& state, std::chrono::sys_seconds now) {
    const auto changed = state.Data->ModifiedAt(kTempListName);
    // No list, or one that a viewer may still be reading from (with a clock set back, one dated
    // that far ahead).
    if (!changed || (now - *changed < kMessageGrace && *changed - now < kMessageGrace)) return;
    const auto lines = ReadTempList(state);
    if (!lines) return;
    // Files in a Messages that is a link, another user's or no folder are never deleted: their
    // lines could only wait for ever. With no Messages at all, every file is gone already.
    int error = 0;
    auto messages = state.Data->OpenSub(kMessagesName, error);
    const bool gone = !messages && error == ENOENT;
    if (messages && CheckTrust(messages->Info()) != Trust::Trusted) messages.reset();
    if (!messages && !gone && !lines->empty())
        state.Data->Tell(kMessagesName,
                         "not a plain folder of yours; its listed messages are left alone");
    std::vector<std::string> kept;
    for (const std::string& line : *lines) {
        // The name the check approved, never the raw line, which the kernel could resolve
        // through a link to somewhere else.
        const std::string name = fs::path(line).lexically_normal().filename().string();
        if (messages && messages->Delete(name) == DeleteResult::Failed) kept.push_back(line);
    }
    if (kept != *lines || kept.empty()) WriteTempList(state, kept);
}

}  // namespace tarvona
