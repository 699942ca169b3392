// The command line's output object: what each printer emits through Display (the bounds of
// its buffers included), and the result-code messages against a copy of the rows typed by hand.
#include <QRegularExpression>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtTest>

#include <functional>

#include "cli/output.h"

namespace {

// A text of `n` characters whose every position is told apart from its neighbours, so a cut one
// character early or late shows.
QByteArray pattern(int n)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text.append(char('0' + i % 10));
    return text;
}

const int kOut = int(CliMessage::kOutputBufferSize) - 1;   // characters Output_ keeps
const int kMsg = int(CliMessage::kMessageBufferSize) - 1;  // characters a prefixed printer keeps

struct PrintCase {
    const char* name;
    std::function<int(CliMessage&)> call;
    QStringList emitted;  // every Display, in order
    int result;
};

QVector<PrintCase> printCases()
{
    const QByteArray longOut = pattern(2 * kOut);
    const QByteArray fitOut = pattern(kOut);
    const QByteArray longMsg = pattern(5 * kMsg);
    const QByteArray fitMsg = pattern(kMsg);
    const QString cutOut = QString::fromLatin1(longOut.left(kOut));
    const QString cutMsg = QString::fromLatin1(longMsg.left(kMsg));
    return {
        {"output plain", [](CliMessage& o) { return o.Output_("plain"); }, {"plain"}, 5},
        {"output formats", [](CliMessage& o) { return o.Output_("%d-%s|%02X", 7, "x", 0xAu); },
         {"7-x|0A"}, 6},
        {"output empty text still emits", [](CliMessage& o) { return o.Output_("%s", ""); }, {""}, 0},
        {"output latin-1 byte", [](CliMessage& o) { return o.Output_("R\xE9"); },
         {QString::fromLatin1("R\xE9")}, 2},
        {"output exactly fits", [fitOut](CliMessage& o) { return o.Output_("%s", fitOut.constData()); },
         {QString::fromLatin1(fitOut)}, kOut},
        {"output one over is cut", [fitOut](CliMessage& o) { return o.Output_("%s!", fitOut.constData()); },
         {QString::fromLatin1(fitOut)}, kOut},
        {"output far over is cut", [longOut](CliMessage& o) { return o.Output_("%s", longOut.constData()); },
         {cutOut}, kOut},
        {"simple", [](CliMessage& o) { return o.SimpleMsg_("Raid Set #%d", 3); }, {"Raid Set #3\n"}, 12},
        {"simple empty", [](CliMessage& o) { return o.SimpleMsg_("%s", ""); }, {"\n"}, 1},
        {"message", [](CliMessage& o) { return o.Msg_("Done"); }, {"Message: Done\n"}, 14},
        {"errmsg", [](CliMessage& o) { return o.ErrMsg_("Invalid Command."); },
         {"ErrMsg: Invalid Command.\n"}, 25},
        {"errmsg formats", [](CliMessage& o) { return o.ErrMsg_("Vol#%u %s", 12u, "Busy"); },
         {"ErrMsg: Vol#12 Busy\n"}, 20},
        {"simple exactly fits", [fitMsg](CliMessage& o) { return o.SimpleMsg_("%s", fitMsg.constData()); },
         {QString::fromLatin1(fitMsg) + "\n"}, kMsg + 1},
        {"simple over is cut", [longMsg](CliMessage& o) { return o.SimpleMsg_("%s", longMsg.constData()); },
         {cutMsg + "\n"}, kMsg + 1},
        {"message over is cut", [longMsg](CliMessage& o) { return o.Msg_("%s", longMsg.constData()); },
         {"Message: " + cutMsg + "\n"}, kMsg + 10},
        {"errmsg over is cut", [longMsg](CliMessage& o) { return o.ErrMsg_("%s", longMsg.constData()); },
         {"ErrMsg: " + cutMsg + "\n"}, kMsg + 9},
        {"result line", [](CliMessage& o) { return o.GuiErrMsg_(0x12); },
         {"GuiErrMsg<0x12>: No Such Device.\n"}, 33},
        {"result line success", [](CliMessage& o) { return o.GuiErrMsg_(0); },
         {"GuiErrMsg<0x00>: Success.\n"}, 26},
        {"result line wide code", [](CliMessage& o) { return o.GuiErrMsg_(0x1FF); },
         {"GuiErrMsg<0x1FF>: Unknown Status.\n"}, 34},
        {"result line widest code", [](CliMessage& o) { return o.GuiErrMsg_(0xFFFFFFFFu); },
         {"GuiErrMsg<0xFFFFFFFF>: Unknown Status.\n"}, 39},
        {"debug prints nothing", [](CliMessage& o) { return o.DbgPrint_(stdout, "trace %d\n", 1); }, {}, 0},
        {"several in order", [](CliMessage& o) {
             o.Output_("\r\n");
             o.ErrMsg_("Ambiguous Command.");
             return o.GuiErrMsg_(0x48);
         },
         {"\r\n", "ErrMsg: Ambiguous Command.\n", "GuiErrMsg<0x48>: Unsupported Command.\n"}, 38},
    };
}

// The result-code rows as they are to stand, in order.
const char kRows[] =
    "0x00 \"Success.\"; 0x01 \"Failure.\"; 0x02 \"Invalid Data Returned From Media.\"; 0x03 \"Invalid Handle.\"; "
    "0x04 \"Failed To Write To Media.\"; 0x05 \"Failed To Read From Media.\"; 0x06 \"The Wrong Parameter(s).\"; "
    "0x07 \"Failed To Open File.\"; 0x08 \"Password Required.\"; 0x09 \"Wrong Password.\"; 0x0A \"Memory Too Small.\"; "
    "0x0B \"Failed To Allocate Necessary Memory.\"; 0x0C \"Buffer Too Small.\"; 0x0D \"Socket Error.\"; "
    "0x0E \"Invalid Socket.\"; 0x0F \"Failed To Open COM Port.\"; 0x10 \"Failed To Init Socket.\"; "
    "0x11 \"Invalid Interface.\"; 0x12 \"No Such Device.\"; 0x13 \"Timeout.\"; 0x14 \"Timeout.\"; "
    "0x15 \"Controller Failed or Inactive.\"; 0x16 \"Check Condition.\"; 0x3F \"Unknown Status\"; 0x41 \"Gui Ok.\"; "
    "0x42 \"RaidSet Not Normal.\"; 0x43 \"VolumeSet Not Normal.\"; 0x44 \"No RaidSet.\"; 0x45 \"No VolumeSet.\"; "
    "0x46 \"No Physical Drive.\"; 0x47 \"Invalid Parameter.\"; 0x48 \"Unsupported Command.\"; "
    "0x49 \"Disk Config Changed.\"; 0x4A \"Invalid Password.\"; 0x4B \"No Disk Space.\"; 0x4C \"Checksum Error.\"; "
    "0x4D \"Password Required.\"; 0x4E \"No More Data.\"; 0x4F \"Internal Error.\"; 0x50 \"Firmware CRC Error.\"; "
    "0x51 \"Firmware Invalid.\"; 0x52 \"Firmware Update Failed.\"; 0x53 \"Firmware No HDD.\"; 0x54 \"End Of Data.\"; "
    "0x55 \"Encryption Type Mismatch.\"; 0x56 \"Encryption Key Length Invalid.\"; 0x57 \"Encryption Key Invalid.\"; "
    "0x58 \"Disk Test Failed.\"; 0x59 \"SED HDD Required.\"; 0x5A \"SED RaidSet Required.\"; "
    "0x5B \"SED RaidSet Not Allowed.\"; 0x5C \"SED Partial OK.\"; 0x5D \"SED Revertsp Failed.\"; "
    "0x5E \"Device Not Functioning.\"; 0x5F \"SED Erase Failed.\"; 0x60 \"SED Key Not Set.\"; 0x61 \"SED Key Already Set.\"; "
    "0x62 \"SED Password Error.\"; 0x63 \"SED Invalid Key File.\"; 0x64 \"RaidSet Not Exist.\"; 0x65 \"Clone Completed.\"; "
    "0x66 \"Clone Source Must Be RaidSet Member.\"; 0x67 \"Clone Source No Volume.\"; 0x68 \"Clone Target Not Free.\"; "
    "0x69 \"Already Clone.\"; 0x6A \"Clone 4K Disk Not Allowed.\"; 0xFF \"Unknown Status.\"; ";

QVector<QPair<quint64, QString>> expectedRows()
{
    QVector<QPair<quint64, QString>> rows;
    static const QRegularExpression row(QStringLiteral("0x([0-9A-F]{2}) \"([^\"]*)\";"));
    auto it = row.globalMatch(QString::fromLatin1(kRows));
    while (it.hasNext()) {
        const auto m = it.next();
        rows.append({m.captured(1).toULongLong(nullptr, 16), m.captured(2)});
    }
    return rows;
}

} // namespace

class TestCliOutput : public QObject {
    Q_OBJECT
private slots:
    void printers_data();
    void printers();
    void resultTable();
    void resultLines();
};

void TestCliOutput::printers_data()
{
    QTest::addColumn<int>("index");
    const QVector<PrintCase> cases = printCases();
    for (int i = 0; i < cases.size(); ++i)
        QTest::newRow(cases[i].name) << i;
}

// Every printer on the program's own output object: the texts Display carries and the length
// returned, over the bound of each buffer by one and by far.
void TestCliOutput::printers()
{
    QFETCH(int, index);
    const PrintCase c = printCases().at(index);
    QSignalSpy spy(&cliout_zynmsr, &CliMessage::Display);
    const int result = c.call(cliout_zynmsr);
    QStringList emitted;
    for (const QList<QVariant>& args : spy)
        emitted << args.at(0).toString();
    QCOMPARE(emitted, c.emitted);
    QCOMPARE(result, c.result);
}

// The table row by row, in order, against the copy above.
void TestCliOutput::resultTable()
{
    const auto rows = expectedRows();
    QCOMPARE(rows.size(), 67);
    QCOMPARE(CliMessage::kErrorMsgRows, std::size_t(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(CliMessage::errormsgtable[i].code, rows[i].first);
        QCOMPARE(QString::fromLatin1(CliMessage::errormsgtable[i].text), rows[i].second);
    }
}

// The result line of every code up to 0x1FF and of the far ones: its row's text, else the
// last row's "Unknown Status.".
void TestCliOutput::resultLines()
{
    QMap<quint64, QString> byCode;
    for (const auto& r : expectedRows())
        byCode.insert(r.first, r.second);
    QVector<unsigned int> codes;
    for (unsigned int code = 0; code <= 0x1FF; ++code)
        codes << code;
    codes << 0x1000u << 0x100000FFu << 0xFFFFFFFFu;

    CliMessage out;
    QSignalSpy spy(&out, &CliMessage::Display);
    QStringList expected;
    for (unsigned int code : codes) {
        const QString text = byCode.value(code, QStringLiteral("Unknown Status."));
        const QString hex = QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        expected << QStringLiteral("GuiErrMsg<0x%1>: %2\n").arg(hex, text);
        QCOMPARE(QString::fromLatin1(CliMessage::ErrorText(code)), text);
        out.GuiErrMsg_(code);
    }
    QStringList emitted;
    for (const QList<QVariant>& args : spy)
        emitted << args.at(0).toString();
    QCOMPARE(emitted, expected);
}

QTEST_GUILESS_MAIN(TestCliOutput)
#include "test_cli_output.moc"
