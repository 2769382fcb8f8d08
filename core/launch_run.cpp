// A failed launch never stops the run: the event moves on to its next date (or is used up)
// exactly as if it had opened. A next-run text that is no date is not opened, not changed, and
// logged like a failed launch. Writes to the settings file and the deletion list that fail are
// ignored; the run always visits every slot.
#include "launch_run.h"

#include <filesystem>

#include "dates.h"
#include "error_log.h"
#include "event_table.h"
#include "file_access.h"
#include "frequency.h"
#include "ini_file.h"
#include "launch_errors.h"
#include "program_state.h"

namespace tarvona {

namespace fs = std::filesystem;

bool IsMessageFile(const std::string& command, const std::string& messageDir) {
    if (command.empty() || messageDir.empty()) return false;
    const fs::path path = fs::path(command).lexically_normal();
    if (!path.has_filename()) return false;
    return path.parent_path() == fs::path(messageDir).lexically_normal();
}

namespace {

class Run {
public:
    Run(ProgramState& state, Shell& shell, const Clock& clock, WindowHandle owner)
        : m_state(state),
          m_shell(shell),
          m_clock(clock),
          m_owner(owner),
          m_ini(state.IniFile),
          m_log(LogPath(state.ProgramFolder)) {}

    std::vector<LaunchFailure> Go() {
        const auto today = m_clock.Now().date;
        m_logOpen = m_log.OpenLog();
        for (int n = 0; n <= ProgramState::MaxEvent; ++n) VisitSlot(n, today);
        m_log.CloseLog();
        return m_failures;
    }

private:
    void VisitSlot(int n, std::chrono::year_month_day today) {
        const EventTable& events = m_state.Events;
        const std::string& due = events.EventDue[n];
        const std::string& command = events.EventCommand[n];
        const int32_t frequency = events.EventFrequency[n];

        if (due == kDueDisabled) return;
        if (due == kDueNextRun) {
            if (frequency == kOneTime) {
                if (!command.empty()) Launch(n);
                UseUp(n);
            } else if (frequency == kEveryBoot && !command.empty()) {
                Launch(n);
            }
            return;
        }
        if (command.empty()) return;
        const auto date = ReadDate(due);
        if (!date) {
            Fail(n, 0, "Next run date is not valid: " + due);
            return;
        }
        if (std::chrono::sys_days{today} < std::chrono::sys_days{*date}) return;
        Launch(n);
        if (auto next = NextDate(frequency, today))
            m_ini.WriteString(kDueSection, DueKey(n), FormatDate(*next));
        else if (frequency == kOneTime)
            UseUp(n);
    }

    void Launch(int n) {
        const std::string& command = m_state.Events.EventCommand[n];
        const int32_t result =
            m_shell.LaunchCommand(m_owner, command, m_state.Events.EventRunStyle[n]);
        if (!LaunchSucceeded(result)) Fail(n, result, LaunchErrorText(result));
    }

    void Fail(int n, int32_t result, const std::string& message) {
        const std::string& command = m_state.Events.EventCommand[n];
        m_failures.push_back({n, command, message});
        if (!m_logOpen) return;
        m_log.WriteLogEntry(result, message, command, m_clock.Now());
        m_state.LaunchErrors = true;
    }

    void UseUp(int n) {
        const std::string& command = m_state.Events.EventCommand[n];
        if (IsMessageFile(command, m_state.MessageDir)) {
            std::string list = ReadWholeFile(m_state.TempList).value_or("");
            if (!list.empty() && list.back() != '\n') list += m_state.CrLf;
            WriteFileAtomically(m_state.TempList, list + command + m_state.CrLf);
        }
        m_ini.WriteString(kCommandsSection, CommandKey(n), "");
        m_ini.WriteString(kDescriptionsSection, DescriptionKey(n), "");
        m_ini.WriteString(kRunStyleSection, RunStyleKey(n), std::to_string(kNormal));
        m_ini.WriteString(kFrequencySection, FrequencyKey(n), std::to_string(kDisabled));
        m_ini.WriteString(kDueSection, DueKey(n), kDueDisabled);
    }

    ProgramState& m_state;
    Shell& m_shell;
    const Clock& m_clock;
    WindowHandle m_owner;
    IniFile m_ini;
    ErrorLog m_log;
    bool m_logOpen = false;
    std::vector<LaunchFailure> m_failures;
};

}  // namespace

std::vector<LaunchFailure> RunDueEvents(ProgramState& state, Shell& shell, const Clock& clock,
                                        WindowHandle owner) {
    return Run(state, shell, clock, owner).Go();
}

}  // namespace tarvona
