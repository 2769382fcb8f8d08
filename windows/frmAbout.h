#pragma once

#include <QDialog>

namespace tarvona {

struct ProgramState;
class Desktop;

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    frmAbout(const ProgramState& state, Desktop& desktop, QWidget* parent = nullptr);

private:
    Desktop& m_desktop;
};

}  // namespace tarvona
