#include "frmList.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QtTest>

#include "event_table.h"
#include "program_state.h"
#include "startup.h"
#include "test_support.h"

using namespace tarvona;
using namespace tarvona::test;

class EventListTest : public QObject {
    Q_OBJECT

    static ProgramState Table() {
        ProgramState state;
        state.Events.EventDescription.assign(25, "");
        state.Events.EventCommand.assign(25, "");
        state.Events.EventRunStyle.assign(25, 0);
        state.Events.EventFrequency.assign(25, 9);
        state.Events.EventDue.assign(25, "Disabled");
        return state;
    }

private slots:
    void lines_data() {
        QTest::addColumn<QString>("due");
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("line");
        QTest::newRow("free") << "Disabled" << 9 << 0 << ""
                              << "Disabled  \tDisabled  \tNormal   ";
        QTest::newRow("one time") << "?" << 7 << 1 << "Dentist"
                                  << "?         \tOne Time\tMin.     Dentist";
        QTest::newRow("every boot") << "?" << 8 << 2 << "Mail"
                                    << "?         \tEvery Boot\tMax.     Mail";
        QTest::newRow("dated") << "07-04-1999" << 5 << 0 << "  \tindented"
                               << "07-04-1999\tE/O Month \tNormal     \tindented";
        QTest::newRow("odd codes") << "disabled" << 42 << -1 << "x"
                                   << "disabled\t\tx";
        QTest::newRow("negative frequency") << "01-01-2000" << -3 << 7 << "y"
                                            << "01-01-2000\t\ty";
    }
    void lines() {
        QFETCH(QString, due);
        QFETCH(int, frequency);
        QFETCH(int, style);
        QFETCH(QString, description);
        QFETCH(QString, line);
        ProgramState state = Table();
        state.Events.EventDue[3] = due.toStdString();
        state.Events.EventFrequency[3] = frequency;
        state.Events.EventRunStyle[3] = style;
        state.Events.EventDescription[3] = description.toStdString();
        QCOMPARE(QString::fromStdString(EventListLine(state.Events, 3)), line);
    }

    void windowShowsEveryLineAndPicksOnDoubleClick() {
        ProgramState state = Table();
        state.Events.EventDescription[24] = "last";
        ScriptedDesktop desktop;
        std::vector<int> picked;
        frmList list(state, desktop, [&](int slot) { picked.push_back(slot); });
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(list.windowTitle(), QString("List Events"));
        auto* lines = list.findChild<QListWidget*>("lstEvents");
        QCOMPARE(lines->count(), 25);
        QVERIFY(lines->selectedItems().isEmpty());
        QVERIFY(lines->font().fixedPitch());
        for (int i = 0; i < 25; ++i)
            QCOMPARE(lines->item(i)->text(),
                     QString::fromStdString(EventListLine(state.Events, i)));
        QCOMPARE(QAccessible::queryAccessibleInterface(lines)->child(24)->text(QAccessible::Name),
                 QString("Disabled, Disabled, Normal, last"));
        for (const char* heading : {"lblRun", "lblFrequency", "lblWindow", "lblDesc"})
            QVERIFY(list.findChild<QLabel*>(heading));

        // Focused, nothing is current until the keyboard moves.
        list.activateWindow();
        lines->setFocus();
        QTRY_VERIFY(lines->hasFocus());
        QVERIFY(!lines->currentIndex().isValid());
        QTest::keyClick(lines, Qt::Key_Down);
        QCOMPARE(lines->currentRow(), 0);
        lines->setCurrentRow(-1);

        emit lines->itemDoubleClicked(nullptr);  // nothing selected yet
        QVERIFY(picked.empty());
        QVERIFY(list.isVisible());
        lines->setCurrentRow(24);
        emit lines->itemDoubleClicked(lines->item(24));
        QCOMPARE(picked, std::vector<int>{24});
        QVERIFY(!list.isVisible());
    }

    // Outer size less 375 by 600 twips, at the first show, after a resize and after maximise and
    // restore, and always inside the window.
    void listFollowsTheWindow() {
        ProgramState state = Table();
        ScriptedDesktop desktop;
        frmList list(state, desktop, nullptr);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto* lines = list.findChild<QListWidget*>("lstEvents");
        auto verifyRule = [&] {
            QTRY_COMPARE(lines->height(), list.frameGeometry().height() - 40);
            QCOMPARE(lines->width(), list.frameGeometry().width() - 25);
            QVERIFY(list.rect().contains(lines->geometry()));
        };
        QVERIFY(list.frameGeometry().size() != list.size());  // the frame is counted
        verifyRule();
        const QSize first = lines->size();
        list.resize(800, 700);
        verifyRule();
        const QSize before = lines->size();
        list.resize(10, 10);  // too small: the list keeps its size
        QTRY_COMPARE(lines->size(), before);
        list.resize(458, 307);
        list.showMaximized();
        QTRY_VERIFY(list.isMaximized());
        verifyRule();
        list.showNormal();
        QTRY_COMPARE(lines->size(), first);
        QVERIFY(list.rect().contains(lines->geometry()));
    }

    // Each heading's first letter stands over its column's first letter, whatever the font.
    void headingsStandOverTheirColumns() {
        ProgramState state = Table();
        state.Events.EventDescription[0] = "Desc";
        ScriptedDesktop desktop;
        frmList list(state, desktop, nullptr);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto* lines = list.findChild<QListWidget*>("lstEvents");
        const QImage image = list.grab().toImage();
        const QRect row = QRect(lines->viewport()->mapTo(&list, QPoint(0, 0)),
                                lines->visualItemRect(lines->item(0)).size());
        // The first dark pixel at or right of x within the rows of band.
        auto firstInk = [&](int from, const QRect& band) {
            for (int x = qMax(0, from); x < from + 40 && x < image.width(); ++x)
                for (int y = band.top(); y <= band.bottom(); ++y)
                    if (qGray(image.pixel(x, y)) < 128) return x;
            return -1;
        };
        for (const char* name : {"lblRun", "lblFrequency", "lblWindow", "lblDesc"}) {
            const QLabel* heading = list.findChild<QLabel*>(name);
            const int headingInk = firstInk(heading->x(), heading->geometry());
            const int columnInk = firstInk(heading->x() - 12, row);
            QVERIFY2(headingInk >= 0 && columnInk >= 0, name);
            QVERIFY2(qAbs(headingInk - columnInk) <= 2,
                     qPrintable(QString("%1 at %2, its column at %3")
                                    .arg(name)
                                    .arg(headingInk)
                                    .arg(columnInk)));
        }
    }
};

QTEST_MAIN(EventListTest)
#include "frmList_test.moc"
