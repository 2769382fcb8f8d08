#include "xdg_desktop.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

namespace tarvona::test {

namespace fs = std::filesystem;

XdgDesktop::XdgDesktop() {
    for (const char* folder : {"data/applications", "config", "sysdata", "sysconfig"})
        fs::create_directories(m_dir / folder);
    fs::create_directory_symlink("/usr/share/mime", m_dir / "sysdata/mime");

    const std::string recorder = m_dir / "recorder";
    WriteFile(recorder, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + record() + "'\n");
    ::chmod(recorder.c_str(), 0755);
    WriteFile(m_dir / "data/applications/tarvona-recorder.desktop",
              "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + recorder +
                  " %u\nMimeType=text/plain;inode/directory;x-scheme-handler/https;\n");
    WriteFile(m_dir / "config/mimeapps.list",
              "[Default Applications]\ntext/plain=tarvona-recorder.desktop\n"
              "inode/directory=tarvona-recorder.desktop\n"
              "x-scheme-handler/https=tarvona-recorder.desktop\n");
}

std::vector<std::pair<std::string, std::string>> XdgDesktop::Environment() const {
    return {{"XDG_DATA_HOME", m_dir / "data"},
            {"XDG_CONFIG_HOME", m_dir / "config"},
            {"XDG_DATA_DIRS", m_dir / "sysdata"},
            {"XDG_CONFIG_DIRS", m_dir / "sysconfig"}};
}

void XdgDesktop::Apply() const {
    for (const auto& [name, value] : Environment()) ::setenv(name.c_str(), value.c_str(), 1);
}

std::vector<std::string> XdgDesktop::RecordedLines() const {
    std::vector<std::string> lines;
    std::string text = ReadFile(record());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

std::string XdgDesktop::MakeWaitingProgram(const std::string& path) const {
    // It also ends once its own folder is gone, so that a test that ends first leaves no loop.
    WriteFile(path, "#!/bin/sh\necho \"started $$ $(cut -d' ' -f6 /proc/$$/stat)\" >> '" + path +
                        ".record'\nwhile [ ! -e '" + release() + "' ] && [ -e '" + path +
                        "' ]; do sleep 0.05; done\necho ended >> '" + path + ".record'\n");
    ::chmod(path.c_str(), 0755);
    return path + ".record";
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace tarvona::test
