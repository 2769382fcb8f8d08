// Start-up: the shared steps, then launch mode ("/start") or the editor. Ending the program
// stops it at once; every save has happened before.
//
// A launch run runs unattended at login, so it never waits on a display or a question nobody
// can see: where no display answers it runs without windows. Its set-up, the same with windows
// and without, is in core/launch_mode.
#include <sys/resource.h>

#include <QApplication>
#include <QLibraryInfo>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "clock.h"
#include "data_folder.h"
#include "desktop.h"
#include "display.h"
#include "frmLog.h"
#include "frmSplash.h"
#include "frmTarvona.h"
#include "geometry.h"
#include "help.h"
#include "launch_mode.h"
#include "printable.h"
#include "program_folder.h"
#include "program_state.h"
#include "qt_desktop.h"
#include "session_bus.h"
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
           lead + " -h | --help | --version\n\nYour events are kept in " + dataFolder +
           ":\nTarvona.ini (the events), Tarvona.log (failed launches), Tarvona.tmp and the "
           "Messages\nfolder. The launch run exits with 1 when an event failed or its next date "
           "could not be\nwritten; the editor exits with 2 when no display answers. See "
           "tarvona(1).\n";
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

int LaunchWithoutWindows(ProgramState& state) {
    ConsoleDesktop desktop;
    GioShell shell(state.SessionFileLimit);
    SystemClock clock;
    return ReportRun(StartAndRun(state, desktop, shell, clock, RunKind::Login));
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

// A table the run cannot use is said on the screen as well: at a desktop login nobody reads
// standard error.
void TellRefusal(const RunReport& report, QtDesktop& desktop) {
    if (!report.refused.empty()) desktop.messageBox(report.refused, "Error", Buttons::Ok);
}

// Once the run's dates are written, a dated run may go on while the question waits for its
// answer; a second login run still may not.
void LetOtherRunsGo(RunLock& lock) {
    lock.run.reset();
}

int LaunchWithWindows(int& argc, char** argv, ProgramState& state, RunLock& lock) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == "offscreen") return LaunchWithoutWindows(state);
    app.setQuitOnLastWindowClosed(false);
    SetIdentity(state);
    QtDesktop desktop;
    GioShell shell(state.SessionFileLimit);
    SystemClock clock;
    std::unique_ptr<frmSplash> splash;
    const RunReport report = StartAndRun(state, desktop, shell, clock, RunKind::Login, [&splash] {
        splash = std::make_unique<frmSplash>();
        splash->ShowMinimized();
        return WindowHandle(splash->winId());
    });
    const int status = ReportRun(report);
    LetOtherRunsGo(lock);
    TellRefusal(report, desktop);
    return AskAboutTheLog(app, state, desktop, status, splash);
}

// The dated run shows nothing unless a launch failed or the table cannot be used: no splash,
// and Qt only for what it has to say.
int DatedRun(int& argc, char** argv, ProgramState& state, RunLock& lock) {
    ConsoleDesktop console;
    GioShell shell(state.SessionFileLimit);
    SystemClock clock;
    const RunReport report = StartAndRun(state, console, shell, clock, RunKind::Dated);
    const int status = ReportRun(report);
    LetOtherRunsGo(lock);
    if (!state.LaunchErrors && report.refused.empty()) return status;
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == "offscreen") return status;
    app.setQuitOnLastWindowClosed(false);
    SetIdentity(state);
    QtDesktop desktop;
    TellRefusal(report, desktop);
    std::unique_ptr<frmSplash> noSplash;
    return AskAboutTheLog(app, state, desktop, status, noSplash);
}

// Every descriptor the session allows, since GLib aborts where it cannot get one it needs; what
// we open gets the session's own limit back.
std::uint64_t RaiseFileLimit() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0) return 0;
    const std::uint64_t session = files.rlim_cur;
    if (files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    return session;
}

int LaunchMode(int& argc, char** argv, RunKind kind) {
    ProgramState state;
    state.SessionFileLimit = RaiseFileLimit();
    state.ProgramFile = ProgramFile();
    LaunchStart start = BeginLaunchRun(state, ProgramFolder(), kind);
    if (start.endStatus) return *start.endStatus;
    const DisplayChoice display =
        FindDisplay(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString());
    if (kind == RunKind::Dated) {
        // For a user at the screen: without one, the events wait for the next dated run or login.
        if (display.platforms.empty()) {
            std::cerr << "Tarvona: no display answers; the dated run opens nothing\n";
            return 0;
        }
        UseDisplay(display, "offscreen");
        return DatedRun(argc, argv, state, start.lock);
    }
    if (display.platforms.empty()) return LaunchWithoutWindows(state);
    // A display that goes away before Qt connects leaves Qt offscreen, and the run without
    // windows, rather than ending it.
    UseDisplay(display, "offscreen");
    SessionBus();  // Qt connects to it as well, and would wait on one that never answers
    return LaunchWithWindows(argc, argv, state, start.lock);
}

// The command as it was called, for the lines that tell how to call it.
std::string CommandName(const char* argv0) {
    const std::string name = std::filesystem::path(argv0 ? argv0 : "").filename().string();
    return name.empty() ? "tarvona" : name;
}

int EditorMode(int& argc, char** argv) {
    const DisplayChoice display =
        FindDisplay(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString());
    if (!display.platforms.empty()) {
        UseDisplay(display);
    } else if (!display.askedForOther) {
        std::cerr << "Tarvona: no display to show the editor on (start it in a desktop session, "
                     "or use \""
                  << CommandName(argv[0]) << " /start\" for the launch run)\n";
        return kNoDisplayStatus;
    }
    ProgramState state;
    state.SessionFileLimit = RaiseFileLimit();
    SessionBus();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    SetIdentity(state);
    QtDesktop desktop;
    state.ProgramFile = ProgramFile();
    OpenedFolder opened = OpenDataFolder(ProgramFolder(), UserDataHome(), true);
    if (!opened.folder) {
        std::cerr << "Tarvona: " << Printable(opened.problem) << '\n';
        desktop.messageBox(opened.problem, "Error", Buttons::Ok);
        return 1;
    }
    SetUpPaths(state, std::move(*opened.folder));
    SystemClock clock;
    StartUp(state, desktop, clock);
    GioShell shell(state.SessionFileLimit);
    frmTarvona editor(state, desktop, shell, clock, [&app] { app.exit(); });
    editor.show();
    return app.exec();
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
    if (!IsLaunchMode(arguments)) return EditorMode(argc, argv);
    const bool dated = std::find(arguments.begin(), arguments.end(), "--dated") != arguments.end();
    return LaunchMode(argc, argv, dated ? RunKind::Dated : RunKind::Login);
}
