// The windows in the user's language: run under LANG=de_DE.UTF-8 the texts are German, under
// fr_FR.UTF-8 French, under LANG=C exactly English. The same cases serve every run.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>
#include <filesystem>

#include "data_folder.h"
#include "event_table.h"
#include "frmAbout.h"
#include "frmCalendar.h"
#include "frmList.h"
#include "frmLog.h"
#include "frmMessage.h"
#include "frmTarvona.h"
#include "help.h"
#include "program_state.h"
#include "qt_desktop.h"
#include "test_support.h"
#include "texts.h"

using namespace tarvona;
using namespace tarvona::test;

// An empty table in a folder of its own, with the stand-ins the windows are given.
struct Table {
    TempDir dir;
    ProgramState state;
    ScriptedDesktop scripted;
    RecordingShell shell;
    FixedClock clock{Date(2026, 12, 8)};
    Table() {
        SetUpPaths(state, dir.path());
        std::filesystem::create_directory(state.MessageDir);
        LoadEvents(state);
    }
};

class TranslationTest : public QObject {
    Q_OBJECT

    QLocale::Language language = QLocale::C;
    QString Expected(const char* english, const char* german, const char* french) const {
        return QString::fromUtf8(language == QLocale::German   ? german
                                 : language == QLocale::French ? french
                                                               : english);
    }

private slots:
    void initTestCase() {
        LoadTranslations(*qApp);
        language = QLocale().language();
        // The run means it: German for LANG=de_DE, French for fr_FR, the C locale over a
        // LANGUAGE list, English (not a mix) for a language without a catalogue.
        const bool inC =
            qEnvironmentVariable("LC_ALL") == "C" || qEnvironmentVariable("LANG") == "C";
        const QString lang = qEnvironmentVariable("LANG");
        QCOMPARE(language, inC                     ? QLocale::C
                           : lang.startsWith("de") ? QLocale::German
                           : lang.startsWith("fr") ? QLocale::French
                                                   : QLocale::English);
    }

    void windowsAndTheirTexts() {
        Table table;
        auto& [dir, state, scripted, shell, clock] = table;
        frmTarvona editor(state, scripted, shell, clock, [] {});
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCOMPARE(editor.findChild<QLabel*>("lblCommand")->text(),
                 Expected("Command Line", "Befehlszeile", "Ligne de commande"));
        QCOMPARE(editor.findChild<QPushButton*>("cmdExit")->text(),
                 Expected("E&xit", "&Beenden", "&Quitter"));
        editor.findChild<QLineEdit*>("txtCommand")->setFocus();
        QTRY_COMPARE(editor.findChild<QLabel*>("panel2")->text(),
                     Expected("Enter the command for this event.",
                              "Geben Sie den Befehl für dieses Ereignis ein.",
                              "Saisissez la commande de cet événement."));

        // Dates as the language writes them, typed, shown and marked so; the file stays month
        // first with its English marks.
        QCOMPARE(editor.findChild<QLabel*>("lblNextRun")->text(),
                 Expected("Next Run (mm-dd-yyyy)", "Nächster Start (TT.MM.JJJJ)",
                          "Prochaine date (jj/mm/aaaa)"));
        QCOMPARE(editor.findChild<QLabel*>("panel1")->text(),
                 Expected("12-08-2026", "08.12.2026", "08/12/2026"));
        auto* nextRun = editor.findChild<QLineEdit*>("txtNextRun");
        auto* back = editor.findChild<QPushButton*>("cmdBack");
        auto* forward = editor.findChild<QPushButton*>("cmdForward");
        nextRun->setText(Expected("12-24-2026", "24.12.2026", "24/12/2026"));
        QTest::mouseClick(forward, Qt::LeftButton);
        QCOMPARE(state.Events.EventDue[0], std::string("12-24-2026"));
        QCOMPARE(nextRun->text(), Expected("Disabled", "Deaktiviert", "Désactivé"));  // slot 1
        QTest::mouseClick(forward, Qt::LeftButton);
        QCOMPARE(state.Events.EventDue[1], std::string("Disabled"));
        QTest::mouseClick(back, Qt::LeftButton);
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(nextRun->text(), Expected("12-24-2026", "24.12.2026", "24/12/2026"));

        frmAbout about(state, scripted);
        QCOMPARE(about.windowTitle(),
                 Expected("About Tarvona", "Über Tarvona", "À propos de Tarvona"));

        // A list line's words, padded alike so that its columns still line up.
        state.Events.EventDue[0] = "07-04-2027";
        state.Events.EventFrequency[0] = kEveryOtherMonth;
        QCOMPARE(
            QString::fromStdString(EventListLine(
                state.Events, 0,
                [](const std::string& english) { return Tr(english).toStdString(); },
                Tr("mm-dd-yyyy").toStdString())),
            Expected("07-04-2027\tE/O Month \tNormal   ", "04.07.2027\tJd. 2. Monat\tNormal   ",
                     "04/07/2027\t1 mois/2  \tNormale  "));
    }

    // Alt and a letter reaches one control in each window, in every language the windows speak.
    void accessKeysAreUniqueInEveryWindow() {
        Table table;
        auto& [dir, state, scripted, shell, clock] = table;
        frmTarvona editor(state, scripted, shell, clock, [] {});
        frmList list(state, scripted, [](int) {});
        frmLog log(state, scripted, [] {});
        frmCalendar calendar(state, scripted, clock);
        frmMessage message(state, scripted, clock);
        frmAbout about(state, scripted);
        for (QWidget* window :
             std::initializer_list<QWidget*>{&editor, &list, &log, &calendar, &message, &about}) {
            QMap<QChar, QString> keys;
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                QString text;
                if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
                if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy())
                    text = label->text();
                if (auto* box = qobject_cast<QGroupBox*>(widget)) text = box->title();
                const int amp = QString(text).replace("&&", "__").indexOf('&');
                if (amp < 0 || amp + 1 >= text.size()) continue;
                const QChar key = text[amp + 1].toLower();
                QVERIFY2(!keys.contains(key),
                         qPrintable(window->objectName() + ": Alt+" + key + " is " +
                                    keys.value(key) + " and " + text));
                keys.insert(key, text);
            }
        }
    }

    // Ours and Qt's own: the question after a failed run, with its Yes button.
    void theQuestion() {
        QtDesktop desktop;
        QString text, yes;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                for (QWidget* window : QApplication::topLevelWidgets())
                    if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                        text = box->text();
                        yes = box->button(QMessageBox::Yes)->text();
                        box->button(QMessageBox::No)->click();
                    }
            },
            Qt::QueuedConnection);
        desktop.messageBox("Errors occurred while launching some applications. Review log file?",
                           "Tarvona", Buttons::YesNo);
        QCOMPARE(text, Expected("Errors occurred while launching some applications. Review log "
                                "file?",
                                "Beim Starten einiger Anwendungen sind Fehler aufgetreten. "
                                "Protokolldatei anzeigen?",
                                "Des erreurs se sont produites au lancement de certaines "
                                "applications. Afficher le journal ?"));
        QCOMPARE(yes, Expected("&Yes", "&Ja", "&Oui"));
    }

    void aHelpPage() {
        const QString page =
            HelpDocument::ForFile(kHelpFile).PageHtml(HelpDocument::TopicAddress(1160));
        QVERIFY2(page.contains(Expected("Opens the command line now, to try it.",
                                        "Öffnet die Befehlszeile jetzt, um sie auszuprobieren.",
                                        "Ouvre la ligne de commande maintenant, pour l’essayer.")),
                 qPrintable(page));
        QVERIFY(page.contains(Expected(">Contents<", ">Inhalt<", ">Sommaire<")));
    }
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
