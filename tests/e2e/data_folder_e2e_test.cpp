// Where the real binary keeps each user's files, and which settings files it refuses to run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "e2e_support.h"
#include "file_lock.h"
#include "ini_file.h"

namespace tarvona {
namespace {

namespace fs = std::filesystem;
using test::Exists;
using test::InstalledProgram;
using test::TempDir;
using test::WriteFile;

constexpr uid_t kNobody = 65534;

// A Daily event that is overdue: a run that reads this file moves its date on.
const std::string kDueEvent =
    "[Commands]\nCommand0=/usr/bin/true\n[Frequency]\nFrequency0=0\n[Due]\nDue0=01-01-2000\n";

std::string Due0(const std::string& ini) {
    return IniFile(ini).ReadString("Due", "Due0", "");
}

// The program folder holds the user's files when it is theirs; one that others (or a group with
// another member) can write is refused, never silently swapped for the XDG folder. Otherwise
// the XDG folder is the user's, and a launch run of a user who never used Tarvona (no such
// folder yet) leaves their home exactly as it was.
// Every entry of a folder, with its bytes, owner, mode and times: two equal snapshots mean
// nothing in it was created, deleted, changed or handed to anyone.
std::string Snapshot(const std::string& folder) {
    std::string shot;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        struct stat st {};
        ::lstat(it->path().c_str(), &st);
        shot += it->path().string() + " " + std::to_string(st.st_uid) + ":" +
                std::to_string(st.st_gid) + " " + std::to_string(st.st_mode) + " " +
                std::to_string(st.st_nlink) + " " + std::to_string(st.st_mtim.tv_nsec) + "\n";
        if (S_ISREG(st.st_mode)) shot += test::ReadFile(it->path()) + "\n";
    }
    return shot;
}

TEST(DataFolder, ProgramFolderOnlyWhenItIsTheUsersAndTheirsAlone) {
    const gid_t ownGroup = ::getpwuid(::geteuid())->pw_gid;
    enum class Outcome { BesideProgram, InDataHome, Refused };
    struct Case {
        const char* what;
        mode_t mode;
        uid_t owner;  // kNobody only where the test runs as root
        gid_t group;
        Outcome outcome;
    };
    const Case cases[] = {
        {"the user's own folder", 0755, ::geteuid(), ownGroup, Outcome::BesideProgram},
        {"writable by the user's private group", 0775, ::geteuid(), ownGroup,
         Outcome::BesideProgram},
        {"writable by a group with another member", 0775, ::geteuid(), kNobody, Outcome::Refused},
        {"writable by everybody", 0777, ::geteuid(), ownGroup, Outcome::Refused},
        {"a read-only folder", 0555, ::geteuid(), ownGroup, Outcome::InDataHome},
        {"another user's folder", 0755, kNobody, kNobody, Outcome::InDataHome},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (::geteuid() != 0 && (c.owner != ::geteuid() || c.group != ownGroup)) continue;
        if (c.outcome == Outcome::BesideProgram && (c.mode & S_IWGRP) && ::geteuid() != 0)
            continue;  // whether the user's group is private depends on the machine
        InstalledProgram program;
        TempDir home;
        WriteFile(program / "Tarvona.ini", kDueEvent);
        ASSERT_EQ(::chown(program.folder().c_str(), c.owner, c.group), 0);
        ::chmod(program.folder().c_str(), c.mode);
        const std::string before = Snapshot(home.path());
        const auto dated = program.Run({"/start", "--dated"}, {{"HOME", home.path()}});
        const auto run = program.Run({"/start"}, {{"HOME", home.path()}});
        ::chmod(program.folder().c_str(), 0755);
        EXPECT_EQ(Exists(program / "Messages"), c.outcome == Outcome::BesideProgram);
        EXPECT_EQ(Due0(program / "Tarvona.ini") == "01-01-2000",
                  c.outcome != Outcome::BesideProgram);
        if (c.outcome == Outcome::InDataHome) {
            EXPECT_EQ(Snapshot(home.path()), before);
            EXPECT_EQ(dated.status, 0) << dated.err;
        }
        if (c.outcome == Outcome::Refused) {
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.err.find(program.folder() + " cannot hold your events"),
                      std::string::npos)
                << run.err;
            EXPECT_FALSE(Exists(program / "Tarvona.lock"));
            continue;
        }
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
    }
}

// The window program is run from beside Tarvona only when nobody else can have put it there.
TEST(DataFolder, CodeBesideTheProgramRunsOnlyFromAFolderNobodyElseCanWrite) {
    struct Case {
        mode_t folder, file;
        bool runs;
    };
    for (const Case c :
         {Case{0700, 0755, true}, Case{0777, 0755, false}, Case{0700, 0777, false}}) {
        SCOPED_TRACE(std::to_string(c.folder) + " " + std::to_string(c.file));
        InstalledProgram program;
        const std::string planted = program / "tarvona-windows";
        WriteFile(planted, "#!/bin/sh\ntouch \"$0.ran\"\n");
        ::chmod(planted.c_str(), c.file);
        ::chmod(program.folder().c_str(), c.folder);
        const auto run = program.Run({}, {{"QT_QPA_PLATFORM", "offscreen"}});
        ::chmod(program.folder().c_str(), 0700);
        EXPECT_EQ(Exists(planted + ".ran"), c.runs) << run.err;
    }
}

TEST(DataFolder, ASettingsFileOthersCanChangeIsNeverRun) {
    struct Case {
        const char* what;
        mode_t mode;
        bool otherOwner;
    };
    const Case cases[] = {{"writable by others", 0666, false}, {"another user's", 0644, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.otherOwner && ::geteuid() != 0) continue;
        InstalledProgram program;
        const std::string ini = program / "Tarvona.ini";
        WriteFile(ini, kDueEvent);
        ::chmod(ini.c_str(), c.mode);
        if (c.otherOwner) {
            ASSERT_EQ(::chown(ini.c_str(), kNobody, kNobody), 0);
        }
        const auto run = program.Run({"/start"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("belongs to another user or others can write to it"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(test::ReadFile(ini), kDueEvent);
    }
}

// The run lock belongs to the data folder: copies of one executable in two folders never stop
// each other, even when the executable cannot be read, while a second run of one folder opens
// nothing.
TEST(DataFolder, OneLaunchRunPerDataFolderNotPerExecutable) {
    InstalledProgram first;
    TempDir second;
    fs::create_hard_link(first / "Tarvona", second / "Tarvona");
    fs::create_hard_link(first / "tarvona-gio.so", second / "tarvona-gio.so");
    ::chmod((first / "Tarvona").c_str(), 0711);
    WriteFile(first / "Tarvona.ini", kDueEvent);
    WriteFile(second / "Tarvona.ini", kDueEvent);

    const int exe = ::open((first / "Tarvona").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(exe, LOCK_EX | LOCK_NB), 0);
    int error = 0;
    const auto firstHeld = FileLock::OnFile(test::OpenFolder(first.folder()), "Tarvona.login.lock",
                                            std::chrono::milliseconds(0), error);
    ASSERT_TRUE(firstHeld) << error;

    const auto blocked = first.Run({"/start"});
    EXPECT_EQ(blocked.status, 0);
    EXPECT_NE(blocked.err.find("is under way; this one opens nothing"), std::string::npos);
    EXPECT_EQ(Due0(first / "Tarvona.ini"), "01-01-2000");

    const auto other = test::RunBinary(second / "Tarvona", {"/start"});
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_NE(Due0(second / "Tarvona.ini"), "01-01-2000");
    ::close(exe);
}

// Root with a user's environment (sudo without -H, su without -) takes none of the user's files.
TEST(DataFolder, RootWithAUsersEnvironmentRefusesAndLeavesTheirFolderAlone) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root";
    for (const bool folderExists : {true, false}) {
        SCOPED_TRACE(folderExists ? "the user's data folder" : "the user's data home");
        InstalledProgram program;
        TempDir home;
        const std::string share = home / "share";
        fs::create_directory(share);
        if (folderExists) {
            fs::create_directory(share + "/tarvona");
            fs::create_directory(share + "/tarvona/Messages");
            WriteFile(share + "/tarvona/Tarvona.ini", kDueEvent);
            WriteFile(share + "/tarvona/Tarvona.tmp", share + "/tarvona/Messages/msg11111.txt\r\n");
            WriteFile(share + "/tarvona/Messages/msg11111.txt", "read me");
            fs::create_symlink("/etc/ld.so.preload", share + "/tarvona/Tarvona.log");
        }
        for (const auto& entry : fs::recursive_directory_iterator(home.path()))
            ASSERT_EQ(::lchown(entry.path().c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(home.path().c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(program.folder().c_str(), kNobody, kNobody), 0);
        const std::string before = Snapshot(home.path());
        // With no folder of the user's yet there is nothing to refuse: nothing is made.
        for (const auto& arguments :
             {std::vector<std::string>{"/start"}, std::vector<std::string>{"/start", "--dated"}}) {
            const auto run =
                program.Run(arguments, {{"HOME", home.path()}, {"XDG_DATA_HOME", share}});
            EXPECT_EQ(run.status, folderExists ? 1 : 0) << run.err;
            if (!folderExists) continue;
            EXPECT_NE(run.err.find("belongs to nobody"), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("sudo -u nobody"), std::string::npos) << run.err;
        }
        EXPECT_EQ(Snapshot(home.path()), before);
        EXPECT_FALSE(Exists("/etc/ld.so.preload"));
    }
}

// A link or a second name in place of a file of the folder is never followed out of it: what it
// leads to stays as it was, the entry itself is left alone, and the run says so.
TEST(DataFolder, PlantedLinksAndHardLinksLeadNowhere) {
    struct Case {
        const char* name;
        bool hard;      // a hard link to the outside file, else a symbolic link
        bool dangling;  // a symbolic link to a file not there yet
        bool stopsRun;  // a lock: the run opens nothing
    };
    const Case cases[] = {
        {"Tarvona.log", false, false, false},
        {"Tarvona.log", false, true, false},
        {"Tarvona.log", true, false, false},
        {"Tarvona.tmp", false, false, false},
        {"Tarvona.tmp", true, false, false},
        {"Tarvona.lock", true, false, true},
        {"Tarvona.login.lock", false, true, true},
        {"Messages", false, false, false},
        {"Messages/msg11111.txt", false, false, false},
        {"Messages/msg11111.txt", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.hard ? " hard" : c.dangling ? " dangling" : " link"));
        InstalledProgram program;
        TempDir outside;
        const std::string target = outside / (c.dangling ? "new" : "victim");
        if (!c.dangling) WriteFile(target, "not Tarvona's");
        fs::create_directory(outside / "victim.d");
        WriteFile(outside / "victim.d/msg11111.txt", "not Tarvona's");
        // A failed launch to log, a message to use up, a message listed for deletion.
        const std::string message = program / "Messages/msg11111.txt";
        WriteFile(program / "Tarvona.ini",
                  "[Commands]\nCommand0=/none\nCommand1=" + program / "Messages/msg22222.txt" +
                      "\n[Frequency]\nFrequency0=8\nFrequency1=7\n[Due]\nDue0=?\nDue1=?\n");
        if (std::string(c.name) != "Messages") {
            fs::create_directory(program / "Messages");
            WriteFile(program / "Messages/msg22222.txt", "hello");
        }
        if (std::string(c.name) != "Tarvona.tmp") {
            WriteFile(program / "Tarvona.tmp", message + "\r\n");
            fs::last_write_time(program / "Tarvona.tmp",
                                fs::file_time_type::clock::now() - std::chrono::hours(1));
        }
        const std::string planted = program / c.name;
        if (c.hard)
            fs::create_hard_link(target, planted);
        else if (std::string(c.name) == "Messages")
            fs::create_directory_symlink(outside / "victim.d", planted);
        else
            fs::create_symlink(target, planted);
        const std::string before = Snapshot(outside.path());

        const auto run = program.Run({"/start"});
        EXPECT_EQ(Snapshot(outside.path()), before) << run.err;
        EXPECT_EQ(fs::is_symlink(planted), !c.hard);
        if (c.hard) {
            EXPECT_EQ(fs::hard_link_count(planted), 2u);
        }
        const std::string told = c.stopsRun ? "cannot lock " + planted : planted + ": not a plain";
        EXPECT_NE(run.err.find(told), std::string::npos) << run.err;
        if (c.stopsRun) {
            EXPECT_EQ(run.status, 1);
        }
    }
}

}  // namespace
}  // namespace tarvona
