#pragma once

#include <string>
#include <vector>

#include "clock.h"
#include "run_lock.h"
#include "shell.h"

namespace tarvona {

struct ProgramState;

struct LaunchFailure {
    int slot;
    std::string command;
    std::string message;  // the sentence written to the log
    std::string reason;   // the system's own words, when it gave any (standard error only)
};

struct RunReport {
    std::vector<LaunchFailure> failures;  // every failed slot, logged or not
    // Slots whose next state could not be written (full disk, read-only file): they will be
    // opened again at the next run.
    std::vector<LaunchFailure> unsaved;
    // Why nothing was opened at all (the table could not be used), when that is so.
    std::string refused;
    bool ok() const { return failures.empty() && unsaved.empty() && refused.empty(); }
};

// One pass over the table: opens every due event, writes its next state into the settings file
// right after its launch, logs every failure and sets LaunchErrors when it logged one. The table
// in memory is not changed.
RunReport RunDueEvents(ProgramState& state, Shell& shell, const Clock& clock, WindowHandle owner,
                       RunKind kind = RunKind::Login);

// The line for standard error that tells of one failed or unsaved slot.
std::string ReportLine(const LaunchFailure& failure);

}  // namespace tarvona
