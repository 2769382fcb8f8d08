// On a Wayland compositor (run by tests/support/with_weston.sh): a compositor's request to
// maximise a fixed window never ends the program nor loses an edit.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "data_folder.h"
#include "event_table.h"
#include "frmAbout.h"
#include "frmCalendar.h"
#include "frmList.h"
#include "frmLog.h"
#include "frmMessage.h"
#include "frmTarvona.h"
#include "ini_file.h"
#include "program_state.h"
#include "qt_desktop.h"
#include "test_support.h"

using namespace tarvona;
using namespace tarvona::test;

class WaylandTest : public QObject {
    Q_OBJECT

    // Asks the compositor to maximise the shown window, as its title bar's button would, and
    // waits for the compositor's answer to have been applied.
    static void Maximise(QWidget* window) {
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QSize before = window->size();
        window->setWindowState(Qt::WindowMaximized);
        QTRY_VERIFY(window->size() != before);
        QVERIFY(window->isVisible());
    }

private slots:
    void initTestCase() { QVERIFY(QGuiApplication::platformName().startsWith("wayland")); }

    void theEditorSurvivesAMaximiseWithItsEdits() {
        TempDir dir;
        ProgramState state;
        SetUpPaths(state, dir.path());
        std::filesystem::create_directory(state.MessageDir);
        LoadEvents(state);
        ScriptedDesktop desktop;
        RecordingShell shell;
        FixedClock clock(Date(2026, 12, 8));
        int ended = 0;
        frmTarvona editor(state, desktop, shell, clock, [&] { ++ended; });
        editor.show();
        editor.findChild<QLineEdit*>("txtDescription")->setText("kept");
        Maximise(&editor);
        editor.setWindowState(Qt::WindowFullScreen);
        QTRY_VERIFY(editor.isFullScreen());
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
        QCOMPARE(ended, 1);
        QCOMPARE(IniFile(state.IniFile).ReadString("Descriptions", "Description0", ""),
                 std::string("kept"));
    }

    void everyChildWindowSurvivesAMaximise() {
        TempDir dir;
        ProgramState state;
        SetUpPaths(state, dir.path());
        LoadEvents(state);
        ScriptedDesktop desktop;
        FixedClock clock(Date(2026, 12, 8));
        const std::vector<std::function<QWidget*()>> windows = {
            [&] { return new frmList(state, desktop, [](int) {}); },
            [&] { return new frmLog(state, desktop, [] {}); },
            [&] { return new frmCalendar(state, desktop, clock); },
            [&] { return new frmMessage(state, desktop, clock); },
            [&] { return new frmAbout(state, desktop); },
        };
        for (const auto& make : windows) {
            std::unique_ptr<QWidget> window(make());
            window->show();
            Maximise(window.get());
        }
    }

    // A box over the window that asks keeps the title bar that carries its caption and close
    // box, and still holds that window back.
    void aBoxOverItsWindowHasATitleBar() {
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QApplication::setActiveWindow(&owner);  // the headless compositor has no seat to do it
        QMargins frame;
        bool holdsOwnerBack = false;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                if (QTest::qWaitForWindowExposed(box)) {
                    QTest::qWait(200);  // the decoration follows the first configure
                    frame = box->windowHandle()->frameMargins();
                    holdsOwnerBack =
                        box->parentWidget() == &owner && box->windowModality() == Qt::WindowModal;
                }
                box->button(QMessageBox::Ok)->click();
            },
            Qt::QueuedConnection);
        QtDesktop desktop;
        desktop.messageBox("Unable to write message file.", "Error", Buttons::Ok);
        QVERIFY2(frame.top() > 0, "no title bar");
        QVERIFY(holdsOwnerBack);
    }

    // The question after a failed launch run, as the desktop asks it, maximised while it waits.
    void theQuestionSurvivesAMaximise() {
        QtDesktop desktop;
        QMetaObject::invokeMethod(
            qApp,
            [] {
                auto* box = qApp->findChild<QMessageBox*>();
                for (QWidget* window : QApplication::topLevelWidgets())
                    if (auto* found = qobject_cast<QMessageBox*>(window)) box = found;
                QVERIFY(box);
                Maximise(box);
                box->button(QMessageBox::No)->click();
            },
            Qt::QueuedConnection);
        QCOMPARE(desktop.messageBox("Errors occurred while launching some applications. Review "
                                    "log file?",
                                    "Tarvona", Buttons::YesNo),
                 Answer::No);
    }
};

QTEST_MAIN(WaylandTest)
#include "wayland_test.moc"
