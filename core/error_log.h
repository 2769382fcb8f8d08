#pragma once

#include <cstdint>
#include <string>

#include "clock.h"
#include "folder.h"

namespace tarvona {

// Tarvona.log: five lines for every failed launch of a launch run. A log that has reached
// kLogLimit bytes is started afresh when a run opens it. An entry is written whole or not at all:
// one that fails (a full disk) is taken back and dropped, since the run must go on. Only a plain
// file of the folder is ever opened, without waiting (a FIFO or a link named Tarvona.log is no
// log). Control bytes of a command are written escaped, so that an entry stays five lines.
class ErrorLog {
public:
    static constexpr long kLogLimit = 30000;

    explicit ErrorLog(Folder folder) : m_folder(std::move(folder)) {}
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
    Folder m_folder;
    int m_fd = -1;
};

}  // namespace tarvona
