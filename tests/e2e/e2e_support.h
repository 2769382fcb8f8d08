#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace tarvona::test {

struct ProgramRun {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// A started copy of the program; Wait gives it a minute, then kills it (status -1), so that a
// program that hangs fails its test instead of stalling the suite.
class RunningProgram {
public:
    // keeper: the process that holds the run's libfaketime objects, or -1.
    RunningProgram(pid_t pid, std::string outputFolder, pid_t keeper)
        : m_pid(pid), m_output(std::move(outputFolder)), m_keeper(keeper) {}
    RunningProgram(RunningProgram&& other) noexcept;
    ~RunningProgram();
    ProgramRun Wait();
    bool Ended();  // without waiting
    pid_t pid() const { return m_pid; }

private:
    void EndKeeper();

    pid_t m_pid;
    std::string m_output;
    pid_t m_keeper;
    std::optional<int> m_status;  // the raw wait status, once reaped
};

// Starts the binary from its own folder, with the environment InstalledProgram::Run describes.
RunningProgram StartBinary(const std::string& binary, const std::vector<std::string>& arguments,
                           const std::vector<std::pair<std::string, std::string>>& env,
                           const std::optional<std::string>& day);
ProgramRun RunBinary(const std::string& binary, const std::vector<std::string>& arguments,
                     const std::vector<std::pair<std::string, std::string>>& env = {});

// A Unix stream socket listening at path (made anew), for stand-in servers; -1 when it cannot be.
int ListenAt(const std::string& path);

// A temporary program folder holding a copy of the real Tarvona binary.
class InstalledProgram {
public:
    InstalledProgram();
    ~InstalledProgram();

    std::string folder() const { return m_dir.path(); }
    std::string operator/(const std::string& name) const { return m_dir / name; }

    // Runs the copy with a small clean environment (no display unless env names one). day, as
    // "YYYY-MM-DD", is the date faketime gives the program.
    ProgramRun Run(const std::vector<std::string>& arguments,
                   const std::vector<std::pair<std::string, std::string>>& env = {},
                   const std::optional<std::string>& day = std::nullopt) const;
    RunningProgram Start(const std::vector<std::string>& arguments,
                         const std::vector<std::pair<std::string, std::string>>& env = {},
                         const std::optional<std::string>& day = std::nullopt) const;

private:
    TempDir m_dir;
};

}  // namespace tarvona::test
