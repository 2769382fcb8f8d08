#pragma once

#include <string>

namespace tarvona {

// The text with every control byte (below 0x20, and DEL) written as \xHH, so that a command or a
// file name can neither move a terminal's cursor nor split a line of standard error or the log.
std::string Printable(const std::string& text);

}  // namespace tarvona
