#include "frmMessage.h"

#include <sys/stat.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <regex>

#include "data_folder.h"
#include "message_file.h"
#include "program_state.h"
#include "startup.h"
#include "test_support.h"

using namespace tarvona;
using namespace tarvona::test;

class MessageWindowTest : public QObject {
    Q_OBJECT

    struct Setup {
        TempDir dir;
        ProgramState state;
        ScriptedDesktop desktop;
        // No window may ask a question that the test did not script.
        ~Setup() { QVERIFY(desktop.unexpected.empty()); }
        FixedClock clock{Date(2026, 12, 8), 9, 30, 0};
        Setup() {
            SetUpPaths(state, dir.path());
            std::filesystem::create_directory(state.MessageDir);
        }
        size_t Files() const {
            size_t count = 0;
            for ([[maybe_unused]] auto& entry :
                 std::filesystem::directory_iterator(state.MessageDir))
                ++count;
            return count;
        }
    };

    static void Type(frmMessage& window, const QString& text) {
        window.findChild<QPlainTextEdit*>("txtMessage")->setPlainText(text);
    }
    static void Press(frmMessage& window, const char* button) {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }

private slots:
    void emptyTextIsRefused() {
        Setup s;
        frmMessage window(s.state, s.desktop, s.clock);
        window.show();
        QCOMPARE(window.windowTitle(), QString("Enter a Message"));
        Press(window, "cmdOkay");
        QCOMPARE(s.desktop.beeps, 1);
        QCOMPARE(s.desktop.messages.size(), size_t(1));
        QCOMPARE(s.desktop.messages[0].text,
                 std::string("You have not entered any message text.\r\n"
                             "Click Cancel if you don't wish to schedule a message."));
        QCOMPARE(s.desktop.messages[0].caption, std::string("Error"));
        QVERIFY(window.isVisible());
        QCOMPARE(s.Files(), size_t(0));

        Type(window, "  \n");
        Press(window, "cmdOkay");
        QVERIFY2(!window.isVisible(), "blanks and line breaks alone are a message");
    }

    void threeLinesAreJoinedByCrLf() {
        Setup s;
        frmMessage window(s.state, s.desktop, s.clock);
        window.show();
        Type(window, QString::fromUtf8("Buy\u00a0milk\nCall Ann\nPay the r\u00e9nt"));
        auto* box = window.findChild<QPlainTextEdit*>("txtMessage");
        box->moveCursor(QTextCursor::End);
        QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(box, "now");
        Press(window, "cmdOkay");
        QVERIFY(!window.isVisible());
        const std::string path = s.state.MessageFile;
        QVERIFY(std::regex_match(path, std::regex(".*/Messages/msg[1-9]{5}\\.txt")));
        // The file holds what the box holds, a non-breaking space included.
        QCOMPARE(ReadFile(path),
                 std::string("Buy\xc2\xa0milk\r\nCall Ann\r\nPay the r\xc3\xa9nt\r\nnow"));
    }

    void twoMessagesInTheSameSecondGetTwoNames() {
        Setup s;
        std::vector<std::string> paths;
        for (int i = 0; i < 2; ++i) {
            frmMessage window(s.state, s.desktop, s.clock);
            window.show();
            QVERIFY2(window.findChild<QPlainTextEdit*>("txtMessage")->toPlainText().isEmpty(),
                     "every opening starts empty");
            Type(window, QString("message %1").arg(i));
            Press(window, "cmdOkay");
            paths.push_back(s.state.MessageFile);
        }
        QVERIFY(paths[0] != paths[1]);
        QCOMPARE(ReadFile(paths[0]), std::string("message 0"));
        QCOMPARE(ReadFile(paths[1]), std::string("message 1"));
    }

    void writeFailureThenCancel() {
        Setup s;
        s.state.MessageFile = "/earlier/msg11111.txt";
        ::chmod(s.state.MessageDir.c_str(), 0555);
        frmMessage window(s.state, s.desktop, s.clock);
        window.show();
        Type(window, "hello");
        Press(window, "cmdOkay");
        ::chmod(s.state.MessageDir.c_str(), 0755);
        QCOMPARE(s.desktop.messages.size(), size_t(1));
        QCOMPARE(s.desktop.messages[0].text, std::string("Unable to write message file."));
        QCOMPARE(s.desktop.beeps, 0);
        QVERIFY(window.isVisible());
        QCOMPARE(s.Files(), size_t(0));
        Press(window, "cmdCancel");
        QVERIFY(s.state.MessageFile.empty());
        QVERIFY(!window.isVisible());
    }

    void closeBoxHandsBackNothing() {
        Setup s;
        s.state.MessageFile = "/earlier/msg11111.txt";
        frmMessage window(s.state, s.desktop, s.clock);
        window.show();
        Type(window, "typed");
        window.close();
        QVERIFY(s.state.MessageFile.empty());
        QCOMPARE(s.Files(), size_t(0));
    }

    void namingNeverOverwritesAndGivesUp() {
        TempDir dir;
        std::mt19937 random(4242);
        const std::string first = dir / MessageFileName(random);
        WriteFile(first, "someone else's");
        const MessageWrite write = WriteNewMessageFile(test::OpenFolder(dir.path()), "new", 4242);
        QVERIFY(write.written);
        QVERIFY(write.path != first);
        QCOMPARE(ReadFile(first), std::string("someone else's"));

        // Every name the seed can give is taken: it stops instead of searching forever.
        std::mt19937 again(7);
        for (int i = 0; i < kMaxTries; ++i) WriteFile(dir / MessageFileName(again), "taken");
        const MessageWrite full = WriteNewMessageFile(test::OpenFolder(dir.path()), "new", 7);
        QVERIFY(!full.written);
    }
};

QTEST_MAIN(MessageWindowTest)
#include "frmMessage_test.moc"
