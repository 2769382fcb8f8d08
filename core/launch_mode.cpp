#include "launch_mode.h"

#include <iostream>

#include "data_folder.h"
#include "ini_file.h"
#include "printable.h"
#include "program_state.h"
#include "startup.h"
#include "user_folders.h"

namespace tarvona {

namespace {

std::string TableProblem(const ProgramState& state) {
    const std::string file = Printable(state.IniFile);
    if (state.Loaded.problem == IniProblem::NotTrusted)
        return file + " belongs to another user or others can write to it; nothing was opened.";
    return file + " cannot be read (not a regular file, larger than " +
           std::to_string(IniFile::kMaxSize / 1024) +
           " KiB, not readable, or in an encoding other than 8-bit text or UTF-16LE with its "
           "byte-order mark); nothing was opened.";
}

}  // namespace

LaunchStart BeginLaunchRun(ProgramState& state, const std::string& programFolder, RunKind kind) {
    LaunchStart start;
    OpenedFolder opened = OpenDataFolder(programFolder, UserDataHome(), false);
    if (opened.missing) {
        start.endStatus = 0;  // a user who never used Tarvona: nothing to open
        return start;
    }
    if (!opened.folder) {
        std::cerr << "Tarvona: " << Printable(opened.problem) << " Nothing was opened.\n";
        start.endStatus = 1;
        return start;
    }
    SetUpPaths(state, std::move(*opened.folder));
    // A second run (an autostart entry and a user service, a double login, a timer) must not
    // open every event again.
    start.lock = TakeRunLock(*state.Data, kind);
    if (start.lock.outcome == RunLock::Outcome::HeldByAnother) {
        std::cerr << "Tarvona: another launch run of " << Printable(state.Data->Path())
                  << " is under way; this one opens nothing\n";
        start.endStatus = 0;
    } else if (start.lock.outcome == RunLock::Outcome::Failed) {
        std::cerr << "Tarvona: cannot lock " << start.lock.error << "; nothing was opened\n";
        start.endStatus = 1;
    }
    return start;
}

RunReport StartAndRun(ProgramState& state, Desktop& desktop, Shell& shell, const Clock& clock,
                      RunKind kind, const std::function<WindowHandle()>& showSplash) {
    StateLock lock(state);
    RunReport report;
    if (!lock.Held()) {
        report.refused = "Another Tarvona kept the files of " + Printable(state.Data->Path()) +
                         " locked; nothing was opened.";
        return report;
    }
    if (!StartUp(state, desktop, clock)) {
        report.refused = TableProblem(state);
        return report;
    }
    const WindowHandle owner = showSplash ? showSplash() : WindowHandle{};
    return RunDueEvents(state, shell, clock, owner, kind);
}

int ReportRun(const RunReport& report) {
    if (!report.refused.empty()) std::cerr << "Tarvona: " << report.refused << '\n';
    for (const LaunchFailure& failure : report.failures) std::cerr << ReportLine(failure) << '\n';
    for (const LaunchFailure& unsaved : report.unsaved) std::cerr << ReportLine(unsaved) << '\n';
    return report.ok() ? 0 : 1;
}

}  // namespace tarvona
