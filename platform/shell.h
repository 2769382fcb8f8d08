#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "systemd_scope.h"

typedef struct _GAppInfo GAppInfo;

namespace tarvona {

// The window that owns a launch; the desktop here has no use for it, but callers name it.
using WindowHandle = std::uintptr_t;

// Windows' meaning of a launch result: above 32 is success, 32 or less a failure code.
constexpr int32_t kLaunchSucceeded = 42;
constexpr int32_t kOutOfMemoryOrCorrupt = 0;
constexpr int32_t kFileNotFound = 2;
constexpr int32_t kPathNotFound = 3;
constexpr int32_t kAccessDenied = 5;
constexpr int32_t kNotEnoughMemory = 8;
constexpr int32_t kBadExecutable = 11;
constexpr int32_t kNoAssociation = 31;

inline bool LaunchSucceeded(int32_t result) {
    return result > 32;
}

// Opens a command text as the desktop's shell would: the whole text is one name, never split
// and never given to a command interpreter. Returns at once; nothing waits for what it started.
class Shell {
public:
    virtual ~Shell() = default;
    // style is the window style code (0 Normal, 1 Minimized, 2 Maximized); any value is passed.
    virtual int32_t LaunchCommand(WindowHandle owner, const std::string& command,
                                  int32_t style) = 0;
    // The system's own words for why the last launch failed (GIO's message, errno's text), for
    // the journal; empty when it gave none.
    virtual std::string LastFailureReason() const { return ""; }
};

// The shell of a Linux desktop, through GIO: programs are started detached, documents, folders
// and URLs go to the desktop's default applications.
class GioShell final : public Shell {
public:
    // What we open gets sessionFileLimit as its soft limit on open files, the one the session
    // gave Tarvona before it raised its own (0: Tarvona's own).
    explicit GioShell(std::uint64_t sessionFileLimit = 0);
    ~GioShell() override;
    GioShell(const GioShell&) = delete;
    GioShell& operator=(const GioShell&) = delete;

    int32_t LaunchCommand(WindowHandle owner, const std::string& command, int32_t style) override;
    std::string LastFailureReason() const override { return m_reason; }

    // The show command (style + 1) of the last launch. The desktop gives no portable way to
    // start a program minimized or maximized, so it is kept but the program picks its window.
    int32_t LastShowCommand() const { return m_lastShowCommand; }

private:
    int32_t Open(const std::string& command);
    int32_t OpenUrl(const std::string& url);
    int32_t OpenWithDefault(const std::string& contentType, const std::string& path);
    int32_t LaunchApp(GAppInfo* app, const std::string& uri);
    int32_t StartProgram(const std::string& path);
    void ReapEndedPrograms();

    int32_t m_lastShowCommand = 0;
    std::string m_reason;
    rlimit m_sessionFileLimit;
    ScopeMover m_scopes;
    std::vector<pid_t> m_started;  // programs spawned straight away, until reaped
};

}  // namespace tarvona
