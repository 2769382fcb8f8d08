#pragma once

#include <string>

namespace tarvona {

// The running executable itself, links resolved.
std::string ProgramFile();

// The folder of the running executable (or of programFile, the executable Tarvona runs as when
// another program acts for it), without a trailing separator except for "/".
std::string ProgramFolder(const std::string& programFile = ProgramFile());

}  // namespace tarvona
