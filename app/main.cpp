// Start-up: the shared steps, then launch mode ("/start") or the editor. Ending the program
// stops it at once; every save has happened before.
//
// A launch run runs unattended at login, so it never waits on a display or a question nobody
// can see: where no display answers it runs without windows. Only one launch run works on a
// data folder at a time (its run lock), and it holds the folder's state lock from start-up to
// its last write.
#include <sys/resource.h>

#include <QApplication>
#include <QLibraryInfo>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clock.h"
#include "desktop.h"
#include "display.h"
#include "file_lock.h"
#include "frmLog.h"
#include "frmSplash.h"
#include "frmTarvona.h"
#include "geometry.h"
#include "help.h"
#include "ini_file.h"
#include "launch_run.h"
#include "program_files.h"
#include "program_folder.h"
#include "program_state.h"
#include "qt_desktop.h"
#include "shell.h"
#include "startup.h"
#include "texts.h"
#include "user_folders.h"

using namespace tarvona;

namespace {

constexpr int kNoDisplayStatus = 2;

std::string Usage(const std::string& command, const std::string& dataFolder) {
    const std::string lead = "       " + command;
    return "Usage: " + command + "            show the event editor\n" + lead +
           " /start     open every event that is due (the launch run at login)\n" + lead +
           " /start --dated\n"
           "                  open the dated events that are due (the hourly run of the timer)\n" +
           lead + " --help | --version\n\nYour events are kept in " + dataFolder +
           ":\nTarvona.ini (the events), Tarvona.log (failed launches), Tarvona.tmp and the "
           "Messages\nfolder. The launch run exits with 1 when an event failed or its next date "
           "could not be\nwritten; the editor exits with 2 when no display answers. See "
           "tarvona(1).\n";
}

// The running user's data folder, made when missing; nothing (with a line on standard error)
// when it cannot be made.
std::optional<std::string> OpenDataFolder(ProgramState& state) {
    state.ProgramFile = ProgramFile();
    const std::string folder = DataFolder(ProgramFolder());
    if (MakePrivateFolder(folder)) return folder;
    std::cerr << "Tarvona: cannot create the folder for your events, " << folder << ": "
              << std::strerror(errno) << '\n';
    return std::nullopt;
}

// Name, version and icon for the desktop: Wayland compositors and task bars match windows to
// the launcher by the desktop file name.
void SetIdentity(const ProgramState& state) {
    LoadTranslations(*QCoreApplication::instance());
    QApplication::setApplicationName("Tarvona");
    QApplication::setApplicationVersion(QString::fromStdString(state.AppVersion));
    QApplication::setOrganizationDomain("tarvona.org");
    QGuiApplication::setDesktopFileName(TARVONA_APP_ID);
    QApplication::setWindowIcon(ProgramIcon());
}

// Every failed or unsaved slot is told on standard error, so the session's journal holds it.
int Report(const RunReport& report) {
    for (const LaunchFailure& failure : report.failures) std::cerr << ReportLine(failure) << '\n';
    for (const LaunchFailure& unsaved : report.unsaved) std::cerr << ReportLine(unsaved) << '\n';
    return report.ok() ? 0 : 1;
}

// Start-up and the run, under the state lock, which is let go before any question. Nothing is
// opened when the lock or the table cannot be had. The splash, when there is one, is shown
// after start-up and owns the launches.
RunReport StartAndRun(ProgramState& state, const std::string& dataFolder, Desktop& desktop,
                      RunKind kind, const std::function<WindowHandle()>& showSplash = {}) {
    SetUpPaths(state, dataFolder);
    StateLock lock(state);
    RunReport report;
    if (!lock.Held()) {
        report.failures.push_back({0, state.DataFolder,
                                   "Another Tarvona kept its files locked; nothing was opened.",
                                   ""});
        return report;
    }
    if (!StartUp(state, dataFolder, desktop)) {
        const bool untrusted = state.Loaded.problem == IniProblem::NotTrusted;
        report.failures.push_back(
            {0, state.IniFile,
             untrusted ? "The settings file belongs to another user or others can write to it; "
                         "nothing was opened."
                       : "The settings file cannot be read (not a regular file, larger than " +
                             std::to_string(IniFile::kMaxSize / 1024) +
                             " KiB, not readable, or in an encoding other than 8-bit text or "
                             "UTF-16LE with its byte-order mark); nothing was opened.",
             ""});
        return report;
    }
    GioShell shell;
    SystemClock clock;
    const WindowHandle owner = showSplash ? showSplash() : WindowHandle{};
    return RunDueEvents(state, shell, clock, owner, kind);
}

int LaunchWithoutWindows(ProgramState& state, const std::string& dataFolder) {
    ConsoleDesktop desktop;
    return Report(StartAndRun(state, dataFolder, desktop, RunKind::Login));
}

// After a run: the question when a failure was logged, and the log viewer on Yes; the splash,
// if any, goes as the login run's steps say.
int AskAboutTheLog(QApplication& app, ProgramState& state, QtDesktop& desktop, int status,
                   std::unique_ptr<frmSplash>& splash) {
    if (!state.LaunchErrors) {
        splash.reset();
        CloseHelp(desktop);
        return status;
    }
    desktop.beep();
    const Answer answer =
        desktop.messageBox("Errors occurred while launching some applications. Review log file?",
                           "Tarvona", Buttons::YesNo);
    if (answer == Answer::No) {
        CloseHelp(desktop);
        splash.reset();
        return status;
    }
    splash.reset();
    auto* log = new frmLog(state, desktop, [&app] { app.exit(); });
    log->setAttribute(Qt::WA_DeleteOnClose);
    log->show();
    app.exec();
    return status;
}

int LaunchWithWindows(int& argc, char** argv, ProgramState& state, const std::string& dataFolder) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == "offscreen")
        return LaunchWithoutWindows(state, dataFolder);
    app.setQuitOnLastWindowClosed(false);
    SetIdentity(state);
    QtDesktop desktop;
    std::unique_ptr<frmSplash> splash;
    const RunReport report = StartAndRun(state, dataFolder, desktop, RunKind::Login, [&splash] {
        splash = std::make_unique<frmSplash>();
        splash->ShowMinimized();
        return WindowHandle(splash->winId());
    });
    return AskAboutTheLog(app, state, desktop, Report(report), splash);
}

// The dated run shows nothing unless a launch failed: no splash, and Qt only for the question.
int DatedRun(int& argc, char** argv, ProgramState& state, const std::string& dataFolder) {
    ConsoleDesktop console;
    const int status = Report(StartAndRun(state, dataFolder, console, RunKind::Dated));
    if (!state.LaunchErrors) return status;
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == "offscreen") return status;
    app.setQuitOnLastWindowClosed(false);
    SetIdentity(state);
    QtDesktop desktop;
    std::unique_ptr<frmSplash> noSplash;
    return AskAboutTheLog(app, state, desktop, status, noSplash);
}

int LaunchMode(int& argc, char** argv, RunKind kind) {
    ProgramState state;
    const auto dataFolder = OpenDataFolder(state);
    if (!dataFolder) return 1;
    // A second run (an autostart entry and a user service, a double login, a timer) must not
    // open every event again.
    const RunLock runLock = TakeRunLock(*dataFolder, kind);
    if (runLock.outcome == RunLock::Outcome::HeldByAnother) {
        std::cerr << "Tarvona: another launch run of " << *dataFolder
                  << " is under way; this one opens nothing\n";
        return 0;
    }
    if (runLock.outcome == RunLock::Outcome::Failed) {
        std::cerr << "Tarvona: cannot lock " << runLock.error << "; nothing was opened\n";
        return 1;
    }
    const DisplayChoice display =
        FindDisplay(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString());
    if (kind == RunKind::Dated) {
        // For a user at the screen: without one, the events wait for the next dated run or login.
        if (display.platforms.empty()) {
            std::cerr << "Tarvona: no display answers; the dated run opens nothing\n";
            return 0;
        }
        UseDisplay(display, "offscreen");
        return DatedRun(argc, argv, state, *dataFolder);
    }
    if (display.platforms.empty()) return LaunchWithoutWindows(state, *dataFolder);
    // A display that goes away before Qt connects leaves Qt offscreen, and the run without
    // windows, rather than ending it.
    UseDisplay(display, "offscreen");
    return LaunchWithWindows(argc, argv, state, *dataFolder);
}

int EditorMode(int& argc, char** argv) {
    const DisplayChoice display =
        FindDisplay(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString());
    if (!display.platforms.empty()) {
        UseDisplay(display);
    } else if (!display.askedForOther) {
        std::cerr << "Tarvona: no display to show the editor on (start it in a desktop session, "
                     "or use \"Tarvona /start\" for the launch run)\n";
        return kNoDisplayStatus;
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    ProgramState state;
    SetIdentity(state);
    QtDesktop desktop;
    const auto dataFolder = OpenDataFolder(state);
    if (!dataFolder) {
        desktop.messageBox("Unable to create the folder for your events.", "Error", Buttons::Ok);
        return 1;
    }
    StartUp(state, *dataFolder, desktop);
    GioShell shell;
    SystemClock clock;
    frmTarvona editor(state, desktop, shell, clock, [&app] { app.exit(); });
    editor.show();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit must turn into a failed write, never end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // Every descriptor the session allows: GLib aborts where it cannot get one it needs.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The two options every Linux program answers; they touch no file and need no display.
    if (arguments == std::vector<std::string>{"--help"}) {
        const std::string command = std::filesystem::path(argv[0]).filename().string();
        std::cout << Usage(command.empty() ? "tarvona" : command, DataFolder(ProgramFolder()));
        return 0;
    }
    if (arguments == std::vector<std::string>{"--version"}) {
        std::cout << "Tarvona " << ProgramState().AppVersion << '\n';
        return 0;
    }
    if (!IsLaunchMode(arguments)) return EditorMode(argc, argv);
    const bool dated = std::find(arguments.begin(), arguments.end(), "--dated") != arguments.end();
    return LaunchMode(argc, argv, dated ? RunKind::Dated : RunKind::Login);
}
