// Start-up: the shared steps, then launch mode ("/start") or the editor. Ending the program
// stops it at once; every save has happened before.
#include <QApplication>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "clock.h"
#include "desktop.h"
#include "display.h"
#include "frmLog.h"
#include "frmSplash.h"
#include "frmTarvona.h"
#include "help.h"
#include "launch_run.h"
#include "program_folder.h"
#include "program_state.h"
#include "qt_desktop.h"
#include "shell.h"
#include "startup.h"

using namespace tarvona;

namespace {

int ExitStatus(const std::vector<LaunchFailure>& failures) {
    return failures.empty() ? 0 : 1;
}

// Where no window can be shown: failures go to the log and to standard error.
int LaunchWithoutWindows(ProgramState& state) {
    ConsoleDesktop desktop;
    StartUp(state, ProgramFolder(), desktop);
    GioShell shell;
    SystemClock clock;
    const auto failures = RunDueEvents(state, shell, clock, WindowHandle{});
    for (const LaunchFailure& failure : failures)
        std::cerr << "Tarvona: " << failure.command << ": " << failure.message << '\n';
    return ExitStatus(failures);
}

int LaunchWithWindows(QApplication& app, ProgramState& state, QtDesktop& desktop) {
    GioShell shell;
    SystemClock clock;
    auto* splash = new frmSplash;
    splash->showMinimized();
    const auto failures = RunDueEvents(state, shell, clock, splash->winId());
    if (!state.LaunchErrors) {
        delete splash;
        CloseHelp(desktop);
        return ExitStatus(failures);
    }
    desktop.beep();
    const Answer answer =
        desktop.messageBox("Errors occurred while launching some applications. Review log file?",
                           "Tarvona", Buttons::YesNo);
    if (answer == Answer::No) {
        CloseHelp(desktop);
        delete splash;
        return ExitStatus(failures);
    }
    delete splash;
    auto* log = new frmLog(state, desktop, [&app] { app.exit(); });
    log->setAttribute(Qt::WA_DeleteOnClose);
    log->show();
    app.exec();
    return ExitStatus(failures);
}

int Editor(QApplication& app, ProgramState& state, QtDesktop& desktop) {
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
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool launchMode = IsLaunchMode(arguments);
    ProgramState state;
    if (launchMode && !DisplayReachable()) return LaunchWithoutWindows(state);

    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QtDesktop desktop;
    StartUp(state, ProgramFolder(), desktop);
    return launchMode ? LaunchWithWindows(app, state, desktop) : Editor(app, state, desktop);
}
