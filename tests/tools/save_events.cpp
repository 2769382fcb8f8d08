// A settings save as the editor's Exit makes it, for scripts/crash-test: loads the table of a
// program folder, gives every event the values of generation N and saves.
// Usage: save_events FOLDER N
#include <cstdlib>
#include <string>

#include "data_folder.h"
#include "event_table.h"
#include "program_state.h"

int main(int argc, char** argv) {
    using namespace tarvona;
    if (argc != 3) return 2;
    ProgramState state;
    SetUpPaths(state, argv[1]);
    LoadEvents(state);
    const std::string generation = argv[2];
    for (int n = 0; n <= ProgramState::MaxEvent; ++n) {
        state.Events.EventCommand[n] = "/usr/bin/true";
        state.Events.EventDescription[n] =
            "generation " + generation + " slot " + std::to_string(n);
        state.Events.EventRunStyle[n] = std::atoi(argv[2]) % 3;
        state.Events.EventFrequency[n] = 0;
        state.Events.EventDue[n] = "12-08-2026";
    }
    return SaveEvents(state) ? 0 : 1;
}
