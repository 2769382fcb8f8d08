#pragma once

// The data folder's two kinds of lock: the run lock, which keeps a second launch run from
// opening every event again, and the state lock, which serialises every read-change-replace of
// the folder's files across processes.
#include <chrono>
#include <memory>
#include <string>

namespace tarvona {

struct ProgramState;
class FileLock;
class Folder;

// How long a writer waits for another one (a launch run holds the lock for its whole length).
constexpr std::chrono::seconds kStateLockWait{10};

// Which events a launch run opens. The login run opens every due event; the dated run, started
// by a timer while the session stays open, only the dated ones of the recurring and One Time
// frequencies, and leaves the marks, Every Boot and Disabled events to the next login.
enum class RunKind { Login, Dated };

// Every run holds "Tarvona.lock" for its whole length, a login run also "Tarvona.login.lock". A
// dated run never waits: it gives way to any run under way. A login run gives way to another
// login run, but waits for a dated run to end (at most kDatedRunWait, then it runs all the
// same), so that a timer never costs the user their Every Boot events.
constexpr std::chrono::seconds kDatedRunWait{60};
struct RunLock {
    enum class Outcome { Held, HeldByAnother, Failed };
    Outcome outcome = Outcome::Failed;
    std::string error;  // what could not be locked and why, when it failed
    std::shared_ptr<FileLock> login, run;
};
RunLock TakeRunLock(const Folder& dataFolder, RunKind kind);

// An exclusive lock on the data folder itself, so no extra file appears. Holders in one process
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

}  // namespace tarvona
