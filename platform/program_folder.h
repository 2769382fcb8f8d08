#pragma once

#include <string>

namespace tarvona {

// The folder of the running executable, without a trailing separator except for "/".
std::string ProgramFolder();

}  // namespace tarvona
