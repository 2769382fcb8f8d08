#include "test_support.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvona::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvona-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make folders read-only; give the owner write access back so that all can go.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

Folder OpenFolder(const std::string& path) {
    int error = 0;
    auto folder = Folder::Open(path, error);
    if (!folder) throw std::runtime_error("cannot open the folder " + path);
    return *folder;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

int32_t RecordingShell::LaunchCommand(WindowHandle, const std::string& command, int32_t style) {
    calls.push_back({command, style});
    for (const auto& [failing, code] : failures)
        if (failing == command) return code;
    return kLaunchSucceeded;
}

Answer ScriptedDesktop::messageBox(const std::string& text, const std::string& caption,
                                   Buttons buttons) {
    messages.push_back({text, caption, buttons});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answers.empty()) {
        unexpected.push_back(text);
        return Answer::No;
    }
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDesktop::chooseFile(const std::string& title) {
    fileDialogTitles.push_back(title);
    if (chosenFiles.empty()) {
        unexpected.push_back("file dialog: " + title);
        return std::nullopt;
    }
    auto chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
}

}  // namespace tarvona::test
