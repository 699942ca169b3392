// The console widget driven by key clicks: for each sequence of keys, the whole document text,
// the word lists handed on and the history that result. A stand-in for the command-line engine
// prints through the real output object the way the engine does: "\r\n" for every line, then
// one line of its own for a line with words.
#include <QList>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QVector>
#include <QtTest>

#include <functional>

#include "cli/console.h"
#include "cli/output.h"

namespace {

using Step = std::function<void(Console&)>;

Step type(const char* text)
{
    return [text](Console& c) { QTest::keyClicks(&c, QString::fromLatin1(text)); };
}

Step key(Qt::Key k)
{
    return [k](Console& c) { QTest::keyClick(&c, k); };
}

Step message(const char* text)
{
    return [text](Console& c) { c.InsertMessage(QString::fromLatin1(text)); };
}

// The cursor put into a block at a column, as a mouse click would.
Step place(int block, int column)
{
    return [block, column](Console& c) {
        QTextCursor cursor(c.document()->findBlockByNumber(block));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        c.setTextCursor(cursor);
    };
}

struct KeyCase {
    const char* name;
    QVector<Step> steps;
    QString text;               // the whole document
    QList<QStringList> handed;  // every word list, in order
    QStringList history;
};

QVector<KeyCase> keyCases()
{
    const Step enter = key(Qt::Key_Return);
    return {
        {"first prompt", {}, "CLI> ", {}, {}},
        {"enter on an empty line", {enter}, "CLI> \n\nCLI> ", {{}}, {}},
        {"keypad enter, spaces only: no words, yet a history entry",
         {type("   "), key(Qt::Key_Enter)}, "CLI>    \n\nCLI> ", {{}}, {"   "}},
        {"words split at runs of spaces, case kept",
         {type(" rsf  Info "), enter},
         "CLI>  rsf  Info \nran rsf|Info\n\nCLI> ", {{"rsf", "Info"}}, {" rsf  Info "}},
        {"backspace and left stop at the prompt's edge",
         {key(Qt::Key_Backspace), key(Qt::Key_Left), type("ab"), key(Qt::Key_Left),
          key(Qt::Key_Left), key(Qt::Key_Left), key(Qt::Key_Backspace), type("X"), enter},
         "CLI> Xab\nran Xab\n\nCLI> ", {{"Xab"}}, {"Xab"}},
        {"backspace inside the line",
         {type("abc"), key(Qt::Key_Left), key(Qt::Key_Backspace), enter},
         "CLI> ac\nran ac\n\nCLI> ", {{"ac"}}, {"ac"}},
        {"home goes to the prompt's edge",
         {type("abc"), key(Qt::Key_Home), type("Z"), key(Qt::Key_Home),
          key(Qt::Key_Backspace), enter},
         "CLI> Zabc\nran Zabc\n\nCLI> ", {{"Zabc"}}, {"Zabc"}},
        {"enter in mid-line takes the whole line",
         {type("disk info"), key(Qt::Key_Left), key(Qt::Key_Left), enter},
         "CLI> disk info\nran disk|info\n\nCLI> ", {{"disk", "info"}}, {"disk info"}},
        {"up and down with no history", {type("x"), key(Qt::Key_Up), key(Qt::Key_Down)},
         "CLI> x", {}, {}},
        {"same line twice is kept once, a b a three times",
         {type("a"), enter, type("a"), enter, type("b"), enter, type("a"), enter},
         "CLI> a\nran a\n\nCLI> a\nran a\n\nCLI> b\nran b\n\nCLI> a\nran a\n\nCLI> ",
         {{"a"}, {"a"}, {"b"}, {"a"}}, {"a", "b", "a"}},
        {"up shows the last line over typed text, down past the newest does nothing",
         {type("q"), enter, type("zz"), key(Qt::Key_Up), key(Qt::Key_Down)},
         "CLI> q\nran q\n\nCLI> q", {{"q"}}, {"q"}},
        {"up stops at the oldest, down at the newest",
         {type("p"), enter, type("q"), enter, type("r"), enter, key(Qt::Key_Up),
          key(Qt::Key_Up), key(Qt::Key_Up), key(Qt::Key_Up), key(Qt::Key_Down),
          key(Qt::Key_Down), key(Qt::Key_Down), key(Qt::Key_Up)},
         "CLI> p\nran p\n\nCLI> q\nran q\n\nCLI> r\nran r\n\nCLI> q",
         {{"p"}, {"q"}, {"r"}}, {"p", "q", "r"}},
        {"a recalled line entered again joins nothing and walks from the end",
         {type("p"), enter, type("q"), enter, key(Qt::Key_Up), key(Qt::Key_Up), enter,
          key(Qt::Key_Up)},
         "CLI> p\nran p\n\nCLI> q\nran q\n\nCLI> p\nran p\n\nCLI> p",
         {{"p"}, {"q"}, {"p"}}, {"p", "q", "p"}},
        {"an empty line leaves the history index where Up left it",
         {type("p"), enter, type("q"), enter, key(Qt::Key_Up), key(Qt::Key_Up),
          key(Qt::Key_Backspace), enter, key(Qt::Key_Down)},
         "CLI> p\nran p\n\nCLI> q\nran q\n\nCLI> \n\nCLI> q",
         {{"p"}, {"q"}, {}}, {"p", "q"}},
        {"a key typed into earlier output lands behind a new prompt",
         {type("x"), enter, place(0, 2), type("k"), enter},
         "CLI> x\nran x\n\nCLI> \n\nCLI> k\nran k\n\nCLI> ",
         {{"x"}, {}, {"k"}}, {"x", "k"}},
        {"enter in earlier output hands an empty line",
         {type("x"), enter, place(0, 5), enter},
         "CLI> x\nran x\n\nCLI> \n\nCLI> ", {{"x"}, {}}, {"x"}},
        {"backspace, left, home, up and down in earlier output do nothing",
         {type("x"), enter, type("y"), place(1, 3), key(Qt::Key_Backspace), key(Qt::Key_Left),
          key(Qt::Key_Home), key(Qt::Key_Up), key(Qt::Key_Down)},
         "CLI> x\nran x\n\nCLI> y", {{"x"}}, {"x"}},
        {"typing before the prompt's column shifts what column 5 reads",
         {type("ab"), place(0, 1), type("Z"), enter},
         "CZLI> ab\nran ab\n\nCLI> ", {{"ab"}}, {" ab"}},
        {"an empty message is ignored",
         {type("a"), message(""), type("b"), enter},
         "CLI> ab\nran ab\n\nCLI> ", {{"ab"}}, {"ab"}},
        {"a message goes to the end and its last line becomes the prompt line",
         {type("a"), place(0, 0), message("note\nCLI> "), type("b"), enter},
         "CLI> anote\nCLI> b\nran b\n\nCLI> ", {{"b"}}, {"b"}},
    };
}

}  // namespace

class TestCliConsole : public QObject {
    Q_OBJECT
private slots:
    void keys()
    {
        for (const KeyCase& k : keyCases()) {
            Console console;
            QList<QStringList> handed;
            QObject::connect(&cliout_zynmsr, &CliMessage::Display, &console,
                             &Console::InsertMessage);
            QObject::connect(&console, &Console::CommandEntered, &console,
                             [&handed](const QStringList& words) {
                                 handed.append(words);
                                 cliout_zynmsr.Output_("\r\n");
                                 if (!words.isEmpty())
                                     cliout_zynmsr.SimpleMsg_(
                                         "ran %s", words.join('|').toLocal8Bit().constData());
                             });
            console.show();
            QVERIFY(QTest::qWaitForWindowExposed(&console));
            for (const Step& step : k.steps)
                step(console);
            const QString label = QString::fromLatin1(k.name);
            if (console.toPlainText() != k.text)
                qWarning("%s", k.name);
            QCOMPARE(console.toPlainText(), k.text);
            QVERIFY2(handed == k.handed, qPrintable(label));
            QVERIFY2(console.History() == k.history, qPrintable(label));
            QObject::disconnect(&cliout_zynmsr, nullptr, &console, nullptr);
        }
    }
};

QTEST_MAIN(TestCliConsole)
#include "test_cli_console.moc"
