// Start-up: the launch run ("/start") or the editor. Ending the program stops it at once; every
// save has happened before.
//
// A launch run runs unattended at login and every hour, so it never waits on a display or a
// question nobody can see, and it costs what its work costs: this program holds no window code.
// Where a window is to be shown (the editor, the login run's splash and question, the dated
// run's question) it hands over to tarvona-windows by exec, with every lock let go; that
// program takes the locks again as a run of its own would.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "clock.h"
#include "data_folder.h"
#include "desktop.h"
#include "display.h"
#include "launch_mode.h"
#include "loaded_shell.h"
#include "program_folder.h"
#include "program_state.h"
#include "run_common.h"
#include "shell.h"
#include "startup.h"
#include "user_folders.h"

using namespace tarvona;

namespace {

constexpr int kNoDisplayStatus = 2;
constexpr const char* kGioModule = "tarvona-gio.so";

std::string Usage(const std::string& command, const std::string& dataFolder) {
    const std::string lead = "       " + command;
    return "Usage: " + command + "            show the event editor\n" + lead +
           " /start     open every event that is due (the launch run at login)\n" + lead +
           " /start --dated\n"
           "                  open the dated events that are due (the hourly run of the timer)\n" +
           lead + " -h | --help | --version\n\nYour events are kept in " + dataFolder +
           ":\nTarvona.ini (the events), Tarvona.log (failed launches), Tarvona.tmp and the "
           "Messages\nfolder. The launch run exits with 1 when an event failed or its next date "
           "could not be\nwritten; the editor exits with 2 when no display answers. See "
           "tarvona(1).\n";
}

// Replaces this process by the window program; returns only when that cannot be started, with
// the line said. Its descriptors, the locks among them, close on exec.
void HandOver(const char* argv0, std::uint64_t sessionFileLimit,
              const std::vector<std::string>& arguments) {
    const std::string program = PrivateFile("tarvona-windows");
    std::vector<std::string> all = {program, ProgramFile(), CommandName(argv0)};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    RestoreFileLimit(sessionFileLimit);
    ::execv(program.c_str(), argv.data());
    const int error = errno;
    std::cerr << "Tarvona: cannot start " << program << " (" << std::strerror(error)
              << "); no window can be shown\n";
}

// The dated run shows nothing unless a launch failed or the table cannot be used; then the
// window program asks the question, once the run's dates are written and its lock let go.
int DatedRun(const char* argv0, ProgramState& state, RunLock& lock) {
    ConsoleDesktop console;
    LoadedShell shell(PrivateFile(kGioModule), state.SessionFileLimit);
    SystemClock clock;
    const RunReport report = StartAndRun(state, console, shell, clock, RunKind::Dated);
    const int status = ReportRun(report);
    lock.run.reset();
    if (!state.LaunchErrors && report.refused.empty()) return status;
    HandOver(argv0, state.SessionFileLimit,
             {kDatedQuestionMode, std::to_string(status), state.LaunchErrors ? "1" : "0",
              report.refused});
    return status;
}

int LaunchMode(const char* argv0, RunKind kind) {
    ProgramState state;
    state.SessionFileLimit = RaiseFileLimit();
    state.ProgramFile = ProgramFile();
    LaunchStart start = BeginLaunchRun(state, ProgramFolder(), kind);
    if (start.endStatus) return *start.endStatus;
    const DisplayChoice display = FindDisplay(TARVONA_QT_PLUGINS);
    if (kind == RunKind::Dated) {
        // For a user at the screen: without one, the events wait for the next dated run or login.
        if (display.platforms.empty()) {
            std::cerr << "Tarvona: no display answers; the dated run opens nothing\n";
            return 0;
        }
        UseDisplay(display, "offscreen");
        return DatedRun(argv0, state, start.lock);
    }
    LoadedShell shell(PrivateFile(kGioModule), state.SessionFileLimit);
    if (display.platforms.empty()) return LaunchWithoutWindows(state, shell);
    // A display that goes away before Qt connects leaves Qt offscreen, and the run without
    // windows, rather than ending it.
    UseDisplay(display, "offscreen");
    HandOver(argv0, state.SessionFileLimit, {kLoginRunMode});
    return LaunchWithoutWindows(state, shell);  // still holding the locks
}

int EditorMode(const char* argv0, const std::vector<std::string>& arguments) {
    const DisplayChoice display = FindDisplay(TARVONA_QT_PLUGINS);
    if (!display.platforms.empty()) {
        UseDisplay(display);
    } else if (!display.askedForOther) {
        std::cerr << "Tarvona: no display to show the editor on (start it in a desktop session, "
                     "or use \""
                  << CommandName(argv0) << " /start\" for the launch run)\n";
        return kNoDisplayStatus;
    }
    // Qt's own options, such as -style, go along.
    std::vector<std::string> editor = {kEditorMode};
    editor.insert(editor.end(), arguments.begin(), arguments.end());
    HandOver(argv0, 0, editor);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit must turn into a failed write, never end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The two options every Linux program answers; they touch no file and need no display.
    if (arguments == std::vector<std::string>{"--help"} ||
        arguments == std::vector<std::string>{"-h"}) {
        std::cout << Usage(CommandName(argv[0]), DataFolderPath(ProgramFolder(), UserDataHome()));
        return 0;
    }
    if (arguments == std::vector<std::string>{"--version"}) {
        std::cout << "Tarvona " << ProgramState().AppVersion << '\n';
        return 0;
    }
    if (!IsLaunchMode(arguments)) return EditorMode(argv[0], arguments);
    const bool dated = std::find(arguments.begin(), arguments.end(), "--dated") != arguments.end();
    return LaunchMode(argv[0], dated ? RunKind::Dated : RunKind::Login);
}
