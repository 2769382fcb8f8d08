// The real launch run: `Tarvona /start` under faketime, with a private desktop.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "e2e_support.h"
#include "ini_file.h"
#include "xdg_desktop.h"

namespace tarvona {
namespace {

using test::InstalledProgram;
using test::ReadFile;
using test::WaitFor;
using test::WriteFile;

class LaunchE2E : public ::testing::Test {
protected:
    void Events(const std::string& body) { WriteFile(program / "Tarvona.ini", body); }
    test::ProgramRun Start(const std::string& day = "2026-12-08") {
        return program.Run({"/start"}, desktop.Environment(), day);
    }
    std::string Due(int slot) {
        return IniFile(program / "Tarvona.ini").ReadString("Due", "Due" + std::to_string(slot), "");
    }
    InstalledProgram program;
    test::XdgDesktop desktop;
};

TEST_F(LaunchE2E, OpensDueEventsAndWritesTheirNextDates) {
    const std::string waiter = program / "waiter";
    const std::string waiterRecord = desktop.MakeWaitingProgram(waiter);
    const std::string note = program / "note.txt";
    WriteFile(note, "remember\n");
    Events("[Commands]\nCommand0=" + waiter + "\nCommand1=" + note +
           "\nCommand2=/usr/bin/true\n"
           "[Frequency]\nFrequency0=2\nFrequency1=4\nFrequency2=0\n"
           "[Due]\nDue0=12-08-2026\nDue1=11-30-2026\nDue2=12-09-2026\n");
    auto run = Start();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    // The program was started and not waited for: it is still running now.
    ASSERT_TRUE(WaitFor([&] { return ReadFile(waiterRecord).rfind("started", 0) == 0; }));
    EXPECT_EQ(ReadFile(waiterRecord).find("ended"), std::string::npos);
    WriteFile(desktop.release(), "");
    ASSERT_TRUE(WaitFor([&] { return desktop.RecordedLines().size() == 1; }));
    EXPECT_EQ(desktop.RecordedLines()[0], note);

    EXPECT_EQ(Due(0), "12-15-2026");
    EXPECT_EQ(Due(1), "01-08-2027");
    EXPECT_EQ(Due(2), "12-09-2026");
    EXPECT_EQ(ReadFile(program / "Tarvona.log"), "");
}

TEST_F(LaunchE2E, FailuresGoToTheLogAndStandardError) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    const std::string unknown = program / "data.tarvonatest";
    WriteFile(unknown, bytes);
    const std::string missing = program / "missing/report";
    Events("[Commands]\nCommand3=" + missing + "\nCommand7=" + unknown +
           "\n[Frequency]\nFrequency3=0\nFrequency7=7\n[Due]\nDue3=12-01-2026\nDue7=?\n");
    auto run = Start();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Tarvona: " + missing + ": Path was not found.\nTarvona: " + unknown +
                           ": There is no association for the specified file.\n");

    const auto log = test::CrLfLines(ReadFile(program / "Tarvona.log"));
    ASSERT_EQ(log.size(), 10u);
    EXPECT_EQ(log[0], "[10:00:00     12-08-2026]");
    EXPECT_EQ(log[1], "Error number: 3 ");
    EXPECT_EQ(log[2], "Error message: Path was not found.");
    std::string upper = missing;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(log[3], "App: " + upper);
    EXPECT_EQ(log[4], "");
    EXPECT_EQ(log[6], "Error number: 31 ");
    EXPECT_EQ(log[7], "Error message: There is no association for the specified file.");

    EXPECT_EQ(Due(3), "12-09-2026");
    EXPECT_EQ(Due(7), "Disabled");
}

// The journal hears GIO's own reason; the log keeps the code's sentence.
TEST_F(LaunchE2E, AFailedOpenTellsTheSystemsReason) {
    const std::string data = desktop.dir() / "data/applications/needs-terminal.desktop";
    WriteFile(data,
              "[Desktop Entry]\nType=Application\nName=Viewer\nExec=/bin/true %f\n"
              "Terminal=true\nMimeType=text/csv;\n");
    WriteFile(
        desktop.dir() / "config/mimeapps.list",
        ReadFile(desktop.dir() / "config/mimeapps.list") + "text/csv=needs-terminal.desktop\n");
    const std::string table = program / "table.csv";
    WriteFile(table, "a,b\n1,2\n");
    Events("[Commands]\nCommand0=" + table + "\n[Frequency]\nFrequency0=8\n[Due]\nDue0=?\n");
    test::TempDir noTerminal;  // PATH holds no terminal
    auto env = desktop.Environment();
    env.emplace_back("PATH", noTerminal.path());
    const auto run = program.Run({"/start"}, env, "2026-12-08");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Tarvona: " + table +
                           ": System was out of memory, executable file was corrupt, or "
                           "relocations were invalid. (Unable to find terminal required for "
                           "application)\n");
    EXPECT_EQ(test::CrLfLines(ReadFile(program / "Tarvona.log"))[2],
              "Error message: System was out of memory, executable file was corrupt, or "
              "relocations were invalid.");
}

TEST_F(LaunchE2E, NothingDueMeansStatusZeroAndAMissingCommandIsFileNotFound) {
    Events(
        "[Commands]\nCommand0=/nonexistent-tarvona-tool\n[Frequency]\nFrequency0=8\n"
        "[Due]\nDue0=?\n");
    auto run = Start();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Tarvona: /nonexistent-tarvona-tool: File was not found.\n");
    const auto log = test::CrLfLines(ReadFile(program / "Tarvona.log"));
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[2], "Error message: File was not found.");
    EXPECT_EQ(Due(0), "?") << "Every Boot never changes";

    InstalledProgram empty;
    EXPECT_EQ(empty.Run({"/start"}, desktop.Environment(), "2026-12-08").status, 0);
}

TEST_F(LaunchE2E, OneTimeMessageIsOpenedUsedUpAndDeletedAtTheNextStart) {
    std::filesystem::create_directory(program / "Messages");
    const std::string message = program / "Messages/msg12345.txt";
    WriteFile(message, "Call the dentist.");
    Events("[Commands]\nCommand0=" + message +
           "\n[Descriptions]\nDescription0=Dentist\n"
           "[Frequency]\nFrequency0=7\n[Due]\nDue0=12-08-2026\n");
    auto run = Start();
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(WaitFor([&] { return desktop.RecordedLines().size() == 1; }));
    EXPECT_EQ(desktop.RecordedLines()[0], message);
    EXPECT_EQ(ReadFile(program / "Tarvona.tmp"), message + "\r\n");
    EXPECT_EQ(IniFile(program / "Tarvona.ini").ReadString("Commands", "Command0", "x"), "");
    EXPECT_EQ(Due(0), "Disabled");
    EXPECT_TRUE(test::Exists(message));

    // The file system's clock is not faked: the list is dated by the faked day it was written.
    using namespace std::chrono;
    std::filesystem::last_write_time(
        program / "Tarvona.tmp",
        file_clock::from_sys(sys_seconds{sys_days{December / 8 / 2026} + hours(10)}));
    EXPECT_EQ(Start("2026-12-09").status, 0);
    EXPECT_FALSE(test::Exists(message));
    EXPECT_FALSE(test::Exists(program / "Tarvona.tmp"));
}

}  // namespace
}  // namespace tarvona
