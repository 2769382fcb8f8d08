#include "launch_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "data_folder.h"
#include "dates.h"
#include "error_log.h"
#include "event_table.h"
#include "ini_file.h"
#include "launch_errors.h"
#include "program_state.h"
#include "run_lock.h"
#include "startup.h"
#include "temp_list.h"
#include "test_support.h"

namespace tarvona {
namespace {

using test::Date;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class LaunchRunTest : public ::testing::Test {
protected:
    LaunchRunTest() : clock(Date(2026, 12, 8)) {
        SetUpPaths(state, dir.path());
        std::filesystem::create_directory(state.MessageDir);
        LoadEvents(state);
    }
    void Slot(int n, const std::string& command, int32_t frequency, const std::string& due,
              int32_t style = 0) {
        state.Events.EventCommand[n] = command;
        state.Events.EventDescription[n] = "event " + std::to_string(n);
        state.Events.EventRunStyle[n] = style;
        state.Events.EventFrequency[n] = frequency;
        state.Events.EventDue[n] = due;
    }
    // The table as a fresh start would read it from the file.
    ProgramState Reloaded() {
        ProgramState again;
        SetUpPaths(again, dir.path());
        LoadEvents(again);
        return again;
    }
    std::vector<LaunchFailure> Run() {
        return RunDueEvents(state, shell, clock, WindowHandle{}).failures;
    }
    std::vector<std::string> Launched() const {
        std::vector<std::string> commands;
        for (const auto& call : shell.calls) commands.push_back(call.command);
        return commands;
    }

    TempDir dir;
    ProgramState state;
    test::RecordingShell shell;
    test::FixedClock clock;
};

TEST_F(LaunchRunTest, DueTestAndNoCatchUp) {
    Slot(0, "today", kDaily, "12-08-2026");
    Slot(1, "tomorrow", kDaily, "12-09-2026");
    Slot(2, "yesterday", kDaily, "12-07-2026");
    Slot(3, "weekly-overdue", kWeekly, "11-28-2026");
    Slot(4, "long-ago", kMonthly, "01-31-1999");
    Slot(5, "", kDaily, "01-01-2000");
    Slot(6, "typed-form", kYearly, "7/4/2026");
    ASSERT_TRUE(SaveEvents(state));
    EXPECT_TRUE(Run().empty());

    EXPECT_EQ(Launched(), (std::vector<std::string>{"today", "yesterday", "weekly-overdue",
                                                    "long-ago", "typed-form"}));
    ProgramState after = Reloaded();
    EXPECT_EQ(after.Events.EventDue[0], "12-09-2026");
    EXPECT_EQ(after.Events.EventDue[1], "12-09-2026");
    EXPECT_EQ(after.Events.EventDue[2], "12-09-2026");
    EXPECT_EQ(after.Events.EventDue[3], "12-15-2026");
    EXPECT_EQ(after.Events.EventDue[4], "01-08-2027");
    EXPECT_EQ(after.Events.EventDue[5], "01-01-2000");
    EXPECT_EQ(after.Events.EventDue[6], "12-08-2027");
    EXPECT_EQ(state.Events.EventDue[0], "12-08-2026") << "the table in memory is not changed";
}

TEST_F(LaunchRunTest, MonthEndAndLeapYearSteps) {
    struct Case {
        std::chrono::year_month_day today;
        int32_t frequency;
        std::string expected;
    };
    for (const Case& c : {Case{Date(2027, 1, 31), kMonthly, "02-28-2027"},
                          Case{Date(2028, 1, 31), kMonthly, "02-29-2028"},
                          Case{Date(2028, 2, 29), kYearly, "02-28-2029"},
                          Case{Date(2027, 12, 31), kEveryOtherMonth, "02-29-2028"}}) {
        clock.Set(c.today);
        Slot(0, "prog", c.frequency, FormatDate(c.today));
        ASSERT_TRUE(SaveEvents(state));
        Run();
        EXPECT_EQ(Reloaded().Events.EventDue[0], c.expected);
    }
}

TEST_F(LaunchRunTest, NextRunMarksAndFrequencies) {
    Slot(0, "boot", kEveryBoot, "?");
    Slot(1, "once", kOneTime, "?");
    Slot(2, "", kOneTime, "?");
    Slot(3, "daily-mark", kDaily, "?");
    Slot(4, "lower", kDaily, "disabled");
    Slot(5, "boot-dated", kEveryBoot, "12-01-2026");
    Slot(6, "disabled-dated", kDisabled, "12-08-2026");
    Slot(7, "odd-code", 42, "12-08-2026", 7);
    Slot(8, "dated-once", kOneTime, "12-08-2026");
    Slot(9, "off", kDaily, "Disabled");
    ASSERT_TRUE(SaveEvents(state));
    const auto before = Reloaded();
    Run();

    EXPECT_EQ(Launched(), (std::vector<std::string>{"boot", "once", "boot-dated", "disabled-dated",
                                                    "odd-code", "dated-once"}));
    EXPECT_EQ(shell.calls[4].style, 7) << "styles outside the list are passed on";
    const auto after = Reloaded();
    for (int n : {0, 3, 4, 5, 6, 7, 9}) {
        EXPECT_EQ(after.Events.EventCommand[n], before.Events.EventCommand[n]) << n;
        EXPECT_EQ(after.Events.EventDue[n], before.Events.EventDue[n]) << n;
        EXPECT_EQ(after.Events.EventFrequency[n], before.Events.EventFrequency[n]) << n;
    }
    for (int n : {1, 2, 8}) {
        EXPECT_EQ(after.Events.EventCommand[n], "") << n;
        EXPECT_EQ(after.Events.EventDescription[n], "") << n;
        EXPECT_EQ(after.Events.EventRunStyle[n], 0) << n;
        EXPECT_EQ(after.Events.EventFrequency[n], 9) << n;
        EXPECT_EQ(after.Events.EventDue[n], "Disabled") << n;
    }
    // The used-up keys stay in the file, with empty values.
    EXPECT_NE(ReadFile(state.IniFile).find("Command1=\r\n"), std::string::npos);
}

// The dated run opens the dated events of the recurring and One Time frequencies and nothing
// that belongs to a login, and writes their next states as the login run does.
TEST_F(LaunchRunTest, TheDatedRunOpensOnlyDatedEvents) {
    Slot(0, "boot", kEveryBoot, "?");
    Slot(1, "once-mark", kOneTime, "?");
    Slot(2, "boot-dated", kEveryBoot, "12-01-2026");
    Slot(3, "disabled-dated", kDisabled, "12-08-2026");
    Slot(4, "odd-code", 42, "12-08-2026");
    Slot(5, "weekly", kWeekly, "12-08-2026");
    Slot(6, "once-dated", kOneTime, "11-30-2026");
    Slot(7, "tomorrow", kDaily, "12-09-2026");
    ASSERT_TRUE(SaveEvents(state));
    RunDueEvents(state, shell, clock, WindowHandle{}, RunKind::Dated);
    EXPECT_EQ(Launched(), (std::vector<std::string>{"weekly", "once-dated"}));
    const auto after = Reloaded();
    EXPECT_EQ(after.Events.EventDue[5], "12-15-2026");
    EXPECT_EQ(after.Events.EventDue[6], "Disabled");
    for (int n : {0, 1, 2, 3, 4, 7}) EXPECT_EQ(after.Events.EventDue[n], state.Events.EventDue[n]);
}

TEST_F(LaunchRunTest, FailuresAreLoggedInSlotOrderAndStillMoveOn) {
    WriteFile(dir / "Tarvona.log", "earlier entry\r\n");
    Slot(2, "/missing/a", kDaily, "12-08-2026");
    Slot(5, "once-fails", kOneTime, "12-01-2026");
    Slot(9, "fine", kEveryBoot, "?");
    shell.failures = {{"/missing/a", 3}, {"once-fails", 31}};
    ASSERT_TRUE(SaveEvents(state));
    const auto failures = Run();

    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].slot, 2);
    EXPECT_EQ(failures[0].message, "Path was not found.");
    EXPECT_EQ(failures[1].message, "There is no association for the specified file.");
    EXPECT_TRUE(state.LaunchErrors);
    const LocalTime now = clock.Now();
    EXPECT_EQ(ReadFile(dir / "Tarvona.log"),
              "earlier entry\r\n" +
                  ErrorLog::FormatEntry(3, "Path was not found.", "/missing/a", now) +
                  ErrorLog::FormatEntry(31, "There is no association for the specified file.",
                                        "once-fails", now));
    const auto after = Reloaded();
    EXPECT_EQ(after.Events.EventDue[2], "12-09-2026") << "not retried before its next date";
    EXPECT_EQ(after.Events.EventDue[5], "Disabled");
}

TEST_F(LaunchRunTest, InvalidNextRunTextIsLoggedAndLeftAlone) {
    Slot(0, "garbage", kDaily, "13-45-2099");
    Slot(1, "empty", kWeekly, "");
    Slot(2, "after", kDaily, "12-08-2026");
    ASSERT_TRUE(SaveEvents(state));
    const auto failures = Run();

    EXPECT_EQ(Launched(), std::vector<std::string>{"after"});
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].message, "Next run date is not valid: 13-45-2099");
    EXPECT_EQ(failures[1].message, "Next run date is not valid: ");
    const auto lines = test::CrLfLines(ReadFile(dir / "Tarvona.log"));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[1], "Error number: 0 ");
    EXPECT_EQ(lines[2], "Error message: Next run date is not valid: 13-45-2099");
    EXPECT_EQ(lines[3], "App: GARBAGE");
    EXPECT_TRUE(state.LaunchErrors);
    const auto after = Reloaded();
    EXPECT_EQ(after.Events.EventDue[0], "13-45-2099");
    EXPECT_EQ(after.Events.EventDue[1], "");
    EXPECT_EQ(after.Events.EventDue[2], "12-09-2026");
}

TEST_F(LaunchRunTest, WithoutALogFailuresAreNotFlagged) {
    Slot(0, "bad", kDaily, "12-08-2026");
    shell.failures = {{"bad", 2}};
    ASSERT_TRUE(SaveEvents(state));
    std::filesystem::create_directory(dir / "Tarvona.log");  // a log that cannot be opened
    const auto failures = Run();
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_FALSE(state.LaunchErrors);
    EXPECT_EQ(Reloaded().Events.EventDue[0], "12-09-2026");
}

TEST_F(LaunchRunTest, MessageFilesOfUsedUpEventsAreQueued) {
    const std::string message = state.MessageDir + "/msg12345.txt";
    WriteFile(message, "hello");
    const std::string sibling = dir / "MessagesOld/msg1.txt";
    Slot(0, message, kOneTime, "?");
    Slot(1, sibling, kOneTime, "?");
    Slot(2, message, kDaily, "12-08-2026");
    ASSERT_TRUE(SaveEvents(state));
    Run();
    EXPECT_EQ(ReadFile(state.TempList), message + "\r\n");
    EXPECT_TRUE(test::Exists(message)) << "the run itself deletes nothing";

    PurgeTempList(state, *state.Data->ModifiedAt("Tarvona.tmp") + kMessageGrace);
    EXPECT_FALSE(test::Exists(message));
    EXPECT_FALSE(test::Exists(state.TempList));
}

TEST_F(LaunchRunTest, ReadOnlyFilesNeverStopTheRun) {
    Slot(0, state.MessageDir + "/msg1.txt", kOneTime, "?");
    Slot(1, "second", kDaily, "12-08-2026");
    ASSERT_TRUE(SaveEvents(state));
    const std::string before = ReadFile(state.IniFile);
    ::chmod(dir.path().c_str(), 0555);
    Run();
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(Launched().size(), 2u);
    EXPECT_EQ(ReadFile(state.IniFile), before);
    EXPECT_FALSE(test::Exists(state.TempList));
}

// A table at the size bound stays readable: the write that would pass it is refused and told.
TEST_F(LaunchRunTest, AWritePastTheSizeBoundIsRefusedAndTold) {
    const std::string table =
        "[Commands]\r\nCommand0=once\r\n[Frequency]\r\nFrequency0=7\r\n"
        "[Due]\r\nDue0=?\r\n;";
    const std::string bytes =
        table + std::string(IniFile::kMaxSize - table.size() - 2, 'x') + "\r\n";
    WriteFile(state.IniFile, bytes);
    ProgramState started = Reloaded();
    const RunReport report = RunDueEvents(started, shell, clock, WindowHandle{});
    EXPECT_EQ(Launched(), std::vector<std::string>{"once"});
    ASSERT_EQ(report.unsaved.size(), 1u);
    EXPECT_EQ(ReportLine(report.unsaved[0]),
              "Tarvona: once: Unable to write its next run to Tarvona.ini.");
    EXPECT_LE(ReadFile(state.IniFile).size(), IniFile::kMaxSize);
    EXPECT_TRUE(LoadEvents(started)) << "the next run can still read the table";
}

// A text editor saving in place empties the file for a moment; the run must not write the
// remains back as the whole table.
TEST_F(LaunchRunTest, AFileThatLostItsKeysIsNeverReplacedByTheRemains) {
    Slot(0, "first", kDaily, "12-08-2026");
    Slot(1, "second", kWeekly, "12-08-2026");
    ASSERT_TRUE(SaveEvents(state));
    ProgramState started = Reloaded();
    for (const std::string& remains :
         {std::string(), std::string("[Commands]\r\nCommand0=first\r\n")}) {
        WriteFile(state.IniFile, remains);
        const RunReport report = RunDueEvents(started, shell, clock, WindowHandle{});
        EXPECT_EQ(ReadFile(state.IniFile), remains);
        EXPECT_EQ(report.unsaved.size(), 2u);
    }
}

TEST_F(LaunchRunTest, NoDateIsWrittenPastTheLastOneTheFileCanHold) {
    clock.Set(Date(9999, 12, 31));
    Slot(0, "daily", kDaily, "12-31-9999");
    Slot(1, "yearly", kYearly, "12-30-9999");
    Slot(2, "weekly", kWeekly, "12-20-9999");
    ASSERT_TRUE(SaveEvents(state));
    Run();
    const ProgramState after = Reloaded();
    for (int n = 0; n < 3; ++n) EXPECT_EQ(after.Events.EventDue[n], "Disabled") << n;
}

TEST(IsMessageFile, OnlyFilesDirectlyInTheFolder) {
    const std::string folder = "/opt/t/Messages";
    const std::vector<std::pair<std::string, bool>> cases = {
        {"/opt/t/Messages/msg12345.txt", true},
        {"/opt/t/Messages/./msg12345.txt", true},
        {"/opt/t/Messages/sub/../msg1.txt", true},
        {"/opt/t/MessagesOld/msg1.txt", false},
        {"/opt/t/messages/msg1.txt", false},
        {"/opt/t/Messages/sub/msg1.txt", false},
        {"/opt/t/Messages/../x.txt", false},
        {"/opt/t/Messages", false},
        {"/opt/t/Messages/", false},
        {"notepad /opt/t/Messages/msg1.txt", false},
        {"/home/u/victim.txt" + std::string(1, '\0') + "/../../../opt/t/Messages/x", false},
        {"", false},
    };
    for (const auto& [command, expected] : cases)
        EXPECT_EQ(IsMessageFile(command, folder), expected) << command;
}

TEST(LaunchErrorText, KnownAndUnknownCodes) {
    EXPECT_EQ(LaunchErrorText(2), "File was not found.");
    EXPECT_EQ(LaunchErrorText(31), "There is no association for the specified file.");
    EXPECT_EQ(LaunchErrorText(0),
              "System was out of memory, executable file was corrupt, or relocations were "
              "invalid.");
    for (int32_t code : {1, 4, 7, 9, 17, 18, 22, 30, 32, 33, 42, -1})
        EXPECT_EQ(LaunchErrorText(code), "Unknown error.") << code;
}

}  // namespace
}  // namespace tarvona
