#include "error_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "data_folder.h"
#include "dates.h"
#include "printable.h"

namespace tarvona {

bool ErrorLog::OpenLog() {
    CloseLog();
    m_fd = m_folder.OpenForAppend(kLogName);
    if (m_fd < 0) return false;
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || (st.st_size >= kLogLimit && ::ftruncate(m_fd, 0) != 0)) {
        CloseLog();
        return false;
    }
    return true;
}

std::string ErrorLog::FormatEntry(int32_t result, const std::string& message,
                                  const std::string& command, const LocalTime& now) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%02d:%02d:%02d     %s]", now.hour, now.minute, now.second,
                  FormatDate(now.date).c_str());
    std::string upper = command;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    // A negative number's minus sign stands in place of the first blank.
    const std::string number = result < 0 ? std::to_string(result) : " " + std::to_string(result);
    return std::string(stamp) + "\r\n" + "Error number:" + number + " \r\n" +
           "Error message: " + Printable(message) + "\r\n" + "App: " + Printable(upper) + "\r\n" +
           "\r\n";
}

void ErrorLog::WriteLogEntry(int32_t result, const std::string& message, const std::string& command,
                             const LocalTime& now) {
    if (m_fd < 0) return;
    const std::string entry = FormatEntry(result, message, command, now);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) return;
    size_t done = 0;
    while (done < entry.size()) {
        ssize_t n = ::write(m_fd, entry.data() + done, entry.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // Half an entry would be glued to the next one: take it back.
            if (done > 0) (void)!::ftruncate(m_fd, st.st_size);
            return;
        }
        done += static_cast<size_t>(n);
    }
}

void ErrorLog::CloseLog() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace tarvona
