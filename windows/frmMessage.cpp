#include "frmMessage.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "clock.h"
#include "data_folder.h"
#include "desktop.h"
#include "geometry.h"
#include "help.h"
#include "message_file.h"
#include "program_state.h"
#include "texts.h"

namespace tarvona {

namespace {
constexpr int kTopic = 1035;
}

frmMessage::frmMessage(ProgramState& state, Desktop& desktop, const Clock& clock, QWidget* parent)
    : QDialog(parent, kFixedDialog), m_state(state), m_desktop(desktop), m_clock(clock) {
    setObjectName("frmMessage");
    setWindowTitle(Text::tr("Enter a Message"));
    SetProgramIcon(this);
    SetClientTwips(this, 5775, 3915);
    setFont(NamedFont("Arial", 8.25));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName("txtMessage");
    m_text->setAccessibleName(Text::tr("Message text"));
    m_text->setFont(NamedFont("Arial", 9.75));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setTabChangesFocus(true);
    PlaceTwips(m_text, 120, 120, 5535, 3015);
    auto* okay = new QPushButton(Text::tr("&Okay"), this);
    okay->setObjectName("cmdOkay");
    okay->setAutoDefault(false);
    PlaceTwips(okay, 1320, 3360, 1215, 375);
    auto* cancel = new QPushButton(Text::tr("&Cancel"), this);
    cancel->setObjectName("cmdCancel");
    cancel->setAutoDefault(false);
    PlaceTwips(cancel, 3240, 3360, 1215, 375);
    setTabOrder(m_text, okay);
    setTabOrder(okay, cancel);
    connect(okay, &QPushButton::clicked, this, &frmMessage::cmdOkay_Click);
    connect(cancel, &QPushButton::clicked, this, &frmMessage::reject);
    BindHelpKey(this, desktop, kTopic);
    CentreOnScreen(this);
    m_text->setFocus();
}

void frmMessage::cmdOkay_Click() {
    // The raw text, since the plain text turns a non-breaking space into a space; paragraph and
    // line separators (Enter, Shift+Enter) become line breaks.
    QString text = m_text->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    if (text.isEmpty()) {
        m_desktop.beep();
        m_desktop.messageBox(
            QT_TRANSLATE_NOOP("Tarvona",
                              "You have not entered any message text.\r\n"
                              "Click Cancel if you don't wish to schedule a message."),
            QT_TRANSLATE_NOOP("Tarvona", "Error"), Buttons::Ok);
        return;
    }
    QByteArray bytes = text.toLocal8Bit();
    bytes.replace("\n", "\r\n");
    const LocalTime now = m_clock.Now();
    const auto seconds = static_cast<uint32_t>(now.hour * 3600 + now.minute * 60 + now.second);
    const auto messages = OpenMessageFolder(m_state);
    const MessageWrite write =
        messages ? WriteNewMessageFile(*messages, bytes.toStdString(), seconds) : MessageWrite{};
    m_state.MessageFile = write.path;
    if (!write.written) {
        m_desktop.messageBox(QT_TRANSLATE_NOOP("Tarvona", "Unable to write message file."),
                             QT_TRANSLATE_NOOP("Tarvona", "Error"), Buttons::Ok);
        return;
    }
    accept();
}

// Cancel, Esc and the close box all hand back the empty text.
void frmMessage::reject() {
    m_state.MessageFile.clear();
    QDialog::reject();
}

}  // namespace tarvona
