#pragma once

// What both programs share: Tarvona, which runs without windows and loads no window code, and
// tarvona-windows, which it hands over to when a window is to be shown.
#include <cstdint>
#include <string>

namespace tarvona {

struct ProgramState;
class Shell;

// Every descriptor the session allows, since GLib aborts where it cannot get one it needs; the
// session's own soft limit, for what we open and for the hand-over.
std::uint64_t RaiseFileLimit();
void RestoreFileLimit(std::uint64_t sessionLimit);

// The command as it was called, for the lines that tell how to call it.
std::string CommandName(const char* argv0);

// The login run with no window at all: events opened, failures on standard error.
int LaunchWithoutWindows(ProgramState& state, Shell& shell);

// A file of Tarvona's own beside the running program (a build, a per-user install) when that
// folder and file are the user's or root's alone, else in the package's private folder.
std::string PrivateFile(const std::string& name);

// The window program's first arguments, after its own name: the program file (whose folder
// decides the data folder), the command name as called, then one of these.
inline constexpr const char* kEditorMode = "--editor";
inline constexpr const char* kLoginRunMode = "--login-run";
// Followed by the run's exit status, "1" when a failure was logged, and the refusal (or "").
inline constexpr const char* kDatedQuestionMode = "--dated-question";

}  // namespace tarvona
