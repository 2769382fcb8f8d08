#include "frmTarvona.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

#include "clock.h"
#include "date_rules.h"
#include "dates.h"
#include "desktop.h"
#include "event_table.h"
#include "frequency.h"
#include "frmAbout.h"
#include "frmCalendar.h"
#include "frmList.h"
#include "frmLog.h"
#include "frmMessage.h"
#include "geometry.h"
#include "help.h"
#include "program_state.h"
#include "shell.h"
#include "texts.h"
#include "window_role.h"

namespace tarvona {

namespace {

constexpr int kWindowTopic = 1075;

// Status-bar panels, in twips: the date and the slot number have narrow panels of their own.
constexpr int kDatePanelTwips = 1080;
constexpr int kNumberPanelTwips = 480;
constexpr int kPanelGapTwips = 30;

enum class Kind { Label, Text, Button, BoldButton, List };

// The window's controls: position and size in twips, tab order (-1: none), the prompt shown
// while the control has the focus, and the pop-up help topic of a right-button press (0: none).
struct Control {
    const char* name;
    Kind kind;
    const char* caption;
    int left, top, width, height;
    int tab;
    const char* prompt;
    int topic;
};

constexpr std::array<Control, 23> kControls = {{
    {"lblDescription", Kind::Label, QT_TRANSLATE_NOOP("Tarvona", "Description"), 240, 255, 810, 210,
     -1, nullptr, 1100},
    {"txtDescription", Kind::Text, "", 240, 510, 2655, 315, 0,
     QT_TRANSLATE_NOOP("Tarvona", "Type a description for this event."), 0},
    {"lblCommand", Kind::Label, QT_TRANSLATE_NOOP("Tarvona", "Command Line"), 3120, 255, 1050, 210,
     -1, nullptr, 1110},
    {"txtCommand", Kind::Text, "", 3120, 495, 2655, 315, 1,
     QT_TRANSLATE_NOOP("Tarvona", "Enter the command for this event."), 0},
    {"cmdBrowse", Kind::Button, "...", 3120, 840, 735, 255, 2,
     QT_TRANSLATE_NOOP("Tarvona", "Browse for the command line for this event."), 1140},
    {"cmdMessage", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "&MSG"), 4080, 840, 735, 255, 3,
     QT_TRANSLATE_NOOP("Tarvona", "Browse for a message file for this event."), 1150},
    {"cmdTest", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "&Test"), 5040, 840, 735, 255, 4,
     QT_TRANSLATE_NOOP("Tarvona", "Test launch this event."), 1160},
    {"lblStyle", Kind::Label, QT_TRANSLATE_NOOP("Tarvona", "Window Style"), 120, 1215, 1125, 210,
     -1, nullptr, 1120},
    {"cboStyle", Kind::List, "", 240, 1455, 2655, 330, 5,
     QT_TRANSLATE_NOOP("Tarvona", "Select the window style for this event."), 0},
    {"lblFrequency", Kind::Label, QT_TRANSLATE_NOOP("Tarvona", "Frequency"), 3120, 1215, 780, 210,
     -1, nullptr, 1130},
    {"cboFrequency", Kind::List, "", 3135, 1470, 2655, 330, 6,
     QT_TRANSLATE_NOOP("Tarvona", "Select the launch frequency for this event."), 0},
    {"lblNextRun", Kind::Label, QT_TRANSLATE_NOOP("Tarvona", "Next Run (mm-dd-yyyy)"), 240, 1935,
     1725, 210, -1, nullptr, 1225},
    {"cmdCalendar", Kind::Button, "#", 2520, 1920, 375, 255, 7,
     QT_TRANSLATE_NOOP("Tarvona", "Display the calendar."), 1227},
    {"txtNextRun", Kind::Text, "", 240, 2175, 2655, 315, 8,
     QT_TRANSLATE_NOOP("Tarvona", "Shows the next launch date for this event."), 0},
    {"cmdBack", Kind::BoldButton, "<< &P", 3120, 2160, 1215, 375, 9,
     QT_TRANSLATE_NOOP("Tarvona", "Go to previous record."), 1170},
    {"cmdForward", Kind::BoldButton, "&N >>", 4560, 2160, 1215, 375, 10,
     QT_TRANSLATE_NOOP("Tarvona", "Go to next record."), 1180},
    {"cmdClear", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "Clea&r This Event"), 240, 2760, 2655,
     375, 11, QT_TRANSLATE_NOOP("Tarvona", "Reset this event to the default values."), 1190},
    {"cmdViewAll", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "&View All"), 3120, 2760, 1215, 375,
     12, QT_TRANSLATE_NOOP("Tarvona", "View a list of all events."), 1200},
    {"cmdViewLog", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "View &Log"), 4560, 2760, 1215, 375,
     13, QT_TRANSLATE_NOOP("Tarvona", "View the event log."), 1210},
    {"cmdExit", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "E&xit"), 240, 3360, 1215, 375, 14,
     QT_TRANSLATE_NOOP("Tarvona", "Save all edits and exit."), 1220},
    {"cmdCancel", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "&Cancel"), 1680, 3360, 1215, 375, 15,
     QT_TRANSLATE_NOOP("Tarvona", "Cancel all edits and exit."), 1230},
    {"cmdHelp", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "&Help"), 3120, 3360, 1215, 375, 16,
     QT_TRANSLATE_NOOP("Tarvona", "Open the help file."), 1240},
    {"cmdAbout", Kind::Button, QT_TRANSLATE_NOOP("Tarvona", "&About"), 4560, 3360, 1215, 375, 17,
     QT_TRANSLATE_NOOP("Tarvona", "Display program information."), 1250},
}};

QString FromBytes(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.c_str());
}
std::string ToBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// A box the user did not edit keeps the stored bytes exactly, even those that are no text in
// the locale's encoding (a Latin-1 name) and show as replacement characters.
std::string Stored(const QString& shown, const std::string& stored) {
    return shown == FromBytes(stored) ? stored : ToBytes(shown);
}

}  // namespace

frmTarvona::frmTarvona(ProgramState& state, Desktop& desktop, Shell& shell, const Clock& clock,
                       std::function<void()> endProgram)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_state(state),
      m_desktop(desktop),
      m_shell(shell),
      m_clock(clock),
      m_endProgram(std::move(endProgram)) {
    setObjectName("frmTarvona");
    setWindowTitle("Tarvona");
    SetWindowRole(this, QAccessible::Window);
    SetProgramIcon(this);
    SetClientTwips(this, 6030, 4200);
    setFont(NamedFont("Arial", 8.25));
    setWindowState(Qt::WindowNoState);
    BuildControls();

    //: How the editor writes and reads dates, in the date box and the status bar: the month
    //: first (mm-dd-yyyy) or the day first (TT.MM.JJJJ); the third character is the separator.
    //: The label above the date box says the same.
    m_dates = DateStyle(ToBytes(Text::tr("mm-dd-yyyy")), ToBytes(Text::tr("Disabled")));
    m_panels[0]->setText(FromBytes(m_dates.Shown(FormatDate(m_clock.Now().date))));
    for (const char* name : kStyleNames) m_style->addItem(Tr(name));
    for (const Frequency& frequency : kFrequencies) m_frequency->addItem(Tr(frequency.name));
    GoToRecord(0);
    SelectEditorTexts();
    CentreOnScreen(this);
    m_description->setFocus();
    // Said over the shown editor, once the event loop runs: an empty table must not pass for a
    // lost schedule.
    if (m_state.Loaded.problem != IniProblem::None)
        QMetaObject::invokeMethod(this, &frmTarvona::TellUnusableTable, Qt::QueuedConnection);
}

void frmTarvona::TellUnusableTable() {
    const bool untrusted = m_state.Loaded.problem == IniProblem::NotTrusted;
    m_desktop.messageBox(
        untrusted ? QT_TRANSLATE_NOOP("Tarvona",
                                      "Tarvona.ini belongs to another user or others can write to "
                                      "it, so its events are not run, shown or saved.")
                  : QT_TRANSLATE_NOOP("Tarvona",
                                      "Unable to read Tarvona.ini. The events cannot be shown or "
                                      "saved."),
        QT_TRANSLATE_NOOP("Tarvona", "Error"), Buttons::Ok);
}

void frmTarvona::BuildControls() {
    std::vector<std::pair<int, QWidget*>> tabbed;
    for (const Control& control : kControls) {
        QWidget* widget = nullptr;
        switch (control.kind) {
            case Kind::Label:
                widget = new QLabel(Tr(control.caption), this);
                break;
            case Kind::Text: {
                auto* box = new QLineEdit(this);
                box->setMaxLength(std::numeric_limits<int>::max());  // no limit of our own
                widget = box;
                break;
            }
            case Kind::List: {
                auto* list = new QComboBox(this);
                list->setEditable(false);
                widget = list;
                break;
            }
            case Kind::Button:
            case Kind::BoldButton: {
                auto* button = new QPushButton(Tr(control.caption), this);
                button->setAutoDefault(false);
                if (control.kind == Kind::BoldButton) {
                    QFont bold = font();
                    bold.setBold(true);
                    button->setFont(bold);
                }
                widget = button;
                break;
            }
        }
        widget->setObjectName(control.name);
        PlaceTwips(widget, control.left, control.top, control.width, control.height);
        // Fonts here run wider than the ones the layout was drawn for: never cut a caption.
        if (control.kind == Kind::Label && widget->sizeHint().width() > widget->width())
            widget->resize(widget->sizeHint().width(), widget->height());
        if (control.tab >= 0) tabbed.emplace_back(control.tab, widget);
        if (control.prompt) m_prompts[widget] = Tr(control.prompt);
        if (control.topic) m_topics[widget] = control.topic;
        widget->installEventFilter(this);
    }
    std::sort(tabbed.begin(), tabbed.end());
    for (size_t i = 1; i < tabbed.size(); ++i) setTabOrder(tabbed[i - 1].second, tabbed[i].second);

    // Screen readers name each box by its label; the label gets no access key of its own.
    const std::pair<const char*, const char*> labelled[] = {{"lblDescription", "txtDescription"},
                                                            {"lblCommand", "txtCommand"},
                                                            {"lblStyle", "cboStyle"},
                                                            {"lblFrequency", "cboFrequency"},
                                                            {"lblNextRun", "txtNextRun"}};
    for (const auto& [labelName, boxName] : labelled) {
        auto* label = findChild<QLabel*>(labelName);
        QWidget* box = findChild<QWidget*>(boxName);
        label->setBuddy(box);
        box->setAccessibleName(label->text());
        // The keyboard's one way to a label's topic is Shift+F1 in its box.
        if (auto topic = m_topics.find(label); topic != m_topics.end())
            m_keyTopics[box] = topic->second;
    }
    // A sign or a short form is no name: these buttons get a word for a screen reader, which
    // reads their prompt as the description; the pointer gets the prompt as a tooltip.
    const std::pair<const char*, const char*> named[] = {
        {"cmdBrowse", QT_TRANSLATE_NOOP("Tarvona", "Browse")},
        {"cmdCalendar", QT_TRANSLATE_NOOP("Tarvona", "Calendar")},
        {"cmdMessage", QT_TRANSLATE_NOOP("Tarvona", "Write a message")}};
    for (const auto& [buttonName, text] : named) {
        QWidget* button = findChild<QWidget*>(buttonName);
        button->setAccessibleName(Tr(text));
        if (buttonName != std::string("cmdMessage")) button->setToolTip(m_prompts[button]);
    }
    // "<< P" and "N >>" read as letters and signs; a screen reader says what they do.
    findChild<QWidget*>("cmdBack")->setAccessibleName(Text::tr("Previous event"));
    findChild<QWidget*>("cmdForward")->setAccessibleName(Text::tr("Next event"));
    // What the status bar prompts for the focused control reaches a screen reader too.
    for (const auto& [widget, prompt] : m_prompts)
        static_cast<QWidget*>(widget)->setAccessibleDescription(prompt);

    m_description = findChild<QLineEdit*>("txtDescription");
    m_command = findChild<QLineEdit*>("txtCommand");
    m_nextRun = findChild<QLineEdit*>("txtNextRun");
    // White as asked for, with dark text, so that a dark theme never gives white on white.
    m_nextRun->setStyleSheet("QLineEdit { background: white; color: black; }");
    m_style = findChild<QComboBox*>("cboStyle");
    m_frequency = findChild<QComboBox*>("cboFrequency");
    m_back = findChild<QPushButton*>("cmdBack");
    m_forward = findChild<QPushButton*>("cmdForward");

    BuildStatusBar();

    const std::pair<const char*, void (frmTarvona::*)()> clicks[] = {
        {"cmdBrowse", &frmTarvona::cmdBrowse_Click},
        {"cmdMessage", &frmTarvona::cmdMessage_Click},
        {"cmdTest", &frmTarvona::cmdTest_Click},
        {"cmdCalendar", &frmTarvona::cmdCalendar_Click},
        {"cmdBack", &frmTarvona::cmdBack_Click},
        {"cmdForward", &frmTarvona::cmdForward_Click},
        {"cmdClear", &frmTarvona::cmdClear_Click},
        {"cmdViewAll", &frmTarvona::cmdViewAll_Click},
        {"cmdViewLog", &frmTarvona::cmdViewLog_Click},
        {"cmdExit", &frmTarvona::cmdExit_Click},
        {"cmdCancel", &frmTarvona::cmdCancel_Click},
        {"cmdHelp", &frmTarvona::cmdHelp_Click},
        {"cmdAbout", &frmTarvona::cmdAbout_Click}};
    for (const auto& [name, handler] : clicks)
        connect(findChild<QPushButton*>(name), &QPushButton::clicked, this, handler);
    connect(m_frequency, &QComboBox::activated, this, &frmTarvona::cboFrequency_Click);

    BindHelpKey(this, m_desktop, kWindowTopic);
}

// Three sunken panels: today's date, the prompt, the slot number. The panels are placed by hand
// over the bar's full height, since the bar's own layout keeps a strip above its items that
// clips the letters; the outer panels are just wide enough for a date and for "25", so the
// middle one shows the longest prompt whole.
void frmTarvona::BuildStatusBar() {
    auto* status = new QStatusBar(this);
    status->setObjectName("Statbar");
    status->setSizeGripEnabled(false);
    status->setFont(NamedFont("MS Sans Serif", 8.25));
    PlaceTwips(status, 0, 3945, 6030, 255);
    const int date = Px(kDatePanelTwips), number = Px(kNumberPanelTwips), gap = Px(kPanelGapTwips);
    const int width = status->width(), height = status->height() - 1;
    const QRect places[] = {{0, 1, date, height},
                            {date + gap, 1, width - number - gap - (date + gap), height},
                            {width - number, 1, number, height}};
    const char* names[] = {"panel1", "panel2", "panel3"};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(status);
        m_panels[i]->setObjectName(names[i]);
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panels[i]->setLineWidth(1);
        m_panels[i]->setGeometry(places[i]);
    }
}

// Alt+N and Alt+P: the window takes them before any shortcut or control, so that one press is
// one move, through the same path as the buttons (which do nothing while disabled).
bool frmTarvona::NavigationKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() != Qt::AltModifier || (key->key() != Qt::Key_N && key->key() != Qt::Key_P))
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress) {
        if (key->key() == Qt::Key_N)
            cmdForward_Click();
        else
            cmdBack_Click();
    }
    return true;
}

void frmTarvona::keyPressEvent(QKeyEvent* event) {
    if (!NavigationKey(event)) QWidget::keyPressEvent(event);
}

bool frmTarvona::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && NavigationKey(event)) return true;
    return QWidget::event(event);
}

bool frmTarvona::eventFilter(QObject* watched, QEvent* event) {
    if (NavigationKey(event)) return true;
    if (event->type() == QEvent::FocusIn) {
        auto prompt = m_prompts.find(watched);
        if (prompt != m_prompts.end()) m_panels[1]->setText(prompt->second);
    } else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) {
        // A right press, or Shift+F1 (the keyboard's way), shows the control's pop-up topic.
        const bool asked = event->type() == QEvent::MouseButtonPress
                               ? static_cast<QMouseEvent*>(event)->button() == Qt::RightButton
                               : static_cast<QKeyEvent*>(event)->keyCombination() ==
                                     QKeyCombination(Qt::ShiftModifier, Qt::Key_F1);
        std::optional<int> topic;
        if (auto own = m_topics.find(watched); own != m_topics.end())
            topic = own->second;
        else if (auto label = m_keyTopics.find(watched);
                 event->type() == QEvent::KeyPress && label != m_keyTopics.end())
            topic = label->second;
        if (asked && topic) {
            m_desktop.help(kHelpFile, HelpCommand::ContextPopup, *topic);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A stored code outside a list shows no selection (and is kept by StoreRecord).
void frmTarvona::SetRecord(int slot) {
    const EventTable& events = m_state.Events;
    m_description->setText(FromBytes(events.EventDescription[slot]));
    m_command->setText(FromBytes(events.EventCommand[slot]));
    const int32_t style = events.EventRunStyle[slot];
    m_style->setCurrentIndex(style >= 0 && style < m_style->count() ? style : -1);
    const int32_t frequency = events.EventFrequency[slot];
    SelectFrequency(frequency >= 0 && frequency < m_frequency->count() ? frequency : -1);
    m_nextRun->setText(FromBytes(m_dates.Shown(events.EventDue[slot])));
}

// A day-first date never reaches the file as typed: the file is month first in every language.
std::string frmTarvona::StoredNextRun(const std::string& stored) const {
    const QString shown = m_nextRun->text();
    if (shown == FromBytes(m_dates.Shown(stored))) return stored;
    if (m_dates.DayFirst())
        if (auto checked = m_dates.Checked(ToBytes(shown))) return *checked;
    return ToBytes(shown);
}

void frmTarvona::StoreRecord() {
    EventTable& events = m_state.Events;
    const int slot = m_state.CurrentRecord;
    events.EventDescription[slot] = Stored(m_description->text(), events.EventDescription[slot]);
    events.EventCommand[slot] = Stored(m_command->text(), events.EventCommand[slot]);
    if (m_style->currentIndex() >= 0) events.EventRunStyle[slot] = m_style->currentIndex();
    if (m_frequency->currentIndex() >= 0) events.EventFrequency[slot] = m_frequency->currentIndex();
    events.EventDue[slot] = StoredNextRun(events.EventDue[slot]);
}

void frmTarvona::GoToRecord(int slot) {
    m_state.CurrentRecord = static_cast<int16_t>(slot);
    m_back->setEnabled(slot > 0);
    m_forward->setEnabled(slot < ProgramState::MaxEvent);
    m_panels[2]->setText(QString::number(slot + 1));
    SetRecord(slot);
}

void frmTarvona::SelectFrequency(int position) {
    m_frequency->setCurrentIndex(position);
    cboFrequency_Click();
}

void frmTarvona::SelectEditorTexts() {
    m_nextRun->selectAll();
    m_command->selectAll();
    m_description->selectAll();
}

void frmTarvona::cboFrequency_Click() {
    if (auto proposal = ProposedNextRun(m_frequency->currentIndex(), m_clock.Now().date))
        m_nextRun->setText(FromBytes(m_dates.Shown(*proposal)));
}

bool frmTarvona::GoodDate() {
    auto checked = m_dates.Checked(ToBytes(m_nextRun->text()));
    if (!checked) return false;
    m_nextRun->setText(FromBytes(m_dates.Shown(*checked)));
    return true;
}

void frmTarvona::BadDate() {
    m_desktop.beep();
    m_nextRun->setFocus();
}

void frmTarvona::cmdBack_Click() {
    if (!m_back->isEnabled()) return;
    if (!GoodDate()) return BadDate();
    StoreRecord();
    GoToRecord(m_state.CurrentRecord - 1);
}

void frmTarvona::cmdForward_Click() {
    if (!m_forward->isEnabled()) return;
    if (!GoodDate()) return BadDate();
    StoreRecord();
    GoToRecord(m_state.CurrentRecord + 1);
}

void frmTarvona::cmdClear_Click() {
    m_description->clear();
    m_command->clear();
    m_style->setCurrentIndex(kNormal);
    SelectFrequency(kDisabled);
    m_nextRun->setText(FromBytes(m_dates.Shown(kDueDisabled)));
}

// A save that fails is told, and the editor stays, so that nobody believes an unsaved schedule
// is saved: the user can retry or leave with Cancel, whose version write stays silent.
bool frmTarvona::Unload() {
    if (m_unloaded) return true;
    // The user was told at start that this file is left alone.
    if (m_state.Loaded.problem != IniProblem::None) return m_unloaded = true;
    if (!SaveEvents(m_state) && !m_state.CancelEdits) {
        m_desktop.messageBox(
            QT_TRANSLATE_NOOP("Tarvona", "Unable to save the events to Tarvona.ini."),
            QT_TRANSLATE_NOOP("Tarvona", "Error"), Buttons::Ok);
        return false;
    }
    m_unloaded = true;
    return true;
}

void frmTarvona::cmdExit_Click() {
    if (!GoodDate()) return BadDate();
    StoreRecord();
    if (!Unload()) return;
    CloseHelp(m_desktop);
    if (m_endProgram) m_endProgram();
}

void frmTarvona::cmdCancel_Click() {
    m_state.CancelEdits = true;
    Unload();
    CloseHelp(m_desktop);
    if (m_endProgram) m_endProgram();
}

// The title-bar close saves the table as last stored; the shown slot is not stored first.
void frmTarvona::closeEvent(QCloseEvent* event) {
    if (!Unload()) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_endProgram) m_endProgram();
}

void frmTarvona::cmdTest_Click() {
    const QString text = m_command->text();
    if (text.isEmpty()) {
        m_desktop.beep();
        m_command->setFocus();
        return;
    }
    const int style = m_style->currentIndex() >= 0
                          ? m_style->currentIndex()
                          : m_state.Events.EventRunStyle[m_state.CurrentRecord];
    // The stored bytes while the shown text is theirs, so Test opens what the launch run opens,
    // also a name that is not UTF-8.
    const std::string command = Stored(text, m_state.Events.EventCommand[m_state.CurrentRecord]);
    const int32_t result = m_shell.LaunchCommand(winId(), command, style);
    if (LaunchSucceeded(result)) return;
    m_desktop.beep();
    // The name goes in as its bytes: it need not be text in the locale's encoding.
    std::string message = ToBytes(Text::tr("Could not execute %1."));
    message.replace(message.find("%1"), 2, command);
    m_desktop.messageBox(message, "Tarvona", Buttons::Ok);
}

void frmTarvona::cmdBrowse_Click() {
    if (auto chosen = m_desktop.chooseFile(QT_TRANSLATE_NOOP("Tarvona", "Select Program")))
        m_command->setText(FromBytes(*chosen));
}

// Modal to the editor alone: the editor takes no input meanwhile, but the help window, which
// these windows open with F1, stays usable.
void frmTarvona::OpenModal(QDialog* window, std::function<void()> afterClose) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    if (afterClose) connect(window, &QDialog::finished, this, std::move(afterClose));
    window->show();
}

void frmTarvona::cmdCalendar_Click() {
    m_state.PickedDate.clear();
    OpenModal(new frmCalendar(m_state, m_desktop, m_clock, this), [this] {
        if (!m_state.PickedDate.empty())
            m_nextRun->setText(FromBytes(m_dates.Shown(m_state.PickedDate)));
    });
}

void frmTarvona::cmdMessage_Click() {
    OpenModal(new frmMessage(m_state, m_desktop, m_clock, this), [this] {
        if (!m_state.MessageFile.empty()) m_command->setText(FromBytes(m_state.MessageFile));
    });
}

void frmTarvona::cmdViewAll_Click() {
    StoreRecord();
    auto pick = [this](int slot) {
        GoToRecord(slot);
        SelectEditorTexts();
    };
    OpenModal(new frmList(m_state, m_desktop, pick, this), nullptr);
}

void frmTarvona::cmdViewLog_Click() {
    OpenModal(new frmLog(m_state, m_desktop, nullptr, this), nullptr);
}

void frmTarvona::cmdHelp_Click() {
    m_desktop.help(kHelpFile, HelpCommand::Finder, 10);
}

void frmTarvona::cmdAbout_Click() {
    OpenModal(new frmAbout(m_state, m_desktop, this), nullptr);
}

}  // namespace tarvona
