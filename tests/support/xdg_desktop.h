#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace tarvona::test {

// A private desktop: XDG folders that know only the system's MIME database and one recorder
// application, the default for text files, folders and https links. The recorder appends one
// line per start, its arguments, to record().
class XdgDesktop {
public:
    XdgDesktop();

    // The variables that point GIO at this desktop.
    std::vector<std::pair<std::string, std::string>> Environment() const;
    // Sets them in this process; GIO reads them once, so call it before any launch.
    void Apply() const;

    std::string record() const { return m_dir / "record.txt"; }
    std::vector<std::string> RecordedLines() const;
    const TempDir& dir() const { return m_dir; }

    // A #! program that appends "started" to its own record file, then waits for release().
    std::string MakeWaitingProgram(const std::string& path) const;
    std::string release() const { return m_dir / "release"; }

private:
    TempDir m_dir;
};

// Polls until the condition holds or the time is up; for what other processes do.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::seconds(20));

}  // namespace tarvona::test
