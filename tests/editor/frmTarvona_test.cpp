#include "frmTarvona.h"

#include <sys/stat.h>

#include <QAccessible>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "data_folder.h"
#include "event_table.h"
#include "frmCalendar.h"
#include "frmList.h"
#include "frmMessage.h"
#include "geometry.h"
#include "help.h"
#include "help_links.h"
#include "ini_file.h"
#include "launch_run.h"
#include "program_state.h"
#include "startup.h"
#include "test_support.h"

using namespace tarvona;
using namespace tarvona::test;

class EditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> dir;
    std::unique_ptr<ProgramState> state;
    std::unique_ptr<ScriptedDesktop> desktop;
    std::unique_ptr<RecordingShell> shell;
    std::unique_ptr<FixedClock> clock;
    std::unique_ptr<frmTarvona> editor;
    int ended = 0;

    void Open(const std::string& ini = "", const std::function<void()>& spoil = {}) {
        dir = std::make_unique<TempDir>();
        state = std::make_unique<ProgramState>();
        SetUpPaths(*state, dir->path());
        std::filesystem::create_directory(state->MessageDir);
        if (!ini.empty()) WriteFile(state->IniFile, ini);
        if (spoil) spoil();
        LoadEvents(*state);
        desktop = std::make_unique<ScriptedDesktop>();
        shell = std::make_unique<RecordingShell>();
        clock = std::make_unique<FixedClock>(Date(2026, 12, 8));
        ended = 0;
        editor =
            std::make_unique<frmTarvona>(*state, *desktop, *shell, *clock, [this] { ++ended; });
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        editor->activateWindow();
    }
    template <typename T>
    T* Find(const char* name) {
        T* widget = editor->findChild<T*>(name);
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QLineEdit* Text(const char* name) { return Find<QLineEdit>(name); }
    QPushButton* Button(const char* name) { return Find<QPushButton>(name); }
    QString Panel(int n) {
        return Find<QLabel>(QByteArray("panel") + QByteArray::number(n))->text();
    }
    // A panel shows its text whole: the text, the frame and the indent fit, and the panel lies
    // inside the status bar.
    void VerifyWhole(int n) {
        auto* panel = Find<QLabel>(QByteArray("panel") + QByteArray::number(n));
        const QSize needed = panel->sizeHint();
        QVERIFY2(needed.width() <= panel->width() && needed.height() <= panel->height(),
                 qPrintable(QString("panel %1 is %2x%3 but \"%4\" needs %5x%6")
                                .arg(n)
                                .arg(panel->width())
                                .arg(panel->height())
                                .arg(panel->text())
                                .arg(needed.width())
                                .arg(needed.height())));
        QVERIFY(panel->parentWidget()->rect().contains(panel->geometry()));
        QVERIFY(editor->rect().contains(panel->parentWidget()->geometry()));
    }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    std::string Ini(const char* section, const std::string& key) {
        return IniFile(state->IniFile).ReadString(section, key, "<missing>");
    }
    void Pick(int frequency) {
        auto* box = Find<QComboBox>("cboFrequency");
        box->setCurrentIndex(frequency);
        emit box->activated(frequency);
    }

    const std::string kFilled =
        "[Commands]\r\nCommand0=/usr/bin/report\r\nCommand24=/bin/last\r\n"
        "[Descriptions]\r\nDescription0=Report\r\n[RunStyle]\r\nRunStyle0=2\r\nRunStyle3=7\r\n"
        "[Frequency]\r\nFrequency0=4\r\nFrequency3=42\r\n[Due]\r\nDue0=07-04-1999\r\n"
        "Due3=whenever\r\n[Mine]\r\nkeep=1\r\n";

private slots:
    void cleanup() {
        editor.reset();
        if (desktop) QCOMPARE(desktop->unexpected.size(), size_t(0));  // no unscripted question
    }

    void opening() {
        Open(kFilled);
        QCOMPARE(editor->windowTitle(), QString("Tarvona"));
        QCOMPARE(Panel(1), QString("12-08-2026"));
        QCOMPARE(Panel(3), QString("1"));
        QVERIFY(!Button("cmdBack")->isEnabled());
        QVERIFY(Button("cmdForward")->isEnabled());
        QCOMPARE(Text("txtDescription")->text(), QString("Report"));
        QCOMPARE(Text("txtCommand")->text(), QString("/usr/bin/report"));
        QCOMPARE(Find<QComboBox>("cboStyle")->currentText(), QString("Maximized"));
        QCOMPARE(Find<QComboBox>("cboFrequency")->currentText(), QString("Monthly"));
        QCOMPARE(Text("txtNextRun")->text(), QString("07-04-1999"));  // stored, not proposed
        QCOMPARE(Find<QComboBox>("cboFrequency")->count(), 10);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Text("txtDescription")));
        QCOMPARE(Panel(2), QString("Type a description for this event."));
        QVERIFY(Button("cmdBack")->font().bold());
        QVERIFY(!Button("cmdExit")->font().bold());
    }

    void movingAtBothEnds() {
        Open();
        QTRY_VERIFY(QApplication::focusWidget());
        for (int i = 0; i < 23; ++i) Click("cmdForward");
        QCOMPARE(Panel(3), QString("24"));
        QVERIFY(Button("cmdForward")->isEnabled());
        Click("cmdForward");
        QCOMPARE(Panel(3), QString("25"));
        QCOMPARE(state->CurrentRecord, 24);
        QVERIFY(!Button("cmdForward")->isEnabled());
        QVERIFY(Button("cmdBack")->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(Panel(3), QString("25"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(Panel(3), QString("24"));  // Alt+P moves exactly one slot
        for (int i = 0; i < 23; ++i) Click("cmdBack");
        QCOMPARE(Panel(3), QString("1"));
        QVERIFY(!Button("cmdBack")->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(state->CurrentRecord, 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(state->CurrentRecord, 1);
    }

    void freeSlotShowsDisabled() {
        Open(kFilled);
        Click("cmdForward");
        QCOMPARE(Text("txtDescription")->text(), QString());
        QCOMPARE(Find<QComboBox>("cboStyle")->currentText(), QString("Normal"));
        QCOMPARE(Find<QComboBox>("cboFrequency")->currentText(), QString("Disabled"));
        QCOMPARE(Text("txtNextRun")->text(), QString("Disabled"));
    }

    void editsSurviveForwardThenBackAndCancelKeepsTheFile() {
        Open(kFilled);
        const std::string before = ReadFile(state->IniFile);
        Text("txtDescription")->setText("Changed");
        Click("cmdForward");
        Click("cmdBack");
        QCOMPARE(Text("txtDescription")->text(), QString("Changed"));
        Text("txtDescription")->setText("Changed again");
        Click("cmdCancel");
        QCOMPARE(ended, 1);
        const std::string after = ReadFile(state->IniFile);
        QCOMPARE(after, before + "[Tarvona]\r\nVersion=1.36a\r\n");
        QCOMPARE(desktop->helpCalls.size(), size_t(1));
        QCOMPARE(desktop->helpCalls[0].command, HelpCommand::Quit);
    }

    void exitWritesTheWholeTable() {
        Open(kFilled);
        Text("txtDescription")->setText(QString(300, 'd'));
        Text("txtNextRun")->setText("7/4/1999");
        Click("cmdExit");
        QCOMPARE(ended, 1);
        QCOMPARE(Ini("Descriptions", "Description0"), std::string(300, 'd'));
        QCOMPARE(Ini("Due", "Due0"), std::string("07-04-1999"));
        QCOMPARE(Ini("Commands", "Command24"), std::string("/bin/last"));
        QCOMPARE(Ini("Due", "Due12"), std::string("Disabled"));
        QCOMPARE(Ini("Mine", "keep"), std::string("1"));
        QCOMPARE(Ini("RunStyle", "RunStyle3"), std::string("7"));  // odd codes are kept
        QCOMPARE(Ini("Frequency", "Frequency3"), std::string("42"));
        QCOMPARE(desktop->helpCalls.back().command, HelpCommand::Quit);
    }

    // An editor left open while a launch run happens: Exit keeps what the run wrote (a next
    // date, a used-up One Time event) and adds only the user's own edit.
    void exitAfterALaunchRunKeepsTheRunsChanges() {
        Open(
            "[Commands]\r\nCommand0=/usr/bin/true\r\nCommand1=/msg.txt\r\n"
            "[Descriptions]\r\nDescription1=Dentist\r\n[Frequency]\r\nFrequency0=0\r\n"
            "Frequency1=7\r\n[Due]\r\nDue0=12-08-2026\r\nDue1=?\r\n");
        ProgramState run;
        SetUpPaths(run, dir->path());
        LoadEvents(run);
        RunDueEvents(run, *shell, *clock, WindowHandle{});
        const std::string afterRun = ReadFile(state->IniFile);
        Click("cmdForward");
        Click("cmdForward");
        Text("txtDescription")->setText("mine");
        Click("cmdExit");
        QCOMPARE(ended, 1);
        QCOMPARE(Ini("Due", "Due0"), std::string("12-09-2026"));
        QCOMPARE(Ini("Commands", "Command1"), std::string(""));
        QCOMPARE(Ini("Due", "Due1"), std::string("Disabled"));
        QCOMPARE(Ini("Descriptions", "Description2"), std::string("mine"));

        // Without another writer, Exit leaves every byte that is already there, hand spacing
        // included.
        std::string saved = ReadFile(state->IniFile);
        saved.replace(saved.find("Due0=12-09-2026"), 15, "Due0 = 12-09-2026 ");
        Open(saved);
        Click("cmdForward");
        Click("cmdExit");
        QCOMPARE(ReadFile(state->IniFile), saved);
    }

    // Bytes that are no UTF-8 (a Latin-1 name) survive paging past and Exit; a description far
    // beyond QLineEdit's usual limit is written whole.
    void untouchedBytesAndLongTextsAreKept() {
        const std::string latin1 = "/home/u/caf\xe9.sh";
        Open("[Commands]\r\nCommand0=" + latin1 + "\r\nCommand1=x\xff\xfey\r\n");
        Click("cmdForward");
        Click("cmdForward");
        Text("txtDescription")->setText(QString(40000, 'w'));
        Click("cmdExit");
        QCOMPARE(Ini("Commands", "Command0"), latin1);
        QCOMPARE(Ini("Commands", "Command1"), std::string("x\xff\xfey"));
        QCOMPARE(Ini("Descriptions", "Description2"), std::string(40000, 'w'));
    }

    void aFailedSaveIsToldAndTheEditorStays() {
        for (bool titleBar : {false, true}) {
            Open(kFilled);
            Text("txtDescription")->setText("unsaved");
            Click("cmdForward");
            ::chmod(state->IniFile.c_str(), 0444);
            if (titleBar)
                editor->close();
            else
                Click("cmdExit");
            QCOMPARE(ended, 0);
            QVERIFY(editor->isVisible());
            QCOMPARE(desktop->messages.size(), size_t(1));
            QCOMPARE(desktop->messages[0].text,
                     std::string("Unable to save the events to Tarvona.ini."));
            QCOMPARE(desktop->messages[0].caption, std::string("Error"));

            ::chmod(state->IniFile.c_str(), 0644);  // the user mends it and retries
            Click("cmdExit");
            QCOMPARE(ended, 1);
            QCOMPARE(Ini("Descriptions", "Description0"), std::string("unsaved"));
        }
        Open(kFilled);
        ::chmod(dir->path().c_str(), 0555);
        Click("cmdCancel");
        ::chmod(dir->path().c_str(), 0755);
        QCOMPARE(ended, 1);
        QVERIFY2(desktop->messages.empty(), "Cancel's version write stays silent");
    }

    // A file the editor cannot read or must not trust is said so at once, and Exit leaves it.
    void anUnusableFileIsToldAndNeverSaved() {
        const struct {
            const char* what;
            std::function<void(const std::string&)> spoil;
            const char* message;
        } cases[] = {
            {"writable by others", [](const std::string& ini) { ::chmod(ini.c_str(), 0666); },
             "Tarvona.ini belongs to another user or others can write to it, so its events are "
             "not run, shown or saved."},
            {"a folder",
             [](const std::string& ini) {
                 std::filesystem::remove(ini);
                 std::filesystem::create_directory(ini);
             },
             "Unable to read Tarvona.ini. The events cannot be shown or saved."},
        };
        for (const auto& c : cases) {
            Open(kFilled, [&] { c.spoil(dir->path() + "/Tarvona.ini"); });
            QTRY_COMPARE(desktop->messages.size(), size_t(1));
            QCOMPARE(desktop->messages[0].text, std::string(c.message));
            QCOMPARE(desktop->messages[0].caption, std::string("Error"));
            QCOMPARE(Text("txtCommand")->text(), QString());
            Text("txtCommand")->setText("/usr/bin/typed-over");
            Click("cmdExit");
            QCOMPARE(ended, 1);
            QCOMPARE(desktop->messages.size(), size_t(1));
            if (std::filesystem::is_regular_file(state->IniFile))
                QCOMPARE(ReadFile(state->IniFile), kFilled);
        }
    }

    // Under a dark theme the date box keeps its white background: its text must stay dark.
    void dateBoxIsReadableUnderADarkPalette() {
        const QPalette before = QApplication::palette();
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(40, 40, 40));
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, Qt::white);
        dark.setColor(QPalette::WindowText, Qt::white);
        QApplication::setPalette(dark);
        Open(kFilled);
        QLineEdit* box = Text("txtNextRun");
        box->setText("88-88-8888");
        const QImage image = box->grab().toImage();
        QApplication::setPalette(before);
        int darkPixels = 0, lightPixels = 0;
        for (int y = 4; y < image.height() - 4; ++y)
            for (int x = 4; x < image.width() - 4; ++x) {
                const int grey = qGray(image.pixel(x, y));
                darkPixels += grey < 96;
                lightPixels += grey > 200;
            }
        QVERIFY2(lightPixels > darkPixels, "the background is white");
        QVERIFY2(darkPixels > 20, "the text is dark on it");
    }

    void oddCodesShowNoSelection() {
        Open(kFilled);
        for (int i = 0; i < 3; ++i) Click("cmdForward");
        QCOMPARE(Find<QComboBox>("cboStyle")->currentIndex(), -1);
        QCOMPARE(Find<QComboBox>("cboFrequency")->currentIndex(), -1);
        QCOMPARE(Text("txtNextRun")->text(), QString("whenever"));
    }

    void titleBarCloseSavesOnlyWhatWasStored() {
        Open(kFilled);
        Text("txtDescription")->setText("stored by moving");
        Click("cmdForward");
        Text("txtDescription")->setText("never stored");
        editor->close();
        QCOMPARE(ended, 1);
        QCOMPARE(Ini("Descriptions", "Description0"), std::string("stored by moving"));
        QCOMPARE(Ini("Descriptions", "Description1"), std::string(""));
        QVERIFY2(desktop->helpCalls.empty(), "no CloseHelp on this path");
    }

    void clearThenCancelAndClearThenForward() {
        Open(kFilled);
        const std::string before = ReadFile(state->IniFile);
        Click("cmdClear");
        QCOMPARE(Text("txtCommand")->text(), QString());
        QCOMPARE(Text("txtNextRun")->text(), QString("Disabled"));
        QCOMPARE(state->Events.EventCommand[0], std::string("/usr/bin/report"));
        Click("cmdForward");
        QCOMPARE(state->Events.EventCommand[0], std::string());
        QCOMPARE(state->Events.EventFrequency[0], 9);
        QCOMPARE(state->Events.EventDue[0], std::string("Disabled"));
        Click("cmdCancel");
        QCOMPARE(ReadFile(state->IniFile), before + "[Tarvona]\r\nVersion=1.36a\r\n");

        // A name that is not UTF-8 is tried with the bytes the launch run would open.
        Open("[Commands]\r\nCommand0=/tmp/caf\xE9.sh\r\n");
        Click("cmdTest");
        QCOMPARE(shell->calls.back().command, std::string("/tmp/caf\xE9.sh"));
    }

    // A table that appears while the editor shows an empty one (a backup copied back) is not
    // blanked by leaving the editor unedited.
    void aTableRestoredMeanwhileSurvivesExit() {
        for (bool titleBar : {false, true}) {
            Open();
            WriteFile(state->IniFile, kFilled);
            titleBar ? (void)editor->close() : Click("cmdExit");
            QCOMPARE(ended, 1);
            QCOMPARE(Ini("Commands", "Command0"), std::string("/usr/bin/report"));
            QCOMPARE(Ini("Due", "Due0"), std::string("07-04-1999"));
            QCOMPARE(Ini("Commands", "Command1"), std::string(""));  // what it lacked is written
        }
    }

    void dateProposals_data() {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("expected");
        QTest::newRow("weekly over the year end") << 2 << 1999 << 12 << 28 << "01-04-2000";
        QTest::newRow("monthly into a leap February") << 4 << 2000 << 1 << 31 << "02-29-2000";
        QTest::newRow("daily") << 0 << 2026 << 12 << 8 << "12-09-2026";
        QTest::newRow("yearly from February 29") << 6 << 2028 << 2 << 29 << "02-28-2029";
        QTest::newRow("one time") << 7 << 2026 << 12 << 8 << "?";
        QTest::newRow("every boot") << 8 << 2026 << 12 << 8 << "?";
        QTest::newRow("disabled") << 9 << 2026 << 12 << 8 << "Disabled";
    }
    void dateProposals() {
        QFETCH(int, frequency);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(QString, expected);
        Open();
        clock->Set(Date(year, unsigned(month), unsigned(day)));
        Text("txtNextRun")->setText("01-01-2001");
        Pick(frequency);
        QCOMPARE(Text("txtNextRun")->text(), expected);
    }

    void dateCheck_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");  // empty: refused
        QTest::newRow("slashes") << "7/4/1999"
                                 << "07-04-1999";
        QTest::newRow("short year") << "1-5-98"
                                    << "01-05-1998";
        QTest::newRow("question mark") << "?"
                                       << "?";
        QTest::newRow("disabled") << "Disabled"
                                  << "Disabled";
        QTest::newRow("lower-case disabled") << "disabled"
                                             << "";
        QTest::newRow("impossible") << "13-45-2099"
                                    << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void dateCheck() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Open();
        Text("txtNextRun")->setText(typed);
        Click("cmdForward");
        if (stored.isEmpty()) {
            QCOMPARE(desktop->beeps, 1);
            QCOMPARE(Panel(3), QString("1"));
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Text("txtNextRun")));
            QCOMPARE(Text("txtNextRun")->text(), typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
            QCOMPARE(desktop->beeps, 2);  // Alt+N checks the date as the button does
            Click("cmdExit");
            QCOMPARE(ended, 0);
            QVERIFY(!test::Exists(state->IniFile));
        } else {
            QCOMPARE(desktop->beeps, 0);
            QCOMPARE(state->Events.EventDue[0], stored.toStdString());
        }
    }

    void tabOrderAndPrompts() {
        Open();
        Text("txtDescription")->setFocus();
        const QStringList expected = {"Enter the command for this event.",
                                      "Browse for the command line for this event.",
                                      "Browse for a message file for this event.",
                                      "Test launch this event.",
                                      "Select the window style for this event.",
                                      "Select the launch frequency for this event.",
                                      "Display the calendar.",
                                      "Shows the next launch date for this event.",
                                      "Go to next record.",
                                      "Reset this event to the default values.",
                                      "View a list of all events.",
                                      "View the event log.",
                                      "Save all edits and exit.",
                                      "Cancel all edits and exit.",
                                      "Open the help file.",
                                      "Display program information.",
                                      "Type a description for this event."};
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Text("txtDescription")));
        for (const QString& prompt : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(Panel(2), prompt);
            VerifyWhole(2);
        }
        Find<QLabel>("panel1")->setText("12-31-2088");  // the widest date
        VerifyWhole(1);
        editor->GoToRecord(24);
        Button("cmdBack")->setFocus();
        QCOMPARE(Panel(2), QString("Go to previous record."));
        VerifyWhole(2);
        VerifyWhole(3);
    }

    // What a screen reader is told of each box and of the two sign buttons.
    void accessibleNames() {
        Open();
        const std::pair<const char*, const char*> expected[] = {
            {"txtDescription", "Description"},
            {"txtCommand", "Command Line"},
            {"cboStyle", "Window Style"},
            {"cboFrequency", "Frequency"},
            {"txtNextRun", "Next Run (mm-dd-yyyy)"},
            {"cmdBrowse", "Browse"},
            {"cmdCalendar", "Calendar"},
            {"cmdMessage", "Write a message"},
            {"cmdBack", "Previous event"},
            {"cmdForward", "Next event"}};
        for (const auto& [name, text] : expected) {
            QWidget* control = Find<QWidget>(name);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(accessible, name);
            // A drop-down list's name is its value here; its label comes as a relation.
            if (!qobject_cast<QComboBox*>(control))
                QCOMPARE(accessible->text(QAccessible::Name), QString(text));
            QCOMPARE(control->accessibleName(), QString(text));
            QVERIFY2(accessible->text(QAccessible::Description) != QString(text), name);  // once
            if (QString(name).startsWith("cmd")) continue;
            bool labelled = false;
            for (const auto& [other, relation] : accessible->relations(QAccessible::Label))
                labelled |= other->text(QAccessible::Name) == QString(text);
            QVERIFY2(labelled, name);
        }
        QCOMPARE(Find<QLabel>("lblNextRun")->buddy(), Find<QWidget>("txtNextRun"));
        QCOMPARE(Button("cmdBrowse")->toolTip(),
                 QString("Browse for the command line for this event."));
        QCOMPARE(Button("cmdCalendar")->toolTip(), QString("Display the calendar."));
        QCOMPARE(Find<QLabel>("lblCommand")->text(), QString("Command Line"));  // no access key

        // The status bar's prompt is each control's description; the editor is a frame.
        Text("txtCommand")->setFocus();
        QCOMPARE(QAccessible::queryAccessibleInterface(Text("txtCommand"))
                     ->text(QAccessible::Description),
                 Panel(2));
        QCOMPARE(QAccessible::queryAccessibleInterface(editor.get())->role(), QAccessible::Window);
    }

    void rightButtonShowsPopupTopics() {
        Open();
        QTest::mousePress(Find<QLabel>("lblFrequency"), Qt::RightButton);
        QTest::mousePress(Button("cmdTest"), Qt::RightButton);
        QTest::mouseRelease(Button("cmdTest"), Qt::RightButton);
        QCOMPARE(desktop->helpCalls.size(), size_t(2));
        QCOMPARE(desktop->helpCalls[0].data, 1130);
        QCOMPARE(desktop->helpCalls[1].data, 1160);
        QCOMPARE(desktop->helpCalls[1].command, HelpCommand::ContextPopup);
        QVERIFY2(shell->calls.empty(), "a right press launches nothing");
        QTest::keyClick(Button("cmdTest"), Qt::Key_F1, Qt::ShiftModifier);  // the keyboard's way
        QCOMPARE(desktop->helpCalls.size(), size_t(3));
        QCOMPARE(desktop->helpCalls.back().command, HelpCommand::ContextPopup);
        QCOMPARE(desktop->helpCalls.back().data, 1160);
        QTest::keyClick(Find<QComboBox>("cboFrequency"), Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(desktop->helpCalls.size(), size_t(4));
        QCOMPARE(desktop->helpCalls.back().data, 1130);  // its label's topic
        QTest::keyClick(Text("txtCommand"), Qt::Key_F1);
        QCOMPARE(desktop->helpCalls.back().command, HelpCommand::Context);
        QCOMPARE(desktop->helpCalls.back().data, 1075);
        Click("cmdHelp");
        QCOMPARE(desktop->helpCalls.back().command, HelpCommand::Finder);
    }

    void testButton() {
        Open(kFilled);
        const std::string before = ReadFile(state->IniFile);
        Text("txtCommand")->setText("");
        Click("cmdTest");
        QCOMPARE(desktop->beeps, 1);
        QVERIFY(shell->calls.empty());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Text("txtCommand")));

        Text("txtCommand")->setText("   ");
        Click("cmdTest");
        QCOMPARE(shell->calls.size(), size_t(1));  // only the empty text is refused

        shell->failures = {{"notepad.exx", 2}};
        Text("txtCommand")->setText("notepad.exx");
        Find<QComboBox>("cboStyle")->setCurrentIndex(1);
        Click("cmdTest");
        QCOMPARE(shell->calls.back().style, 1);
        QCOMPARE(desktop->messages.size(), size_t(1));
        QCOMPARE(desktop->messages[0].text, std::string("Could not execute notepad.exx."));
        QCOMPARE(desktop->messages[0].caption, std::string("Tarvona"));
        QCOMPARE(desktop->beeps, 2);

        Text("txtCommand")->setText("/tmp/document.txt");
        Click("cmdTest");
        QCOMPARE(desktop->messages.size(), size_t(1));  // a successful open shows nothing
        QCOMPARE(state->Events.EventCommand[0], std::string("/usr/bin/report"));
        Click("cmdCancel");
        QCOMPARE(ReadFile(state->IniFile), before + "[Tarvona]\r\nVersion=1.36a\r\n");
    }

    void browse() {
        Open(kFilled);
        desktop->chosenFiles = {std::string("/usr/bin/gedit"), std::nullopt};
        Click("cmdBrowse");
        QCOMPARE(Text("txtCommand")->text(), QString("/usr/bin/gedit"));
        Click("cmdBrowse");
        QCOMPARE(Text("txtCommand")->text(), QString("/usr/bin/gedit"));  // cancel keeps the box
        QCOMPARE(desktop->fileDialogTitles.front(), std::string("Select Program"));
        QCOMPARE(Find<QComboBox>("cboFrequency")->currentText(), QString("Monthly"));
    }

    void datePicker() {
        Open();
        Pick(9);
        Click("cmdCalendar");
        auto* picker = editor->findChild<frmCalendar*>();
        QVERIFY(picker);
        auto* calendar = picker->findChild<QCalendarWidget*>("CSCalendar");
        QCOMPARE(calendar->selectedDate(), QDate(2026, 12, 8));
        for (const char* month : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"})
            QVERIFY(!QAccessible::queryAccessibleInterface(calendar->findChild<QWidget*>(month))
                         ->text(QAccessible::Name)
                         .isEmpty());
        calendar->setSelectedDate(QDate(2000, 2, 29));
        emit calendar->activated(calendar->selectedDate());
        QCOMPARE(Text("txtNextRun")->text(), QString("02-29-2000"));
        QCOMPARE(Find<QComboBox>("cboFrequency")->currentText(), QString("Disabled"));

        Text("txtNextRun")->setText("?");
        Click("cmdCalendar");
        QTRY_COMPARE(editor->findChildren<frmCalendar*>().size(), qsizetype(1));
        auto* second = editor->findChildren<frmCalendar*>().back();
        second->findChild<QCalendarWidget*>()->setSelectedDate(QDate(2030, 1, 1));
        second->close();
        QCOMPARE(Text("txtNextRun")->text(), QString("?"));  // the close box picks nothing
        QVERIFY(state->PickedDate.empty());
    }

    void messageWindow() {
        Open();
        Text("txtCommand")->setText("keep");
        Click("cmdMessage");
        auto* window = editor->findChild<frmMessage*>();
        QVERIFY(window);
        QTest::mouseClick(window->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        QCOMPARE(Text("txtCommand")->text(), QString("keep"));

        Click("cmdMessage");
        QTRY_COMPARE(editor->findChildren<frmMessage*>().size(), qsizetype(1));
        window = editor->findChildren<frmMessage*>().back();
        window->findChild<QPlainTextEdit*>("txtMessage")->setPlainText("Call the dentist.");
        QTest::mouseClick(window->findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        const QString path = Text("txtCommand")->text();
        QVERIFY(path.startsWith(QString::fromStdString(state->MessageDir + "/msg")));
        QCOMPARE(ReadFile(path.toStdString()), std::string("Call the dentist."));
    }

    // Each window the editor opens blocks the editor, but never the help window.
    void helpStaysUsableOverEveryModalWindow() {
        Open();
        HelpViewer help;
        const QPoint forward =
            Button("cmdForward")->mapTo(editor.get(), Button("cmdForward")->rect().center());
        for (const char* opener :
             {"cmdCalendar", "cmdMessage", "cmdViewAll", "cmdViewLog", "cmdAbout"}) {
            Click(opener);
            auto* window = editor->findChild<QDialog*>();
            QVERIFY2(window, opener);
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QTest::mouseClick(editor->windowHandle(), Qt::LeftButton, {}, forward);
            QCOMPARE(Panel(3), QString("1"));  // the editor takes no input

            help.ShowTopic(kHelpFile, 1075);
            QVERIFY(QTest::qWaitForWindowExposed(help.window()));
            QVERIFY(ClickHelpLink(help.window(), "contents"));
            QVERIFY2(help.window()->source() == HelpDocument::ContentsAddress(), opener);
            window->close();
            QTRY_VERIFY(!editor->findChild<QDialog*>());
        }
        QTest::mouseClick(editor->windowHandle(), Qt::LeftButton, {}, forward);
        QCOMPARE(Panel(3), QString("2"));  // and takes it again once they are closed
    }

    // Help opens beside the window it explains, and Esc or Ctrl+W closes it.
    void helpBesideTheEditorClosedByKeys() {
        Open();
        for (const QKeyCombination key :
             {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::ControlModifier, Qt::Key_W)}) {
            editor->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(editor.get()));
            HelpViewer help;
            help.ShowTopic(kHelpFile, 1075);
            QVERIFY(QTest::qWaitForWindowExposed(help.window()));
            // It covers no more of the editor than the screen's room to either side forces.
            const QRect screen = editor->screen()->availableGeometry();
            const QRect beside = editor->frameGeometry();
            const int width = help.window()->frameGeometry().width();
            const int forced = std::max(0, std::min(width - (screen.right() - beside.right()),
                                                    width - (beside.left() - screen.left())));
            const QRect covered = help.window()->frameGeometry() & beside;
            QCOMPARE(covered.isEmpty() ? 0 : covered.width(), forced);
            // Narrowed to the room there is rather than covering it, down to half its width.
            QVERIFY(help.window()->width() >= Px(7200) / 2);
            if (std::max(screen.right() - beside.right(), beside.left() - screen.left()) >=
                Px(7200) / 2)
                QCOMPARE(forced, 0);
            QTest::keyClick(help.window(), key.key(), key.keyboardModifiers());
            QTRY_VERIFY(!help.window());
        }
    }

    void viewAllStoresWithoutCheckAndPicks() {
        Open(kFilled);
        Text("txtNextRun")->setText("not a date");
        Text("txtDescription")->setText("edited");
        Click("cmdViewAll");
        QCOMPARE(desktop->beeps, 0);
        QCOMPARE(state->Events.EventDue[0], std::string("not a date"));
        auto* list = editor->findChild<frmList*>();
        QVERIFY(list);
        auto* lines = list->findChild<QListWidget*>("lstEvents");
        QCOMPARE(lines->count(), 25);
        QVERIFY(lines->item(0)->text().startsWith("not a date\tMonthly   \tMax.     edited"));
        lines->setCurrentRow(24);
        emit lines->itemDoubleClicked(lines->item(24));
        QCOMPARE(Panel(3), QString("25"));
        QVERIFY(!Button("cmdForward")->isEnabled());
        QVERIFY(Button("cmdBack")->isEnabled());
        QCOMPARE(Text("txtCommand")->text(), QString("/bin/last"));
        QCOMPARE(Text("txtCommand")->selectedText(), QString("/bin/last"));

        Click("cmdViewAll");
        QTRY_COMPARE(editor->findChildren<frmList*>().size(), qsizetype(1));
        list = editor->findChildren<frmList*>().back();
        lines = list->findChild<QListWidget*>("lstEvents");
        lines->setCurrentRow(0);
        emit lines->itemDoubleClicked(lines->item(0));
        QCOMPARE(Panel(3), QString("1"));
        QVERIFY(!Button("cmdBack")->isEnabled());
        QCOMPARE(Text("txtDescription")->text(), QString("edited"));
    }
};

QTEST_MAIN(EditorTest)
#include "frmTarvona_test.moc"
