#pragma once

#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace tarvona {

struct ProgramState;
class Desktop;
class Folder;

// Shows Tarvona.log, scrolled to its newest entry. After a launch run with failures its Run
// button starts the editor, and closing it ends the program.
class frmLog final : public QDialog {
    Q_OBJECT
public:
    static constexpr qint64 kShownBytes = 30000;

    frmLog(const ProgramState& state, Desktop& desktop, std::function<void()> endProgram,
           QWidget* parent = nullptr);

    // The newest part of the log: at most kShownBytes, starting at the beginning of a line.
    static QString ReadLogTail(const Folder& folder);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdStart_Click();

    const ProgramState& m_state;
    Desktop& m_desktop;
    std::function<void()> m_endProgram;
    QPlainTextEdit* m_text;
    QPushButton* m_okay;
};

}  // namespace tarvona
