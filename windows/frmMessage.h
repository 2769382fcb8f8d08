#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace tarvona {

struct ProgramState;
class Desktop;
class Clock;

// Writes a typed message into a new file of the Messages folder and leaves its path in
// MessageFile; Cancel and the close box leave MessageFile empty.
class frmMessage final : public QDialog {
    Q_OBJECT
public:
    frmMessage(ProgramState& state, Desktop& desktop, const Clock& clock,
               QWidget* parent = nullptr);

    void reject() override;

private:
    void cmdOkay_Click();

    ProgramState& m_state;
    Desktop& m_desktop;
    const Clock& m_clock;
    QPlainTextEdit* m_text;
};

}  // namespace tarvona
