// A failed launch never stops the run: the event moves on to its next date (or is used up)
// exactly as if it had opened. A next-run text that is no date is not opened, not changed, and
// logged like a failed launch. A next state that cannot be written is reported to the caller,
// since the event would open again at the next run; a failure with the deletion list is
// ignored. The run always visits every slot, holding the state lock throughout.
#include "launch_run.h"

#include "dates.h"
#include "error_log.h"
#include "event_table.h"
#include "frequency.h"
#include "ini_file.h"
#include "launch_errors.h"
#include "printable.h"
#include "program_state.h"
#include "temp_list.h"

namespace tarvona {

namespace {

using std::chrono::year_month_day;

// The last date the settings file can hold ("mm-dd-yyyy").
constexpr year_month_day kLastDate{std::chrono::year{9999}, std::chrono::December,
                                   std::chrono::day{31}};

class Run {
public:
    Run(ProgramState& state, Shell& shell, const Clock& clock, WindowHandle owner, RunKind kind)
        : m_state(state),
          m_shell(shell),
          m_clock(clock),
          m_owner(owner),
          m_kind(kind),
          m_log(*state.Data) {}

    RunReport Go() {
        StateLock lock(m_state);
        const auto today = m_clock.Now().date;
        m_logOpen = m_log.OpenLog();
        for (int n = 0; n <= ProgramState::MaxEvent; ++n) VisitSlot(n, today);
        m_log.CloseLog();
        return m_report;
    }

private:
    void VisitSlot(int n, year_month_day today) {
        const EventTable& events = m_state.Events;
        const std::string& due = events.EventDue[n];
        const std::string& command = events.EventCommand[n];
        const int32_t frequency = events.EventFrequency[n];

        if (due == kDueDisabled) return;
        if (m_kind == RunKind::Dated &&
            (due == kDueNextRun || frequency < kDaily || frequency > kOneTime))
            return;
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
        if (auto next = NextDate(frequency, today)) {
            // Past the last date a file can hold the calendar ends: the event is disabled.
            const std::string text = std::chrono::sys_days{*next} > std::chrono::sys_days{kLastDate}
                                         ? kDueDisabled
                                         : FormatDate(*next);
            Write(n, {{Field::Due, text}});
        } else if (frequency == kOneTime) {
            UseUp(n);
        }
    }

    void Launch(int n) {
        const std::string& command = m_state.Events.EventCommand[n];
        const int32_t result =
            m_shell.LaunchCommand(m_owner, command, m_state.Events.EventRunStyle[n]);
        if (!LaunchSucceeded(result))
            Fail(n, result, LaunchErrorText(result), m_shell.LastFailureReason());
    }

    void Fail(int n, int32_t result, const std::string& message, const std::string& reason = "") {
        const std::string& command = m_state.Events.EventCommand[n];
        m_report.failures.push_back({n, command, message, reason});
        if (!m_logOpen) return;
        m_log.WriteLogEntry(result, message, command, m_clock.Now());
        m_state.LaunchErrors = true;
    }

    void UseUp(int n) {
        const std::string& command = m_state.Events.EventCommand[n];
        if (IsMessageFile(command, m_state.MessageDir)) AppendToTempList(m_state, command);
        Write(n, {{Field::Command, ""},
                  {Field::Description, ""},
                  {Field::RunStyle, std::to_string(kNormal)},
                  {Field::Frequency, std::to_string(kDisabled)},
                  {Field::Due, kDueDisabled}});
    }

    // One key at a time, in the given order, each its own write as the profile functions do.
    void Write(int n, std::initializer_list<std::pair<Field, std::string>> keys) {
        bool written = true;
        for (const auto& key : keys)
            written =
                ChangeSettings(m_state,
                               [&](IniDocument& ini) {
                                   ini.Set(SectionOf(key.first), KeyOf(key.first, n), key.second);
                               }) &&
                written;
        if (!written)
            m_report.unsaved.push_back({n, m_state.Events.EventCommand[n],
                                        "Unable to write its next run to Tarvona.ini.", ""});
    }

    ProgramState& m_state;
    Shell& m_shell;
    const Clock& m_clock;
    WindowHandle m_owner;
    RunKind m_kind;
    ErrorLog m_log;
    bool m_logOpen = false;
    RunReport m_report;
};

}  // namespace

RunReport RunDueEvents(ProgramState& state, Shell& shell, const Clock& clock, WindowHandle owner,
                       RunKind kind) {
    return Run(state, shell, clock, owner, kind).Go();
}

std::string ReportLine(const LaunchFailure& failure) {
    const std::string line = "Tarvona: " + failure.command + ": " + failure.message;
    return Printable(failure.reason.empty() ? line : line + " (" + failure.reason + ")");
}

}  // namespace tarvona
