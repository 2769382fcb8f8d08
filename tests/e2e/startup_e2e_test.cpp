// Start-up of the real binary, copied into a temporary program folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "e2e_support.h"

namespace tarvona {
namespace {

using test::Exists;
using test::InstalledProgram;
using test::WriteFile;

TEST(StartUp, FindsItsOwnFolderAndMakesTheMessagesFolder) {
    InstalledProgram program;
    auto run = program.Run({"/start"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::is_directory(program / "Messages"));
    EXPECT_FALSE(Exists(program / "Tarvona.ini")) << "a run with nothing due writes no settings";
    EXPECT_TRUE(Exists(program / "Tarvona.log")) << "every launch run makes the log";
    EXPECT_EQ(run.err, "");
}

TEST(StartUp, PurgesThePendingDeletions) {
    InstalledProgram program;
    std::filesystem::create_directory(program / "Messages");
    const std::string message = program / "Messages/msg12345.txt";
    const std::string mine = program / "notes.txt";
    WriteFile(message, "x");
    WriteFile(mine, "mine");
    const std::string list = program / "Tarvona.tmp";
    WriteFile(list, program / "Messages/msg99999.txt\r\n" + mine + "\r\n" + message + "\r\n");
    // Written by a run an hour ago: any viewer has read the message since.
    std::filesystem::last_write_time(
        list, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    auto run = program.Run({"/start"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(Exists(message));
    EXPECT_TRUE(Exists(mine));
    EXPECT_FALSE(Exists(program / "Tarvona.tmp"));
}

// A data folder the run can lock but not write in (a read-only program folder is never one).
TEST(StartUp, ReadOnlyFolderIsReportedAndTheRunGoesOn) {
    InstalledProgram program;
    test::TempDir share;
    const std::string data = share / "tarvona";
    std::filesystem::create_directory(data);
    WriteFile(data + "/Tarvona.lock", "");
    ::chmod(data.c_str(), 0555);
    ::chmod(program.folder().c_str(), 0555);
    auto run = program.Run({"/START"}, {{"XDG_DATA_HOME", share.path()}});
    ::chmod(program.folder().c_str(), 0755);
    ::chmod(data.c_str(), 0755);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "Tarvona: Error: Unable to create message directory. Scheduling messages will not "
              "work correctly.\n");
}

}  // namespace
}  // namespace tarvona
