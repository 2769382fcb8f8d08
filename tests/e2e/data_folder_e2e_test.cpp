// Where the real binary keeps each user's files, and which settings files it refuses to run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(DataFolder, ProgramFolderOnlyWhenItIsTheUsersOwn) {
    struct Case {
        const char* what;
        mode_t mode;
        bool otherOwner;
        bool keptBesideProgram;
    };
    const Case cases[] = {
        {"the user's own folder", 0755, false, true},
        {"a folder others can write", 0777, false, false},
        {"a read-only folder", 0555, false, false},
        {"another user's folder", 0755, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.otherOwner && ::geteuid() != 0) continue;  // only root can hand a folder away
        InstalledProgram program;
        TempDir home;
        WriteFile(program / "Tarvona.ini", kDueEvent);
        if (c.otherOwner) {
            ASSERT_EQ(::chown(program.folder().c_str(), kNobody, kNobody), 0);
        }
        ::chmod(program.folder().c_str(), c.mode);
        const auto run = program.Run({"/start"}, {{"XDG_DATA_HOME", home / "data"}});
        ::chmod(program.folder().c_str(), 0755);
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string data = home / "data/tarvona";
        if (c.keptBesideProgram) {
            EXPECT_NE(Due0(program / "Tarvona.ini"), "01-01-2000");
            EXPECT_TRUE(fs::is_directory(program / "Messages"));
            EXPECT_FALSE(Exists(data));
        } else {
            EXPECT_EQ(Due0(program / "Tarvona.ini"), "01-01-2000") << "the shared file was run";
            EXPECT_FALSE(Exists(program / "Messages"));
            struct stat st {};
            ASSERT_EQ(::stat(data.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, 0700u);
            EXPECT_TRUE(fs::is_directory(data + "/Messages"));
            EXPECT_TRUE(Exists(data + "/Tarvona.log"));
        }
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
    ::chmod((first / "Tarvona").c_str(), 0711);
    WriteFile(first / "Tarvona.ini", kDueEvent);
    WriteFile(second / "Tarvona.ini", kDueEvent);

    int error = 0;
    const auto exeHeld = FileLock::TryCreate(first / "Tarvona", error);
    ASSERT_TRUE(exeHeld) << error;
    const auto firstHeld = FileLock::TryCreate(first / "Tarvona.login.lock", error);
    ASSERT_TRUE(firstHeld) << error;

    const auto blocked = first.Run({"/start"});
    EXPECT_EQ(blocked.status, 0);
    EXPECT_NE(blocked.err.find("is under way; this one opens nothing"), std::string::npos);
    EXPECT_EQ(Due0(first / "Tarvona.ini"), "01-01-2000");

    const auto other = test::RunBinary(second / "Tarvona", {"/start"});
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_NE(Due0(second / "Tarvona.ini"), "01-01-2000");
}

TEST(DataFolder, ALockThatCannotBeTakenIsAFailureOfItsOwn) {
    InstalledProgram program;
    WriteFile(program / "Tarvona.ini", kDueEvent);
    fs::create_symlink("/dev/null", program / "Tarvona.login.lock");
    const auto run = program.Run({"/start"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot lock"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("under way"), std::string::npos);
    EXPECT_EQ(Due0(program / "Tarvona.ini"), "01-01-2000");
}

// Root, run with a user's data folder, leaves nothing there that the user could not write.
TEST(DataFolder, ARootRunLeavesNoRootOwnedFileInAUsersFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root";
    InstalledProgram program;
    TempDir home;
    const std::string share = home / "share";
    fs::create_directory(share);
    ASSERT_EQ(::chown(share.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chown(program.folder().c_str(), kNobody, kNobody), 0);
    const std::string data = share + "/tarvona";
    fs::create_directory(data);
    ASSERT_EQ(::chown(data.c_str(), kNobody, kNobody), 0);
    // A used-up message and a failed launch: the run writes the list and the log.
    WriteFile(data + "/Tarvona.ini", "[Commands]\nCommand0=" + data +
                                         "/Messages/msg00001.txt\n[Frequency]\nFrequency0=7\n"
                                         "[Due]\nDue0=01-01-2000\n");
    const auto run = program.Run({"/start"}, {{"XDG_DATA_HOME", share}});
    EXPECT_EQ(run.status, 1) << run.err;
    ASSERT_TRUE(Exists(data + "/Tarvona.tmp"));
    ASSERT_TRUE(Exists(data + "/Tarvona.log"));
    for (const auto& entry : fs::recursive_directory_iterator(data)) {
        if (entry.path().filename() == "Tarvona.ini") continue;  // root's own, kept so
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        EXPECT_EQ(st.st_uid, kNobody) << entry.path();
        EXPECT_EQ(st.st_gid, kNobody) << entry.path();
    }
}

}  // namespace
}  // namespace tarvona
