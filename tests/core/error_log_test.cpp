#include "error_log.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "test_support.h"

namespace tarvona {
namespace {

using test::Date;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const LocalTime kMoment{Date(2026, 12, 8), 7, 5, 9};

TEST(ErrorLog, EntryHasItsFiveLines) {
    EXPECT_EQ(ErrorLog::FormatEntry(2, "File was not found.", "/usr/bin/report x", kMoment),
              "[07:05:09     12-08-2026]\r\nError number: 2 \r\n"
              "Error message: File was not found.\r\nApp: /USR/BIN/REPORT X\r\n\r\n");
    EXPECT_EQ(ErrorLog::FormatEntry(-5, "Unknown error.", "a", kMoment).substr(27, 18),
              "Error number:-5 \r\n");
}

TEST(ErrorLog, AppendsBelowTheLimitAndStartsAfreshAtIt) {
    TempDir dir;
    const std::string path = dir / "Tarvona.log";
    for (const auto& [size, kept] : {std::pair{29999, true}, std::pair{30000, false}}) {
        WriteFile(path, std::string(size, 'x'));
        ErrorLog log(test::OpenFolder(dir.path()));
        ASSERT_TRUE(log.OpenLog());
        log.WriteLogEntry(31, "There is no association for the specified file.", "a.xyz", kMoment);
        log.CloseLog();
        const std::string entry = ErrorLog::FormatEntry(
            31, "There is no association for the specified file.", "a.xyz", kMoment);
        EXPECT_EQ(ReadFile(path), (kept ? std::string(size, 'x') : "") + entry) << size;
    }
}

TEST(ErrorLog, EmptiedAtTheLimitEvenWithoutFailures) {
    TempDir dir;
    const std::string path = dir / "Tarvona.log";
    WriteFile(path, std::string(30000, 'x'));
    ErrorLog log(test::OpenFolder(dir.path()));
    ASSERT_TRUE(log.OpenLog());
    log.CloseLog();
    EXPECT_EQ(ReadFile(path), "");
}

TEST(ErrorLog, MissingLogIsCreatedAndReadOnlyLogMadePlain) {
    TempDir dir;
    const std::string path = dir / "Tarvona.log";
    {
        ErrorLog log(test::OpenFolder(dir.path()));
        ASSERT_TRUE(log.OpenLog());
    }
    EXPECT_TRUE(test::Exists(path));

    WriteFile(path, "old\r\n");
    ::chmod(path.c_str(), 0444);
    ErrorLog log(test::OpenFolder(dir.path()));
    ASSERT_TRUE(log.OpenLog());
    log.WriteLogEntry(2, "File was not found.", "x", kMoment);
    log.CloseLog();
    EXPECT_EQ(ReadFile(path).substr(0, 5), "old\r\n");
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
}

// A file-size limit in a child process stands in for a full disk: the second entry does not
// fit, and no part of it stays for the next entry to be glued to.
TEST(ErrorLog, AnEntryIsWrittenWholeOrNotAtAll) {
    TempDir dir;
    const std::string path = dir / "Tarvona.log";
    const std::string entry = ErrorLog::FormatEntry(2, "File was not found.", "x", kMoment);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{entry.size() + 10, entry.size() + 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ErrorLog log(test::OpenFolder(dir.path()));
        if (!log.OpenLog()) ::_exit(1);
        log.WriteLogEntry(2, "File was not found.", "x", kMoment);
        log.WriteLogEntry(2, "File was not found.", "x", kMoment);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFile(path), entry);
}

TEST(ErrorLog, ReadOnlyFolderMeansNoLog) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0555);
    ErrorLog log(test::OpenFolder(dir.path()));
    EXPECT_FALSE(log.OpenLog());
    log.WriteLogEntry(2, "File was not found.", "x", kMoment);  // must be harmless
    log.CloseLog();
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_FALSE(test::Exists(dir / "Tarvona.log"));
}

}  // namespace
}  // namespace tarvona
