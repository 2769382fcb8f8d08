#pragma once

// The program's own files: the data folder that holds them, their paths, the locks of the folder,
// the test for message files, and the list of message files waiting to be deleted (Tarvona.tmp).
//
// The data folder is the program folder when that folder is the running user's own, so that a
// per-user install or a build folder keeps its files beside the program. Anywhere else (a package
// under /usr, a folder of another user, one that others can write) each user gets their own
// folder in their XDG data folder: a shared program folder must never decide what a user runs.
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace tarvona {

struct ProgramState;
class FileLock;

// How long a writer waits for another one (a launch run holds the lock for its whole length).
constexpr std::chrono::seconds kStateLockWait{10};

// The path with exactly one trailing "/" ensured (only the last character is looked at).
std::string AddSlash(const std::string& path);

// The choice itself: the program folder when it is the user's own and not under /usr, otherwise
// "tarvona" in the user's data home.
std::string ChooseDataFolder(const std::string& programFolder, bool programFolderIsOwn,
                             const std::string& userDataHome);

// The data folder for the running user and the running program folder (not created here).
std::string DataFolder(const std::string& programFolder);

// Every path from the data folder.
void SetUpPaths(ProgramState& state, const std::string& dataFolder);

// The log's path in a data folder.
std::string LogPath(const std::string& dataFolder);

// Which events a launch run opens. The login run opens every due event; the dated run, started
// by a timer while the session stays open, only the dated ones of the recurring and One Time
// frequencies, and leaves the marks, Every Boot and Disabled events to the next login.
enum class RunKind { Login, Dated };

// Keeps a second launch run of the same data folder from opening every event again: every run
// holds "Tarvona.lock" for its whole length, a login run also "Tarvona.login.lock". A dated run
// never waits: it gives way to any run under way. A login run gives way to another login run,
// but waits for a dated run to end (at most kDatedRunWait, then it runs all the same), so that a
// timer never costs the user their Every Boot events.
constexpr std::chrono::seconds kDatedRunWait{60};
struct RunLock {
    enum class Outcome { Held, HeldByAnother, Failed };
    Outcome outcome = Outcome::Failed;
    std::string error;  // what could not be locked and why, when it failed
    std::shared_ptr<FileLock> login, run;
};
RunLock TakeRunLock(const std::string& dataFolder, RunKind kind);

// True when the command names a file directly inside the Messages folder: the path, taken
// lexically without "." and ".." parts, has messageDir exactly as its folder. A text holding a
// NUL byte is never a message file.
bool IsMessageFile(const std::string& command, const std::string& messageDir);

// Serialises every read-change-replace of the data folder's files across processes: an
// exclusive lock on the data folder itself, so no extra file appears. Holders in one process
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
