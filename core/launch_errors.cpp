#include "launch_errors.h"

#include <array>
#include <utility>

namespace tarvona {

namespace {

constexpr std::array<std::pair<int32_t, const char*>, 17> kLaunchErrors = {{
    {0, "System was out of memory, executable file was corrupt, or relocations were invalid."},
    {2, "File was not found."},
    {3, "Path was not found."},
    {5,
     "Attempt was made to dynamically link to a task, or there was a sharing or "
     "network-protection error."},
    {6, "Library required separate data segments for each task."},
    {8, "There was insufficient memory to start the application."},
    {10, "Windows version was incorrect."},
    {11,
     "Executable file was invalid. Either it was not a Windows application or there was an "
     "error in the .EXE image."},
    {12, "Application was designed for a different operating system."},
    {13, "Application was designed for MS-DOS 4.0."},
    {14, "Type of executable file was unknown."},
    {15,
     "Attempt was made to load a real-mode application (developed for an earlier version of "
     "Windows)."},
    {16,
     "Attempt was made to load a second instance of an executable file containing multiple "
     "data segments that were not marked read-only."},
    {19,
     "Attempt was made to load a compressed executable file. The file must be decompressed "
     "before it can be loaded."},
    {20,
     "Dynamic-link library (DLL) file was invalid. One of the DLLs required to run this "
     "application was corrupt."},
    {21, "Application requires Microsoft Windows 32-bit extensions."},
    {31, "There is no association for the specified file."},
}};

}  // namespace

std::string LaunchErrorText(int32_t result) {
    for (const auto& [code, text] : kLaunchErrors)
        if (code == result) return text;
    return "Unknown error.";
}

}  // namespace tarvona
