#pragma once

#include <string>
#include <vector>

namespace tarvona {

struct ProgramState;
class Clock;
class Desktop;

// Every step both modes share, in the state's data folder (see SetUpPaths): under the state
// lock, leftovers of killed writes and the pending deletions; then the Messages folder (with a
// message to the user when it cannot be made) and the event table. False when Tarvona.ini is there but
// could not be read or trusted.
bool StartUp(ProgramState& state, Desktop& desktop, const Clock& clock);

// False when the folder is missing and cannot be created (an entry of that name, even a plain
// file, counts as there).
bool EnsureMessageDir(const ProgramState& state);

// Launch mode: "/start" anywhere in the arguments, in any letter case.
bool IsLaunchMode(const std::vector<std::string>& arguments);

}  // namespace tarvona
