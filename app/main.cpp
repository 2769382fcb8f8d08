#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "clock.h"
#include "desktop.h"
#include "display.h"
#include "launch_run.h"
#include "program_folder.h"
#include "program_state.h"
#include "shell.h"
#include "startup.h"

using namespace tarvona;

namespace {

// The launch run where no window can be shown: failures go to the log and to standard error.
int RunWithoutWindows(ProgramState& state) {
    ConsoleDesktop desktop;
    StartUp(state, ProgramFolder(), desktop);
    GioShell shell;
    SystemClock clock;
    const auto failures = RunDueEvents(state, shell, clock, WindowHandle{});
    for (const LaunchFailure& failure : failures)
        std::cerr << "Tarvona: " << failure.command << ": " << failure.message << '\n';
    return failures.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit must turn into a failed write, never end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    ProgramState state;
    if (IsLaunchMode(arguments)) return RunWithoutWindows(state);

    ConsoleDesktop desktop;
    StartUp(state, ProgramFolder(), desktop);
    std::cerr << "Tarvona: the event editor is not built yet.\n";
    return 2;
}
