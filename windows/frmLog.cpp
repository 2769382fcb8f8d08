#include "frmLog.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "data_folder.h"
#include "desktop.h"
#include "error_log.h"
#include "geometry.h"
#include "help.h"
#include "program_state.h"
#include "texts.h"

namespace tarvona {

namespace {
constexpr int kTopic = 1060;
}

frmLog::frmLog(const ProgramState& state, Desktop& desktop, std::function<void()> endProgram,
               QWidget* parent)
    : QDialog(parent, kFixedDialog),
      m_state(state),
      m_desktop(desktop),
      m_endProgram(std::move(endProgram)) {
    setObjectName("frmLog");
    setWindowTitle(Text::tr("Event Error Log"));
    SetProgramIcon(this);
    SetClientTwips(this, 6855, 3720);
    setFont(NamedFont("Arial", 8.25));

    struct Button {
        const char* name;
        const char* caption;
        int left;
        int width;
    };
    const Button buttons[] = {
        {"cmdOkay", QT_TRANSLATE_NOOP("Tarvona", "&Okay"), 840, 1215},
        {"cmdStart", QT_TRANSLATE_NOOP("Tarvona", "&Run Tarvona"), 2160, 2535},
        {"cmdHelp", QT_TRANSLATE_NOOP("Tarvona", "&Help"), 4800, 1215}};
    QPushButton* made[3];
    for (int i = 0; i < 3; ++i) {
        made[i] = new QPushButton(Tr(buttons[i].caption), this);
        made[i]->setObjectName(buttons[i].name);
        PlaceTwips(made[i], buttons[i].left, 3240, buttons[i].width, 375);
    }
    m_okay = made[0];
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName("txtLog");
    m_text->setAccessibleName(Text::tr("Event error log"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PlaceTwips(m_text, 120, 120, 6615, 3015);
    setTabOrder(made[0], made[1]);
    setTabOrder(made[1], made[2]);
    setTabOrder(made[2], m_text);

    m_text->setPlainText(ReadLogTail(*state.Data));
    made[1]->setEnabled(state.LaunchErrors);
    connect(made[0], &QPushButton::clicked, this, &QDialog::accept);
    connect(made[1], &QPushButton::clicked, this, &frmLog::cmdStart_Click);
    connect(made[2], &QPushButton::clicked, this,
            [this] { m_desktop.help(kHelpFile, HelpCommand::Context, kTopic); });
    BindHelpKey(this, desktop, kTopic);
    CentreOnScreen(this);
}

// Only a regular file is read, and only its tail: a FIFO or a link to a device is no log.
QString frmLog::ReadLogTail(const Folder& folder) {
    // One byte more shows whether the tail already starts at a line.
    const FileRead read = folder.ReadTail(kLogName, kShownBytes + 1);
    if (read.status != ReadStatus::Read) return {};
    std::string bytes = read.bytes;
    if (bytes.size() > static_cast<size_t>(kShownBytes)) {
        const size_t lineEnd = bytes.find('\n');
        // A tail without any line break is still shown, from its first byte.
        bytes.erase(0, lineEnd == std::string::npos ? 1 : lineEnd + 1);
    }
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void frmLog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_text->moveCursor(QTextCursor::End);
    m_text->ensureCursorVisible();
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
    m_okay->setFocus();
}

void frmLog::cmdStart_Click() {
    hide();
    if (m_desktop.startProgram(m_state.ProgramFile)) {
        done(Accepted);
        return;
    }
    m_desktop.beep();
    m_desktop.messageBox(QT_TRANSLATE_NOOP("Tarvona", "Unable to launch Tarvona."), "Tarvona",
                         Buttons::Ok);
    show();
}

void frmLog::done(int result) {
    QDialog::done(result);
    if (m_state.LaunchErrors) {
        CloseHelp(m_desktop);
        if (m_endProgram) m_endProgram();
    }
}

}  // namespace tarvona
