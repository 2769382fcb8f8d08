#include "frmLog.h"

#include <sys/stat.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "data_folder.h"
#include "error_log.h"
#include "program_state.h"
#include "startup.h"
#include "test_support.h"

using namespace tarvona;
using namespace tarvona::test;

class LogViewerTest : public QObject {
    Q_OBJECT

    struct Setup {
        TempDir dir;
        ProgramState state;
        ScriptedDesktop desktop;
        // No window may ask a question that the test did not script.
        ~Setup() { QVERIFY(desktop.unexpected.empty()); }
        int ended = 0;
        Setup() { SetUpPaths(state, dir.path()); }
        std::string log() const { return dir / "Tarvona.log"; }
    };

    static QString Shown(frmLog& viewer) {
        return viewer.findChild<QPlainTextEdit*>("txtLog")->toPlainText();
    }

private slots:
    void afterALaunchRunWithFailures() {
        Setup s;
        const LocalTime now{Date(2026, 12, 8), 7, 0, 0};
        std::string entries;
        for (int i = 0; i < 60; ++i)
            entries +=
                ErrorLog::FormatEntry(2, "File was not found.", "/bin/x" + std::to_string(i), now);
        WriteFile(s.log(), entries);
        s.state.LaunchErrors = true;
        frmLog viewer(s.state, s.desktop, [&] { ++s.ended; });
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCOMPARE(viewer.windowTitle(), QString("Event Error Log"));
        auto* text = viewer.findChild<QPlainTextEdit*>("txtLog");
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(text->toPlainText(), QString::fromStdString(entries).replace("\r\n", "\n"));
        QCOMPARE(text->textCursor().position(), text->document()->characterCount() - 1);
        QCOMPARE(text->verticalScrollBar()->value(), text->verticalScrollBar()->maximum());
        QTRY_COMPARE(QApplication::focusWidget(),
                     static_cast<QWidget*>(viewer.findChild<QPushButton*>("cmdOkay")));
        QVERIFY(viewer.findChild<QPushButton*>("cmdStart")->isEnabled());

        QTest::mouseClick(viewer.findChild<QPushButton*>("cmdHelp"), Qt::LeftButton);
        QCOMPARE(s.desktop.helpCalls.back().data, 1060);
        QTest::mouseClick(viewer.findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        QCOMPARE(s.ended, 1);
        QCOMPARE(s.desktop.helpCalls.back().command, HelpCommand::Quit);
    }

    void fromTheEditorRunIsDisabledAndClosingEndsNothing() {
        Setup s;
        WriteFile(s.log(), "line\r\n");
        frmLog viewer(s.state, s.desktop, [&] { ++s.ended; });
        viewer.show();
        QVERIFY(!viewer.findChild<QPushButton*>("cmdStart")->isEnabled());
        viewer.close();
        QCOMPARE(s.ended, 0);
        QVERIFY(s.desktop.helpCalls.empty());
    }

    void runStartsTheEditorOrSaysItCannot() {
        Setup s;
        s.state.LaunchErrors = true;
        s.state.ProgramFile = "/usr/bin/tarvona";  // the running program, whatever its name
        frmLog viewer(s.state, s.desktop, [&] { ++s.ended; });
        viewer.show();
        QTest::mouseClick(viewer.findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        QCOMPARE(s.desktop.started, std::vector<std::string>{"/usr/bin/tarvona"});
        QCOMPARE(s.ended, 1);

        Setup failing;
        failing.state.LaunchErrors = true;
        failing.desktop.startSucceeds = false;
        frmLog second(failing.state, failing.desktop, [&] { ++failing.ended; });
        second.show();
        QTest::mouseClick(second.findChild<QPushButton*>("cmdStart"), Qt::LeftButton);
        QCOMPARE(failing.desktop.beeps, 1);
        QCOMPARE(failing.desktop.messages.size(), size_t(1));
        QCOMPARE(failing.desktop.messages[0].text, std::string("Unable to launch Tarvona."));
        QCOMPARE(failing.desktop.messages[0].caption, std::string("Tarvona"));
        QVERIFY(second.isVisible());
        QCOMPARE(failing.ended, 0);
        second.close();
        QCOMPARE(failing.ended, 1);
    }

    void longLogShowsItsNewestPartFromALineStart() {
        Setup s;
        std::string bytes;
        for (int i = 0; bytes.size() < 40000; ++i) bytes += "entry " + std::to_string(i) + "\r\n";
        WriteFile(s.log(), bytes);
        frmLog viewer(s.state, s.desktop, nullptr);
        const QString shown = Shown(viewer);
        QVERIFY(shown.endsWith(
            QString::fromStdString(bytes.substr(bytes.size() - 200)).replace("\r\n", "\n")));
        QVERIFY(shown.startsWith("entry "));
        const qsizetype tail = frmLog::ReadLogTail(*s.state.Data).size();
        QVERIFY(tail <= 30000);
        QVERIFY(tail > 29980);

        // A tail that already starts at a line keeps its first line.
        std::string exact = "x\r\n" + std::string(29998, 'y') + "\r\n";
        WriteFile(s.log(), exact);
        QCOMPARE(frmLog::ReadLogTail(*s.state.Data).size(), qsizetype(30000));

        // A tail with no line break at all is still shown.
        WriteFile(s.log(), std::string(40000, 'z'));
        QCOMPARE(frmLog::ReadLogTail(*s.state.Data), QString(30000, 'z'));
    }

    void missingEmptyBinaryOrUnreadableLogs() {
        Setup s;
        QCOMPARE(Shown(*std::make_unique<frmLog>(s.state, s.desktop, nullptr)), QString());
        WriteFile(s.log(), "");
        QCOMPARE(Shown(*std::make_unique<frmLog>(s.state, s.desktop, nullptr)), QString());
        WriteFile(s.log(), std::string("\x00\xff\x01garbage\r\n", 12));
        QVERIFY(Shown(*std::make_unique<frmLog>(s.state, s.desktop, nullptr)).contains("garbage"));
        std::filesystem::remove(s.log());
        std::filesystem::create_directory(s.log());
        QCOMPARE(Shown(*std::make_unique<frmLog>(s.state, s.desktop, nullptr)), QString());

        // Special files are never read: neither a FIFO nor a link to an endless device.
        std::filesystem::remove(s.log());
        QCOMPARE(::mkfifo(s.log().c_str(), 0644), 0);
        QCOMPARE(Shown(*std::make_unique<frmLog>(s.state, s.desktop, nullptr)), QString());
        std::filesystem::remove(s.log());
        std::filesystem::create_symlink("/dev/zero", s.log());
        QCOMPARE(Shown(*std::make_unique<frmLog>(s.state, s.desktop, nullptr)), QString());
    }
};

QTEST_MAIN(LogViewerTest)
#include "frmLog_test.moc"
