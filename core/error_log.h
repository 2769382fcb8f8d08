#pragma once

#include <cstdint>
#include <string>

#include "clock.h"

namespace tarvona {

// Tarvona.log: five lines for every failed launch of a launch run. A log that has reached
// kLogLimit bytes is started afresh when a run opens it. An entry is written whole or not at all:
// one that fails (a full disk) is taken back and dropped, since the run must go on. Only a
// regular file is ever opened, without waiting (a FIFO named Tarvona.log is no log).
class ErrorLog {
public:
    static constexpr long kLogLimit = 30000;

    explicit ErrorLog(std::string path) : m_path(std::move(path)) {}
    ~ErrorLog() { CloseLog(); }
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    bool OpenLog();
    // The entry carries the moment it is written; message is the sentence of line 3.
    void WriteLogEntry(int32_t result, const std::string& message, const std::string& command,
                       const LocalTime& now);
    void CloseLog();

    static std::string FormatEntry(int32_t result, const std::string& message,
                                   const std::string& command, const LocalTime& now);

private:
    std::string m_path;
    int m_fd = -1;
};

}  // namespace tarvona
