#pragma once

#include <optional>
#include <string>

namespace tarvona {

// WinHelp commands that the program uses, with their Windows values.
enum class HelpCommand { Context = 1, Quit = 2, ContextPopup = 8, Finder = 11 };

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Everything the program asks of the person at the desktop: message boxes (always with the
// stop icon), the beep, help, a file to open, and starting its own executable again. Tests
// replace it with a scripted stand-in.
class Desktop {
public:
    virtual ~Desktop() = default;
    // With Buttons::YesNo, Yes is the default button.
    virtual Answer messageBox(const std::string& text, const std::string& caption,
                              Buttons buttons) = 0;
    virtual void beep() = 0;
    // The help file is named by its bare name, as everywhere in the program.
    virtual void help(const std::string& file, HelpCommand command, int data) = 0;
    // Nothing when the user cancels or the dialog fails.
    virtual std::optional<std::string> chooseFile(const std::string& title) = 0;
    // Starts a program detached, with no arguments.
    virtual bool startProgram(const std::string& path) = 0;
};

// For runs without a display: messages go to standard error, questions are answered No.
class ConsoleDesktop final : public Desktop {
public:
    Answer messageBox(const std::string& text, const std::string& caption,
                      Buttons buttons) override;
    void beep() override {}
    void help(const std::string&, HelpCommand, int) override {}
    std::optional<std::string> chooseFile(const std::string&) override { return std::nullopt; }
    bool startProgram(const std::string&) override { return false; }
};

}  // namespace tarvona
