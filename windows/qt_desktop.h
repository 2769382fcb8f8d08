#pragma once

#include "desktop.h"
#include "help.h"

namespace tarvona {

// The desktop of a Qt session: message boxes, the beep, our help window, the file dialog.
class QtDesktop final : public Desktop {
public:
    Answer messageBox(const std::string& text, const std::string& caption,
                      Buttons buttons) override;
    void beep() override;
    void help(const std::string& file, HelpCommand command, int data) override;
    std::optional<std::string> chooseFile(const std::string& title) override;
    bool startProgram(const std::string& path) override;

    HelpViewer& helpViewer() { return m_help; }

private:
    HelpViewer m_help;
};

}  // namespace tarvona
