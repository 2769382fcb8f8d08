#pragma once

// Helpers shared by the tests: temporary folders, files, a fixed clock, and recording stand-ins
// for the shell and the desktop.
#include <chrono>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "clock.h"
#include "desktop.h"
#include "folder.h"
#include "shell.h"

namespace tarvona::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// The folder at path, opened as the program opens its data folder; the test process ends when it
// cannot be.
Folder OpenFolder(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Lines of a CR LF file, without their line ends.
std::vector<std::string> CrLfLines(const std::string& bytes);

inline std::chrono::year_month_day Date(int y, unsigned m, unsigned d) {
    return std::chrono::year_month_day{std::chrono::year{y}, std::chrono::month{m},
                                       std::chrono::day{d}};
}

class FixedClock final : public Clock {
public:
    explicit FixedClock(std::chrono::year_month_day date, int hour = 12, int minute = 34,
                        int second = 56)
        : m_now{date, hour, minute, second, Instant(date, hour, minute, second)} {}
    LocalTime Now() const override { return m_now; }
    void Set(std::chrono::year_month_day date) {
        m_now.date = date;
        m_now.instant = Instant(date, m_now.hour, m_now.minute, m_now.second);
    }

private:
    // The moment read as UTC: tests compare it only with times they set themselves.
    static std::chrono::sys_seconds Instant(std::chrono::year_month_day date, int h, int m, int s) {
        using namespace std::chrono;
        return sys_days{date} + hours{h} + minutes{m} + seconds{s};
    }

    LocalTime m_now;
};

// Records every launch; a command listed in failures fails with its code.
class RecordingShell final : public Shell {
public:
    struct Call {
        std::string command;
        int32_t style;
    };
    int32_t LaunchCommand(WindowHandle, const std::string& command, int32_t style) override;

    std::vector<Call> calls;
    std::vector<std::pair<std::string, int32_t>> failures;
};

// Answers questions from a queue and records every call; a question nobody scripted is
// recorded in unexpected and answered No.
class ScriptedDesktop final : public Desktop {
public:
    struct Message {
        std::string text;
        std::string caption;
        Buttons buttons;
    };
    struct HelpCall {
        std::string file;
        HelpCommand command;
        int data;
    };

    Answer messageBox(const std::string& text, const std::string& caption,
                      Buttons buttons) override;
    void beep() override { ++beeps; }
    void help(const std::string& file, HelpCommand command, int data) override {
        helpCalls.push_back({file, command, data});
    }
    std::optional<std::string> chooseFile(const std::string& title) override;
    bool startProgram(const std::string& path) override {
        started.push_back(path);
        return startSucceeds;
    }

    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> chosenFiles;
    std::vector<Message> messages;
    std::vector<HelpCall> helpCalls;
    std::vector<std::string> fileDialogTitles;
    std::vector<std::string> started;
    std::vector<std::string> unexpected;
    bool startSucceeds = true;
    int beeps = 0;
};

}  // namespace tarvona::test
