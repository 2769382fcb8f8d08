#pragma once

// The launch run's set-up around RunDueEvents, the same with windows and without: the data
// folder and its run lock, then start-up and the run under the state lock. The windows (the
// splash, the question, the log viewer) are the caller's.
#include <functional>
#include <optional>

#include "launch_run.h"
#include "run_lock.h"

namespace tarvona {

struct ProgramState;
class Desktop;

struct LaunchStart {
    std::optional<int> endStatus;  // the run ends here with this status, its line written
    RunLock lock;                  // held for the whole run otherwise
};

// Opens the data folder into the state and takes its run lock. A refused folder and a lock that
// cannot be had end the run with 1 and one line on standard error; a run under way with 0, and
// so does a data folder that is not there yet (it is the editor's to make).
LaunchStart BeginLaunchRun(ProgramState& state, const std::string& programFolder, RunKind kind);

// Start-up and the run, under the state lock, which is let go before any question. Nothing is
// opened when the lock or the table cannot be had (the report's refused says why). showSplash,
// when given, is called after start-up and gives the owner of the launches.
RunReport StartAndRun(ProgramState& state, Desktop& desktop, Shell& shell, const Clock& clock,
                      RunKind kind, const std::function<WindowHandle()>& showSplash = {});

// Writes every failed or unsaved slot, and a refusal, to standard error, so that the session's
// journal holds it; the run's exit status.
int ReportRun(const RunReport& report);

}  // namespace tarvona
