// The about box, the splash window, the date picker's keys and the help window.
#include "frmAbout.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>
#include <cmath>

#include "frmCalendar.h"
#include "frmSplash.h"
#include "geometry.h"
#include "help.h"
#include "help_links.h"
#include "program_state.h"
#include "qt_desktop.h"
#include "test_support.h"

using namespace tarvona;
using namespace tarvona::test;

class SmallWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void aboutBox() {
        ProgramState state;
        ScriptedDesktop desktop;
        frmAbout about(state, desktop);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QString("About Tarvona"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(), QString("Tarvona 1.36a (32 bit)"));
        QVERIFY(!about.findChild<QLabel*>("lblCopyright")->text().isEmpty());
        auto* label = about.findChild<QLabel*>("lblVersion");
        QVERIFY(label->geometry().right() < about.width());
        QCOMPARE(label->x(), Px(2370));
        // The outer frame, not the inner area, is centred, once the frame is known.
        const QPoint middle = about.screen()->geometry().center();
        QTRY_VERIFY2((about.frameGeometry().center() - middle).manhattanLength() <= 2,
                     qPrintable(QString("frame centre %1,%2")
                                    .arg(about.frameGeometry().center().x())
                                    .arg(about.frameGeometry().center().y())));
        QVERIFY(about.frameGeometry() != about.geometry());
        QTest::mouseClick(about.findChild<QPushButton*>("cmdHelp"), Qt::LeftButton);
        QCOMPARE(desktop.helpCalls.size(), size_t(1));
        QCOMPARE(desktop.helpCalls[0].command, HelpCommand::Context);
        QCOMPARE(desktop.helpCalls[0].data, 1090);
        QTest::keyClick(about.findChild<QPushButton*>("cmdOkay"), Qt::Key_F1);
        QCOMPARE(desktop.helpCalls.size(), size_t(2));
        QTest::mouseClick(about.findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }

    void splashIsACaptionMinimised() {
        frmSplash splash;
        splash.ShowMinimized();
        QCOMPARE(splash.windowTitle(), QString("Tarvona"));
        QVERIFY(splash.windowState() & Qt::WindowMinimized);
        QVERIFY(splash.children().isEmpty() || splash.findChildren<QWidget*>().isEmpty());
    }

    void pickerEnterStoresTheDay() {
        ProgramState state;
        ScriptedDesktop desktop;
        FixedClock clock(Date(2026, 12, 8), 23, 59, 0);
        frmCalendar picker(state, desktop, clock);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QCOMPARE(picker.windowTitle(), QString("Select the Event Date"));
        auto* calendar = picker.findChild<QCalendarWidget*>("CSCalendar");
        // The focused table of days is named; Tab goes round the month bar's buttons as well.
        calendar->setFocus();
        QCOMPARE(QApplication::focusWidget()->accessibleName(), QString("Event date"));
        QSet<QString> reached;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.insert(QApplication::focusWidget()->objectName());
        }
        QVERIFY2(reached.contains("qt_calendar_monthbutton") &&
                     reached.contains("qt_calendar_yearbutton"),
                 qPrintable(QStringList(reached.begin(), reached.end()).join(' ')));
        calendar->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(state.PickedDate, std::string("12-08-2026"));
        QVERIFY(!picker.isVisible());
    }

    // Weekend days stay readable on light and on dark cells (WCAG contrast of 4.5 or more).
    void pickerWeekendsAreReadable_data() {
        QTest::addColumn<QColor>("cells");
        QTest::newRow("light") << QColor(Qt::white);
        QTest::newRow("dark") << QColor(30, 30, 30);
        QTest::newRow("dark grey") << QColor(66, 66, 66);
    }
    void pickerWeekendsAreReadable() {
        QFETCH(QColor, cells);
        const QPalette before = QApplication::palette();
        QPalette palette = before;
        palette.setColor(QPalette::Base, cells);
        palette.setColor(QPalette::Window, cells);
        QApplication::setPalette(palette);
        ProgramState state;
        ScriptedDesktop desktop;
        FixedClock clock(Date(2026, 12, 8));
        frmCalendar picker(state, desktop, clock);
        auto* calendar = picker.findChild<QCalendarWidget*>("CSCalendar");
        const QColor weekend = calendar->weekdayTextFormat(Qt::Saturday).foreground().color();
        QApplication::setPalette(before);
        auto luminance = [](const QColor& colour) {
            auto linear = [](double c) {
                return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
                   0.0722 * linear(colour.blueF());
        };
        const double a = luminance(weekend), b = luminance(cells);
        const double contrast = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
        QVERIFY2(contrast >= 4.5, qPrintable(QString("contrast %1").arg(contrast)));
        QCOMPARE(calendar->weekdayTextFormat(Qt::Sunday).foreground().color(), weekend);
    }

    // Every topic a window, a label or a button asks for is there; the contents link every
    // topic, and every topic links back to the contents, by real clicks.
    // Shift+F1 has no pointer to follow: the pop-up opens below the focused control.
    void aKeyboardPopupOpensAtTheFocus() {
        QWidget window;
        auto* box = new QLineEdit(&window);
        window.setGeometry(400, 300, 200, 100);
        box->setGeometry(20, 40, 100, 24);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        QCursor::setPos(0, 0);
        HelpViewer viewer;
        viewer.ShowPopup(kHelpFile, 1160);
        QWidget* popup = viewer.popup();
        QVERIFY(popup);
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        const QPoint below = box->mapToGlobal(QPoint(0, box->height()));
        QVERIFY2(std::abs(popup->y() - below.y()) < 30 && popup->geometry().right() > below.x(),
                 qPrintable(QString("at %1,%2").arg(popup->x()).arg(popup->y())));

        // A screen reader finds it among the application's windows and reads it as it takes the
        // focus; Esc gives the focus back.
        QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
        QVERIFY(application->indexOfChild(QAccessible::queryAccessibleInterface(popup)) >= 0);
        QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == popup);
        QAccessibleInterface* text =
            QAccessible::queryAccessibleInterface(QApplication::focusWidget());
        QCOMPARE(text->text(QAccessible::Name), QString("Test"));
        QVERIFY(text->text(QAccessible::Description).startsWith("Opens the command line now"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!viewer.popup());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(box));
    }

    void helpPagesLinkEachOther() {
        QtDesktop desktop;
        HelpViewer& viewer = desktop.helpViewer();
        const QList<int> topics = HelpDocument::ForFile(kHelpFile).Topics();
        for (int topic :
             {10,   1035, 1040, 1050, 1060, 1075, 1090, 1100, 1110, 1120, 1130, 1140, 1150,
              1160, 1170, 1180, 1190, 1200, 1210, 1220, 1225, 1227, 1230, 1240, 1250})
            QVERIFY2(topics.contains(topic), qPrintable(QString::number(topic)));

        desktop.help(kHelpFile, HelpCommand::Finder, 10);
        QTextBrowser* window = viewer.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(window->toPlainText().contains("Tarvona Help"));
        QStringList expected;
        for (int topic : topics) expected.append(QString("topic%1").arg(topic));
        QStringList links = HelpLinks(window);
        links.sort();
        expected.sort();
        QCOMPARE(links, expected);

        for (int topic : topics) {
            desktop.help(kHelpFile, HelpCommand::Context, topic);
            QCOMPARE(window->source(), HelpDocument::TopicAddress(topic));
            QVERIFY2(ClickHelpLink(window, "contents"), qPrintable(QString::number(topic)));
            QCOMPARE(window->source(), HelpDocument::ContentsAddress());
            QVERIFY(ClickHelpLink(window, QString("topic%1").arg(topic)));
            QCOMPARE(window->source(), HelpDocument::TopicAddress(topic));
        }
        desktop.help(kHelpFile, HelpCommand::Context, 4711);
        QVERIFY(window->toPlainText().contains("4711 is missing"));
        QVERIFY(ClickHelpLink(window, "contents"));
        CloseHelp(desktop);
        QTRY_VERIFY(!viewer.window());
        CloseHelp(desktop);  // harmless when none is open
    }
};

QTEST_MAIN(SmallWindowsTest)
#include "frmAbout_test.moc"
