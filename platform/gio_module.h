#pragma once

#include <cstdint>

namespace tarvona {

class Shell;

// The one entry of tarvona-gio.so, extern "C" TarvonaMakeGioShell: a new GioShell (shell.h),
// owned by the caller.
using MakeGioShellFunction = Shell* (*)(std::uint64_t sessionFileLimit);
inline constexpr const char* kMakeGioShellSymbol = "TarvonaMakeGioShell";

}  // namespace tarvona
