#pragma once

// Tarvona.tmp: the message files that launch runs used up, one path per line, to be deleted by
// a later start-up. A message is opened in a viewer that may take a while to read it, and a
// dated run or the editor may start within moments, so the list is worked through only once
// kMessageGrace has passed since it last changed.
#include <chrono>
#include <string>

namespace tarvona {

struct ProgramState;

constexpr std::chrono::minutes kMessageGrace{10};
// No Messages folder holds more; a longer list is damaged, and the rest is dropped.
constexpr size_t kMaxListLines = 10000;

// True when the command names a file directly inside the Messages folder: the path, taken
// lexically without "." and ".." parts, has messageDir exactly as its folder. A text holding a
// NUL byte is never a message file.
bool IsMessageFile(const std::string& command, const std::string& messageDir);

// Appends the command as one line to Tarvona.tmp; false when it could not be written.
bool AppendToTempList(ProgramState& state, const std::string& command);

// Deletes the message files listed in Tarvona.tmp, each by its name directly inside the
// Messages folder, once the list is older than kMessageGrace at `now`. A file already gone
// counts as deleted; one that cannot be deleted stays listed; a line that names no message
// file, and a name that is no plain file, are dropped without deleting anything. The list goes
// when nothing is left in it. The caller holds the state lock.
void PurgeTempList(ProgramState& state, std::chrono::sys_seconds now);

}  // namespace tarvona
