#pragma once

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

private:
    TempDir m_dir;
};

}  // namespace tarvona::test
