#pragma once

#include <string>
#include <vector>

#include "clock.h"
#include "shell.h"

namespace tarvona {

struct ProgramState;

// True when the command names a file directly inside the Messages folder: the path, taken
// lexically without "." and ".." parts, has messageDir exactly as its folder.
bool IsMessageFile(const std::string& command, const std::string& messageDir);

struct LaunchFailure {
    int slot;
    std::string command;
    std::string message;  // the sentence written to the log
};

// One pass over the table: opens every due event, writes its next state into the settings file
// right after its launch, logs every failure and sets LaunchErrors when it logged one. The table
// in memory is not changed. Returns every failed slot, logged or not.
std::vector<LaunchFailure> RunDueEvents(ProgramState& state, Shell& shell, const Clock& clock,
                                        WindowHandle owner);

}  // namespace tarvona
