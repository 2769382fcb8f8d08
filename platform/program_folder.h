#pragma once

#include <string>

namespace tarvona {

// The running executable itself, links resolved.
std::string ProgramFile();

// The folder of the running executable, without a trailing separator except for "/".
std::string ProgramFolder();

}  // namespace tarvona
