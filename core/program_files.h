#pragma once

// The program's own files beside its executable: their paths, the lock that every
// read-change-replace of them takes, the test for message files, and the list of message files
// waiting to be deleted (Tarvona.tmp).
#include <chrono>
#include <optional>
#include <string>

namespace tarvona {

struct ProgramState;

// How long a writer waits for another one (a launch run holds the lock for its whole length).
constexpr std::chrono::seconds kStateLockWait{10};

// Every path from the program folder.
void SetUpPaths(ProgramState& state, const std::string& programFolder);

// The log's path in a program folder.
std::string LogPath(const std::string& programFolder);

// True when the command names a file directly inside the Messages folder: the path, taken
// lexically without "." and ".." parts, has messageDir exactly as its folder. A text holding a
// NUL byte is never a message file.
bool IsMessageFile(const std::string& command, const std::string& messageDir);

// Serialises every read-change-replace of the program folder's files across processes: an
// exclusive lock on the program folder itself, so no extra file appears. Holders in one process
// nest and share it.
class StateLock {
public:
    explicit StateLock(ProgramState& state, std::chrono::milliseconds wait = kStateLockWait);
    ~StateLock();
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    bool Held() const { return m_held; }

private:
    ProgramState& m_state;
    bool m_held = false;
};

// Appends the command as one line to Tarvona.tmp; false when it could not be written.
bool AppendToTempList(ProgramState& state, const std::string& command);

// Deletes the message files listed in Tarvona.tmp, each by its name directly inside the
// Messages folder and never through a link. A file already gone counts as deleted; one that
// cannot be deleted stays listed; a line that names no message file, and a name that is a
// folder or a special file, are dropped without deleting anything. The list goes when nothing
// is left in it.
void PurgeTempList(ProgramState& state);

// Removes the temporary files that a write killed halfway left beside our files.
void RemoveStaleTemporaries(ProgramState& state);

}  // namespace tarvona
