#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "shell.h"
#include "test_support.h"
#include "xdg_desktop.h"

namespace tarvona {
namespace {

using test::WaitFor;
using test::WriteFile;

// GIO reads the XDG variables once per process, so one private desktop serves every test.
test::XdgDesktop* g_desktop = nullptr;

class ShellTest : public ::testing::Test {
protected:
    int32_t Launch(const std::string& command, int32_t style = 0) {
        return shell.LaunchCommand(WindowHandle{}, command, style);
    }
    bool Recorded(const std::string& line) {
        return WaitFor([&] {
            for (const auto& l : g_desktop->RecordedLines())
                if (l.find(line) != std::string::npos) return true;
            return false;
        });
    }
    std::string Executable(const std::string& name, const std::string& body, mode_t mode) {
        const std::string path = files / name;
        WriteFile(path, body);
        ::chmod(path.c_str(), mode);
        return path;
    }
    GioShell shell;
    test::TempDir files;
};

TEST_F(ShellTest, ProgramIsStartedDetachedAndNotWaitedFor) {
    const std::string program = files / "waiter";
    const std::string record = g_desktop->MakeWaitingProgram(program);
    EXPECT_EQ(Launch(program, 1), kLaunchSucceeded);
    EXPECT_EQ(shell.LastShowCommand(), 2);
    Launch(files / "missing", INT32_MAX);  // a hand-edited style wraps as a show command would
    EXPECT_EQ(shell.LastShowCommand(), INT32_MIN);
    ASSERT_TRUE(WaitFor([&] { return test::ReadFile(record).rfind("started", 0) == 0; }));
    EXPECT_EQ(test::ReadFile(record).find("ended"), std::string::npos);
    // Its own session, not ours.
    const std::string line = test::ReadFile(record);
    const std::string pid = line.substr(8, line.find(' ', 8) - 8);
    EXPECT_EQ(line, "started " + pid + " " + pid + "\n");
    WriteFile(g_desktop->release(), "");
    EXPECT_TRUE(WaitFor([&] { return test::ReadFile(record).find("ended") != std::string::npos; }));
    std::filesystem::remove(g_desktop->release());
}

TEST_F(ShellTest, QuotedPathAndBareNameOnPath) {
    const std::string marker = files / "ran";
    const std::string program =
        Executable("my tool", "#!/bin/sh\necho \"$#\" > '" + marker + "'\n", 0755);
    EXPECT_EQ(Launch("\"" + program + "\""), kLaunchSucceeded);
    EXPECT_TRUE(WaitFor([&] { return test::ReadFile(marker) == "0\n"; }))
        << "started with no arguments";
    EXPECT_EQ(Launch("true"), kLaunchSucceeded) << "found on PATH";
}

TEST_F(ShellTest, DocumentsFoldersAndUrlsGoToTheirDefaultApplication) {
    const std::string text = files / "note.txt";
    WriteFile(text, "hello\n");
    EXPECT_EQ(Launch(text), kLaunchSucceeded);
    EXPECT_TRUE(Recorded(text));
    EXPECT_EQ(Launch(files.path()), kLaunchSucceeded);
    EXPECT_TRUE(Recorded(files.path()));
    EXPECT_EQ(Launch("https://example.invalid/page"), kLaunchSucceeded);
    EXPECT_TRUE(Recorded("https://example.invalid/page"));
}

TEST_F(ShellTest, FailureCodes) {
    const std::string binary = Executable("noperm", test::ReadFile("/bin/true"), 0644);
    const std::string corrupt = Executable("corrupt",
                                           std::string("\x7f"
                                                       "ELF") +
                                               "garbage",
                                           0755);
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    const std::string unknown = files / "data.tarvonatest";
    WriteFile(unknown, bytes);
    const std::string namedLikeAProgram = Executable("tool.exe", "MZ not really\n", 0644);
    const std::string launcher = files / "app.desktop";
    WriteFile(launcher, "[Desktop Entry]\nType=Application\nName=X\nExec=" + files / "gone\n");
    const std::string fifo = files / "pipe.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string cutByNul = unknown + std::string(1, '\0') + ".ignored";

    struct Case {
        std::string command;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {files / "missing.exe", kFileNotFound},
        {files / "no/such/folder/prog", kPathNotFound},
        {"/bin/true --version", kFileNotFound},
        {"notepad.exe", kFileNotFound},
        {"notepad.exe /tmp/a.txt", kPathNotFound},  // a relative path into a missing folder
        {"tarvona-no-such-program", kFileNotFound},
        {binary, kAccessDenied},
        {corrupt, kBadExecutable},
        {unknown, kNoAssociation},
        {namedLikeAProgram, kNoAssociation},
        {"tarvonanone://x", kNoAssociation},
        {"mailto:someone@example.invalid", kNoAssociation},
        {launcher, kOutOfMemoryOrCorrupt},
        {"", kFileNotFound},
        {fifo, kNoAssociation},  // a special file is no document, and is never read
        {"/dev/zero", kNoAssociation},
        {cutByNul, kFileNotFound},
    };
    for (const Case& c : cases) EXPECT_EQ(Launch(c.command), c.expected) << c.command;
}

// With no file descriptor left the head of a document cannot be read: a failed launch, never
// an empty document handed to GIO (which would abort the process).
TEST_F(ShellTest, NoDescriptorLeftIsAFailedLaunch) {
    const std::string note = files / "note.txt";
    WriteFile(note, "text");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        GioShell inChild;
        rlimit limit{0, 0};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = 0;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::_exit(inChild.LaunchCommand(WindowHandle{}, note, 0) == kOutOfMemoryOrCorrupt ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(ShellTest, ShellMetacharactersAreNeverInterpreted) {
    const std::string victim = files / "victim";
    WriteFile(victim, "keep");
    const std::string marker = files / "marker";
    for (const std::string& command :
         {"true; rm -f " + victim, "$(touch " + marker + ")", "`touch " + marker + "`",
          "true && touch " + marker, "true | touch " + marker})
        EXPECT_LE(Launch(command), 32) << command;
    EXPECT_TRUE(test::Exists(victim));
    EXPECT_FALSE(test::Exists(marker));
}

}  // namespace
}  // namespace tarvona

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tarvona::test::XdgDesktop desktop;
    desktop.Apply();
    tarvona::g_desktop = &desktop;
    return RUN_ALL_TESTS();
}
