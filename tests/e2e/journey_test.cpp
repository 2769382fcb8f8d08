// A user's whole journey: write a message in the editor, make it a One Time event due today,
// Exit; then the real binary's launch run opens it, uses the event up, and the next start
// deletes the file.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "data_folder.h"
#include "e2e_support.h"
#include "event_table.h"
#include "frmMessage.h"
#include "frmTarvona.h"
#include "ini_file.h"
#include "launch_run.h"
#include "program_state.h"
#include "shell.h"
#include "startup.h"
#include "temp_list.h"
#include "xdg_desktop.h"

using namespace tarvona;
using namespace tarvona::test;

class JourneyTest : public QObject {
    Q_OBJECT

private slots:
    void messageFromEditorToLaunchRun() {
        InstalledProgram program;
        XdgDesktop xdg;
        ProgramState state;
        ScriptedDesktop desktop;
        GioShell shell;
        FixedClock clock(Date(2026, 12, 8));
        QVERIFY(SetUpPaths(state, program.folder()));
        StartUp(state, desktop, clock);
        int ended = 0;
        frmTarvona editor(state, desktop, shell, clock, [&] { ++ended; });
        editor.show();

        QTest::mouseClick(editor.findChild<QPushButton*>("cmdMessage"), Qt::LeftButton);
        auto* window = editor.findChild<frmMessage*>();
        QVERIFY(window);
        window->findChild<QPlainTextEdit*>("txtMessage")->setPlainText("Water the plants.");
        QTest::mouseClick(window->findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        const std::string message =
            editor.findChild<QLineEdit*>("txtCommand")->text().toStdString();
        QVERIFY(IsMessageFile(message, state.MessageDir));

        auto* frequency = editor.findChild<QComboBox*>("cboFrequency");
        frequency->setCurrentIndex(kOneTime);
        emit frequency->activated(kOneTime);
        editor.findChild<QLineEdit*>("txtNextRun")->setText("12-08-2026");
        editor.findChild<QLineEdit*>("txtDescription")->setText("Plants");
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
        QCOMPARE(ended, 1);
        QVERIFY(desktop.unexpected.empty());

        ProgramRun run = program.Run({"/start"}, xdg.Environment(), "2026-12-08");
        QCOMPARE(run.status, 0);
        QVERIFY(WaitFor([&] { return xdg.RecordedLines().size() == 1; }));
        QCOMPARE(xdg.RecordedLines()[0], message);
        QCOMPARE(ReadFile(program / "Tarvona.tmp"), message + "\r\n");
        IniFile ini(program / "Tarvona.ini");
        QCOMPARE(ini.ReadString("Commands", "Command0", "x"), std::string());
        QCOMPARE(ini.ReadString("Due", "Due0", "x"), std::string("Disabled"));
        QVERIFY(Exists(message));

        // A day later, long after any viewer has read the message (the file system's clock is
        // not faked: the list is dated by the faked day it was written).
        using namespace std::chrono;
        std::filesystem::last_write_time(
            program / "Tarvona.tmp",
            file_clock::from_sys(sys_seconds{sys_days{December / 8 / 2026} + hours(10)}));
        QCOMPARE(program.Run({"/start"}, xdg.Environment(), "2026-12-09").status, 0);
        QVERIFY(!Exists(message));
        QVERIFY(!Exists(program / "Tarvona.tmp"));
    }
};

QTEST_MAIN(JourneyTest)
#include "journey_test.moc"
