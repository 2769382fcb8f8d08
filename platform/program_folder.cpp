#include "program_folder.h"

#include <filesystem>

namespace tarvona {

std::string ProgramFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::current_path(ec) / "Tarvona";
    std::string folder = exe.parent_path().string();
    return folder.empty() ? std::string("/") : folder;
}

}  // namespace tarvona
