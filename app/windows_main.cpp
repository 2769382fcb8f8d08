// tarvona-windows: whatever Tarvona shows in a window. Tarvona starts it by exec, with the
// display already chosen and no lock held:
//   tarvona-windows PROGRAM COMMAND --editor [Qt options]
//   tarvona-windows PROGRAM COMMAND --login-run
//   tarvona-windows PROGRAM COMMAND --dated-question STATUS ERRORS REFUSAL
// PROGRAM is Tarvona's own file, whose folder decides the data folder and which the log viewer
// starts again; COMMAND is the name it was called by.
#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "clock.h"
#include "data_folder.h"
#include "desktop.h"
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
#include "run_common.h"
#include "session_bus.h"
#include "shell.h"
#include "startup.h"
#include "texts.h"
#include "user_folders.h"

using namespace tarvona;

namespace {

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
    const Answer answer = desktop.messageBox(
        QT_TRANSLATE_NOOP("Tarvona",
                          "Errors occurred while launching some applications. Review log file?"),
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
void TellRefusal(const std::string& refused, QtDesktop& desktop) {
    if (!refused.empty())
        desktop.messageBox(refused, QT_TRANSLATE_NOOP("Tarvona", "Error"), Buttons::Ok);
}

int LoginRun(int& argc, char** argv, ProgramState& state) {
    LaunchStart start = BeginLaunchRun(state, ProgramFolder(state.ProgramFile), RunKind::Login);
    if (start.endStatus) return *start.endStatus;
    SessionBus();  // Qt connects to it as well, and would wait on one that never answers
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == "offscreen") {
        GioShell shell(state.SessionFileLimit);
        return LaunchWithoutWindows(state, shell);
    }
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
    // A dated run may go on while the question waits for its answer; a second login run, which
    // the login lock keeps out, still may not.
    start.lock.run.reset();
    TellRefusal(report.refused, desktop);
    return AskAboutTheLog(app, state, desktop, status, splash);
}

// The run has been made and reported; what is left is its question.
int DatedQuestion(int& argc, char** argv, ProgramState& state, int status, bool errors,
                  const std::string& refused) {
    OpenedFolder opened = OpenDataFolder(ProgramFolder(state.ProgramFile), UserDataHome(), false);
    if (!opened.folder) return status;
    SetUpPaths(state, std::move(*opened.folder));
    state.LaunchErrors = errors;
    SessionBus();  // as for the login run: Qt must not wait on a bus that never answers
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == "offscreen") return status;
    app.setQuitOnLastWindowClosed(false);
    SetIdentity(state);
    QtDesktop desktop;
    TellRefusal(refused, desktop);
    std::unique_ptr<frmSplash> noSplash;
    return AskAboutTheLog(app, state, desktop, status, noSplash);
}

int Editor(int& argc, char** argv, ProgramState& state) {
    SessionBus();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    SetIdentity(state);
    QtDesktop desktop;
    OpenedFolder opened = OpenDataFolder(ProgramFolder(state.ProgramFile), UserDataHome(), true);
    if (!opened.folder) {
        std::cerr << "Tarvona: " << Printable(opened.problem) << '\n';
        desktop.messageBox(opened.problem, QT_TRANSLATE_NOOP("Tarvona", "Error"), Buttons::Ok);
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
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc < 4) {
        std::cerr << "tarvona-windows: started by Tarvona only; run tarvona instead\n";
        return 2;
    }
    ProgramState state;
    state.SessionFileLimit = RaiseFileLimit();
    state.ProgramFile = argv[1];
    const std::string mode = argv[3];
    // Qt sees the command name and, for the editor, the options it was given.
    std::vector<char*> qtArguments = {argv[2]};
    if (mode == kEditorMode) qtArguments.insert(qtArguments.end(), argv + 4, argv + argc);
    qtArguments.push_back(nullptr);
    int qtCount = static_cast<int>(qtArguments.size()) - 1;
    if (mode == kEditorMode) return Editor(qtCount, qtArguments.data(), state);
    if (mode == kLoginRunMode) return LoginRun(qtCount, qtArguments.data(), state);
    if (mode == kDatedQuestionMode && argc == 7)
        return DatedQuestion(qtCount, qtArguments.data(), state, std::atoi(argv[4]),
                             std::string(argv[5]) == "1", argv[6]);
    std::cerr << "tarvona-windows: unknown mode " << mode << '\n';
    return 2;
}
