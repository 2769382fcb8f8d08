#include "program_folder.h"

#include <filesystem>

namespace tarvona {

std::string ProgramFile() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::current_path(ec) / "Tarvona";
    return exe.string();
}

std::string ProgramFolder(const std::string& programFile) {
    std::string folder = std::filesystem::path(programFile).parent_path().string();
    return folder.empty() ? std::string("/") : folder;
}

}  // namespace tarvona
