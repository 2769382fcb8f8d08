// The launch run at login, unattended: displays that are gone, a second run, another writer,
// special files and a file it cannot write. Every case runs the real binary.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "data_folder.h"
#include "e2e_support.h"
#include "event_table.h"
#include "ini_file.h"
#include "program_state.h"
#include "run_lock.h"
#include "xdg_desktop.h"

namespace tarvona {
namespace {

using test::InstalledProgram;
using test::ReadFile;
using test::WriteFile;

using Env = std::vector<std::pair<std::string, std::string>>;

const std::string kMissing = "/nonexistent-tarvona-tool";
const std::string kMissingLine = "Tarvona: " + kMissing + ": File was not found.\n";

class Unattended : public ::testing::Test {
protected:
    // Slot 0 fails at every run (Every Boot); slot 1 is a daily event due today.
    void TwoEvents() {
        WriteFile(program / "Tarvona.ini", "[Commands]\r\nCommand0=" + kMissing +
                                               "\r\nCommand1=/usr/bin/true\r\n"
                                               "[Frequency]\r\nFrequency0=8\r\nFrequency1=0\r\n"
                                               "[Due]\r\nDue0=?\r\nDue1=12-08-2026\r\n");
    }
    std::string Due(int slot) {
        return IniFile(program / "Tarvona.ini").ReadString("Due", "Due" + std::to_string(slot), "");
    }
    size_t LogEntries() { return test::CrLfLines(ReadFile(program / "Tarvona.log")).size() / 5; }
    Env With(Env extra) {
        Env env = desktop.Environment();
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }

    InstalledProgram program;
    test::XdgDesktop desktop;
};

// A display server that accepts connections and then never answers, or closes each one at once.
class FakeDisplayServer {
public:
    FakeDisplayServer(std::string path, bool closing) : m_path(std::move(path)) {
        std::filesystem::create_directories(std::filesystem::path(m_path).parent_path());
        m_fd = test::ListenAt(m_path);
        if (m_fd < 0) ADD_FAILURE() << "cannot listen on " << m_path;
        if (closing)
            m_closer = std::thread([fd = m_fd] {
                for (int client; (client = ::accept(fd, nullptr, nullptr)) >= 0;) ::close(client);
            });
    }
    ~FakeDisplayServer() {
        ::shutdown(m_fd, SHUT_RDWR);  // ends the closer's accept
        if (m_closer.joinable()) m_closer.join();
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }

private:
    std::string m_path;
    int m_fd = -1;
    std::thread m_closer;
};

TEST_F(Unattended, DisplaysThatDoNotAnswerGiveACompleteRunWithoutWindows) {
    test::TempDir runtime;  // XDG_RUNTIME_DIR: no compositor there but the fake ones
    const FakeDisplayServer frozenWayland(runtime / "frozen", false);
    const FakeDisplayServer closingWayland(runtime / "closing", true);
    const FakeDisplayServer frozenX("/tmp/.X11-unix/X931", false);
    ::chmod("/tmp/.X11-unix", 01777);
    const std::vector<std::pair<const char*, Env>> cases = {
        {"frozen compositor", {{"WAYLAND_DISPLAY", "frozen"}, {"XDG_RUNTIME_DIR", runtime.path()}}},
        {"compositor that closes every connection",
         {{"WAYLAND_DISPLAY", "closing"}, {"XDG_RUNTIME_DIR", runtime.path()}}},
        {"frozen X server, no session bus", {{"DISPLAY", ":931"}}},
        {"stale DISPLAY", {{"DISPLAY", ":917"}}},
        {"dead WAYLAND_DISPLAY",
         {{"WAYLAND_DISPLAY", "wayland-9"}, {"XDG_RUNTIME_DIR", runtime.path()}}},
        {"wayland asked for, none there",
         {{"QT_QPA_PLATFORM", "wayland"}, {"XDG_RUNTIME_DIR", runtime.path()}}},
        {"offscreen", {{"QT_QPA_PLATFORM", "offscreen"}}},
    };
    // Slot 2 writes down the environment it was started with: no display that did not answer
    // may reach it (nor GIO's D-Bus autolaunch before it).
    const std::string recorder = program / "recorder";
    WriteFile(recorder, "#!/bin/sh\nenv > \"$0.env\"\n");
    ::chmod(recorder.c_str(), 0755);
    for (const auto& [name, env] : cases) {
        SCOPED_TRACE(name);
        TwoEvents();
        IniFile(program / "Tarvona.ini").WriteString("Commands", "Command2", recorder);
        IniFile(program / "Tarvona.ini").WriteString("Frequency", "Frequency2", "8");
        IniFile(program / "Tarvona.ini").WriteString("Due", "Due2", "?");
        std::filesystem::remove(program / "Tarvona.log");
        std::filesystem::remove(recorder + ".env");
        const auto run = program.Run({"/start"}, With(env), "2026-12-08");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, kMissingLine);
        EXPECT_EQ(LogEntries(), 1u);
        EXPECT_EQ(Due(1), "12-09-2026");
        ASSERT_TRUE(test::WaitFor(
            [&] { return ReadFile(recorder + ".env").find("PATH=") != std::string::npos; }));
        const std::string started = "\n" + ReadFile(recorder + ".env");
        EXPECT_EQ(started.find("\nDISPLAY="), std::string::npos);
        EXPECT_EQ(started.find("\nWAYLAND_DISPLAY="), std::string::npos);
    }
}

// A run that shows no window loads no window code: the dynamic loader's own trace names every
// library it maps.
TEST_F(Unattended, ARunWithoutWindowsLoadsNoQtLibrary) {
    for (const auto& [name, env] : std::vector<std::pair<const char*, Env>>{
             {"no display", {}}, {"offscreen", {{"QT_QPA_PLATFORM", "offscreen"}}}}) {
        SCOPED_TRACE(name);
        TwoEvents();
        Env traced = env;
        traced.emplace_back("LD_DEBUG", "libs");
        const auto run = program.Run({"/start"}, With(traced), "2026-12-08");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(Due(1), "12-09-2026");
        EXPECT_NE(run.err.find("libgio-2.0.so"), std::string::npos) << "no loader trace";
        EXPECT_EQ(run.err.find("libQt6"), std::string::npos);
    }
}

// A run killed while it waits on a frozen display leaves nothing behind that holds the folder's
// locks: the next login run opens its events.
TEST_F(Unattended, ARunKilledDuringTheDisplayProbeHoldsUpNoLaterRun) {
    const FakeDisplayServer frozenX("/tmp/.X11-unix/X932", false);
    ::chmod("/tmp/.X11-unix", 01777);
    TwoEvents();
    auto killed = program.Start({"/start"}, With({{"DISPLAY", ":932"}}), "2026-12-08");
    const std::string children = "/proc/" + std::to_string(killed.pid()) + "/task/" +
                                 std::to_string(killed.pid()) + "/children";
    ASSERT_TRUE(test::WaitFor([&] { return !ReadFile(children).empty(); }));  // probing
    ::kill(killed.pid(), SIGKILL);
    killed.Wait();
    const auto run = program.Run({"/start"}, desktop.Environment(), "2026-12-08");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kMissingLine);
    EXPECT_EQ(Due(1), "12-09-2026");
}

TEST_F(Unattended, TheEditorWithoutADisplaySaysSoAndEnds) {
    for (const Env& env : {Env{}, Env{{"DISPLAY", ":917"}}}) {
        const auto run = program.Run({}, env);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind("Tarvona: no display to show the editor on", 0), 0u) << run.err;
        EXPECT_FALSE(test::Exists(program / "Tarvona.ini"));
    }
}

// The test holds the folder's state lock, so the first run waits inside its own run lock while
// the second one starts: they certainly overlap.
TEST_F(Unattended, TwoRunsStartedTogetherOpenEachEventOnce) {
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        TwoEvents();
        std::filesystem::remove(program / "Tarvona.log");
        ProgramState holder;
        SetUpPaths(holder, program.folder());
        auto lock = std::make_unique<StateLock>(holder);
        ASSERT_TRUE(lock->Held());
        auto first = program.Start({"/start"}, desktop.Environment(), "2026-12-08");
        auto second = program.Start({"/start"}, desktop.Environment(), "2026-12-08");
        ASSERT_TRUE(test::WaitFor([&] { return first.Ended() || second.Ended(); }));
        lock.reset();
        const auto a = first.Wait(), b = second.Wait();
        const auto& skipped = a.status == 0 ? a : b;
        const auto& worked = a.status == 0 ? b : a;
        EXPECT_EQ(skipped.status, 0);
        EXPECT_NE(skipped.err.find("another launch run"), std::string::npos) << skipped.err;
        EXPECT_EQ(worked.status, 1);
        EXPECT_EQ(worked.err, kMissingLine);
        EXPECT_EQ(LogEntries(), 1u) << "the failing event was opened more than once";
    }
}

TEST_F(Unattended, AnotherWriterDuringTheRunKeepsBothSidesKeys) {
    // A large foreign section makes every replacement slow enough for writers to meet; small
    // enough that the writes together stay well inside the run's wait for the lock, also under
    // the sanitizers.
    std::string bulk = "[Bulk]\r\n";
    for (int i = 0; i < 10000; ++i) bulk += "Line" + std::to_string(i) + "=padding padding\r\n";
    WriteFile(program / "Tarvona.ini",
              bulk +
                  "[Commands]\r\nCommand1=/usr/bin/true\r\nCommand2=/usr/bin/true\r\n"
                  "[Frequency]\r\nFrequency1=0\r\nFrequency2=2\r\n"
                  "[Due]\r\nDue1=12-08-2026\r\nDue2=12-01-2026\r\n");
    auto run = program.Start({"/start"}, desktop.Environment(), "2026-12-08");
    ProgramState editor;
    SetUpPaths(editor, program.folder());
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(ChangeSettings(editor, [i](IniDocument& ini) {
            ini.Set("Mine", "Key" + std::to_string(i), std::to_string(i));
        }));
    EXPECT_EQ(run.Wait().status, 0);
    const IniFile ini(program / "Tarvona.ini");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(ini.ReadString("Mine", "Key" + std::to_string(i), "lost"), std::to_string(i));
    EXPECT_EQ(Due(1), "12-09-2026");
    EXPECT_EQ(Due(2), "12-15-2026");
    EXPECT_EQ(ini.ReadString("Bulk", "Line9999", "lost"), "padding padding");
}

TEST_F(Unattended, SpecialFilesNeverBlockOrAbort) {
    struct Case {
        const char* name;
        std::function<void(const InstalledProgram&)> make;
        bool replacesSettings;  // the special file stands where Tarvona.ini would be
        std::string errPart;    // expected on standard error
    };
    auto fifo = [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); };
    auto zero = [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); };
    const std::vector<Case> cases = {
        {"FIFO settings file", [&](auto& p) { fifo(p / "Tarvona.ini"); }, true, "cannot be read"},
        {"settings file linked to /dev/zero", [&](auto& p) { zero(p / "Tarvona.ini"); }, true,
         "cannot be read"},
        {"FIFO deletion list", [&](auto& p) { fifo(p / "Tarvona.tmp"); }, false, kMissingLine},
        {"FIFO log", [&](auto& p) { fifo(p / "Tarvona.log"); }, false, kMissingLine},
        {"log linked to /dev/zero", [&](auto& p) { zero(p / "Tarvona.log"); }, false, kMissingLine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstalledProgram fresh;
        if (!c.replacesSettings)
            WriteFile(fresh / "Tarvona.ini", "[Commands]\r\nCommand0=" + kMissing +
                                                 "\r\n[Frequency]\r\nFrequency0=8\r\n"
                                                 "[Due]\r\nDue0=?\r\n");
        c.make(fresh);
        const auto run = fresh.Run({"/start"}, desktop.Environment(), "2026-12-08");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.errPart), std::string::npos) << run.err;
        EXPECT_EQ(std::filesystem::is_regular_file(
                      std::filesystem::symlink_status(fresh / "Tarvona.ini")),
                  !c.replacesSettings)
            << "a special settings file is never written over";
    }

    // A command naming a FIFO is opened by nobody: no association.
    const std::string pipe = program / "pipe";
    fifo(pipe);
    WriteFile(program / "Tarvona.ini",
              "[Commands]\r\nCommand0=" + pipe +
                  "\r\n[Frequency]\r\nFrequency0=8\r\n[Due]\r\nDue0=?\r\n");
    const auto run = program.Run({"/start"}, desktop.Environment(), "2026-12-08");
    EXPECT_EQ(run.err, "Tarvona: " + pipe + ": There is no association for the specified file.\n");
}

// With as few descriptors as 7 (soft and hard), GLib must not abort the run: every slot is
// visited, its next date written or told as unsaved, and launches that cannot get descriptors
// fail.
TEST_F(Unattended, ADescriptorLimitOfSevenStillVisitsEverySlot) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' runtime needs descriptors of its own";
#endif
    const std::string note = program / "note.txt";
    WriteFile(note, "remember\n");
    std::string commands = "[Commands]\r\n", frequencies = "[Frequency]\r\n", dues = "[Due]\r\n";
    for (int n = 0; n <= kMaxEvent; ++n) {
        const std::string slot = std::to_string(n);
        commands += "Command" + slot + "=" + (n % 2 ? note : "/usr/bin/true") + "\r\n";
        frequencies += "Frequency" + slot + "=0\r\n";
        dues += "Due" + slot + "=01-01-2000\r\n";
    }
    WriteFile(program / "Tarvona.ini", commands + frequencies + dues);

    std::vector<std::string> environment = {"PATH=/usr/bin:/bin", "HOME=" + program.folder()};
    for (const auto& [name, value] : desktop.Environment())
        environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string binary = program / "Tarvona";
    const std::string errors = program / "errors";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close_range(3, ~0u, 0);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 1);
        ::close(null);
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(err, 2);
        ::close(err);
        const rlimit seven{7, 7};
        ::setrlimit(RLIMIT_NOFILE, &seven);
        char* argv[] = {const_cast<char*>(binary.c_str()), const_cast<char*>("/start"), nullptr};
        ::execve(binary.c_str(), argv, envp.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    const std::string err = ReadFile(errors);
    size_t unsaved = 0;
    for (size_t at = 0; (at = err.find("Unable to write its next run", at)) != std::string::npos;
         ++at)
        ++unsaved;
    size_t written = 0;
    for (int n = 0; n <= kMaxEvent; ++n) written += Due(n) != "01-01-2000";
    EXPECT_EQ(written + unsaved, size_t(kMaxEvent + 1)) << err;
}

// A file in an encoding the reader does not know: the run opens nothing and writes nothing.
TEST_F(Unattended, AnUnknownEncodingIsNeitherRunNorWritten) {
    std::string be = "\xFE\xFF";
    for (char c : std::string("[Commands]\r\nCommand0=/usr/bin/true\r\n[Due]\r\nDue0=?\r\n"))
        be += std::string(1, '\0') + c;
    WriteFile(program / "Tarvona.ini", be);
    const auto run = program.Run({"/start"}, desktop.Environment(), "2026-12-08");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("in an encoding other than"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(program / "Tarvona.ini"), be);
}

TEST_F(Unattended, ANextStateThatCannotBeWrittenIsToldAndFails) {
    TwoEvents();
    ::chmod((program / "Tarvona.ini").c_str(), 0444);
    const std::string before = ReadFile(program / "Tarvona.ini");
    const auto run = program.Run({"/start"}, desktop.Environment(), "2026-12-08");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, kMissingLine +
                           "Tarvona: /usr/bin/true: Unable to write its next run to "
                           "Tarvona.ini.\n");
    EXPECT_EQ(ReadFile(program / "Tarvona.ini"), before);
}

}  // namespace
}  // namespace tarvona
