// The command line's parameter readers on valid, malformed, boundary and hostile words; the
// prefix counter, character test and decimal text; the CRC-32 against zlib; the hexadecimal
// dump as written to standard output; the key text.
#include "cliutil.h"

#include <QtTest>

#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

// argc/argv over owned words, as the router hands them to a handler.
struct Words {
    explicit Words(const QStringList& list)
    {
        for (const QString& w : list)
            text.push_back(w.toStdString());
        for (std::string& w : text)
            pointers.push_back(&w[0]);
        pointers.push_back(nullptr);
    }
    int argc() const { return int(text.size()); }
    char** argv() { return pointers.data(); }
    std::vector<std::string> text;
    std::vector<char*> pointers;
};

QString joined(const std::vector<int>& values)
{
    QStringList parts;
    for (int v : values)
        parts << QString::number(v);
    return parts.join(',');
}

// What `write` prints to standard output.
template <typename F>
QByteArray captureStdout(F write)
{
    QTemporaryFile file;
    if (!file.open())
        return "<no file>";
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(file.handle(), STDOUT_FILENO);
    write();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    file.seek(0);
    return file.readAll();
}

}  // namespace

class TestCliUtil : public QObject {
    Q_OBJECT
private slots:
    void stringValue_data();
    void stringValue();
    void argumentCounts();
    void intValue_data();
    void intValue();
    void doubleValue_data();
    void doubleValue();
    void arrayValue_data();
    void arrayValue();
    void textHelpers();
    void crcMatchesZlib();
    void dump_data();
    void dump();
    void keyText();
};

void TestCliUtil::stringValue_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("value");
    const QString untouched;
    QTest::newRow("plain") << QStringList{"name=Volume1"} << 16 << true << true << "Volume1";
    QTest::newRow("among others") << QStringList{"raid=1", "name=x", "level=5"} << 16 << true << true << "x";
    QTest::newRow("empty value") << QStringList{"name="} << 16 << true << true << "";
    QTest::newRow("first word wins") << QStringList{"name=a", "name=b"} << 16 << true << true << "a";
    QTest::newRow("value holds '='") << QStringList{"name=a=b"} << 16 << true << true << "a=b";
    QTest::newRow("longer key") << QStringList{"namex=a"} << 16 << false << false << untouched;
    QTest::newRow("shorter key") << QStringList{"nam=a"} << 16 << false << false << untouched;
    QTest::newRow("case differs") << QStringList{"Name=a"} << 16 << false << false << untouched;
    QTest::newRow("no '='") << QStringList{"name"} << 16 << false << false << untouched;
    QTest::newRow("key later in word") << QStringList{"xname=a"} << 16 << false << false << untouched;
    QTest::newRow("no words") << QStringList{} << 16 << false << false << untouched;
    QTest::newRow("fills exactly") << QStringList{"name=" + QString(15, 'v')} << 16 << true << true << QString(15, 'v');
    QTest::newRow("one too long") << QStringList{"name=" + QString(16, 'v')} << 16 << true << false << untouched;
    QTest::newRow("path far too long") << QStringList{"name=/" + QString(5000, 'p')} << 256 << true << false << untouched;
    QTest::newRow("no room at all") << QStringList{"name="} << 0 << true << false << untouched;
}

void TestCliUtil::stringValue()
{
    QFETCH(QStringList, words);
    QFETCH(int, capacity);
    QFETCH(bool, present);
    QFETCH(bool, read);
    QFETCH(QString, value);
    Words w(words);
    std::vector<char> out(size_t(capacity) + 8, '#');
    out.back() = '\0';
    const std::vector<char> before = out;
    QCOMPARE(IsArgPresent(w.argc(), w.argv(), "name"), present);
    QCOMPARE(GetArgStringValue(w.argc(), w.argv(), "name", out.data(), size_t(capacity)), read);
    if (read)
        QCOMPARE(QString(out.data()), value);
    else
        QVERIFY(out == before);
    QCOMPARE(QByteArray(out.data() + capacity, 7), QByteArray(7, '#'));   // nothing past the capacity
}

void TestCliUtil::argumentCounts()
{
    // Counts the router may pass: none, or -1 when only the main word was typed.
    char empty[1] = {};
    char* none[] = {empty, nullptr};
    char* noWords[] = {nullptr};
    char buffer[8] = "#";
    QVERIFY(!GetArgStringValue(-1, noWords, "name", buffer));
    QVERIFY(!GetArgStringValue(0, none, "name", buffer));
    QVERIFY(!GetArgStringValue(1, none, "name", buffer));
    QVERIFY(!IsArgPresent(3, nullptr, "name"));
    QCOMPARE(QString(buffer), QString("#"));
    char word[] = "name=x";
    char* hole[] = {nullptr, word, nullptr};
    QVERIFY(GetArgStringValue(2, hole, "name", buffer));
    QCOMPARE(QString(buffer), QString("x"));
}

void TestCliUtil::intValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("read");
    QTest::addColumn<uint>("value");
    const uint untouched = 0x5A5A5A5Au;
    QTest::newRow("1") << "1" << true << 1u;
    QTest::newRow("01") << "01" << true << 1u;
    QTest::newRow("0") << "0" << true << 0u;
    QTest::newRow("leading zeros beyond 32 bits") << "000000000000000000000042" << true << 42u;
    QTest::newRow("plus sign") << "+7" << true << 7u;
    QTest::newRow("-1 all ones") << "-1" << true << 0xFFFFFFFFu;
    QTest::newRow("any negative all ones") << "-5" << true << 0xFFFFFFFFu;
    QTest::newRow("-0") << "-0" << true << 0u;
    QTest::newRow("largest") << "4294967295" << true << 0xFFFFFFFFu;
    QTest::newRow("2^32") << "4294967296" << false << untouched;
    QTest::newRow("2^32 + 1 never wraps to 1") << "4294967297" << false << untouched;
    QTest::newRow("-(2^32 - 1) never wraps to 1") << "-4294967295" << true << 0xFFFFFFFFu;
    QTest::newRow("-2^32") << "-4294967296" << false << untouched;
    QTest::newRow("64-bit overflow") << "99999999999999999999999999" << false << untouched;
    QTest::newRow("empty") << "" << false << untouched;
    QTest::newRow("12abc") << "12abc" << false << untouched;
    QTest::newRow("abc") << "abc" << false << untouched;
    QTest::newRow("hex") << "0x10" << false << untouched;
    QTest::newRow("exponent") << "1e3" << false << untouched;
    QTest::newRow("fraction") << "1.0" << false << untouched;
    QTest::newRow("leading blank") << "\t5" << false << untouched;
    QTest::newRow("trailing blank") << "5 " << false << untouched;
    QTest::newRow("sign alone") << "-" << false << untouched;
    QTest::newRow("two signs") << "--1" << false << untouched;
    QTest::newRow("plus minus") << "+-1" << false << untouched;
    QTest::newRow("wide digit") << QString::fromUtf8("\xd9\xa3") << false << untouched;
}

void TestCliUtil::intValue()
{
    QFETCH(QString, text);
    QFETCH(bool, read);
    QFETCH(uint, value);
    Words w({"drv=9", "p=" + text, "p=3"});
    int out = int(0x5A5A5A5Au);
    QCOMPARE(GetArgIntValue(w.argc(), w.argv(), "p", &out), read);
    QCOMPARE(uint(out), value);
    QVERIFY(IsArgPresent(w.argc(), w.argv(), "p"));
}

void TestCliUtil::doubleValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("read");
    QTest::addColumn<double>("value");
    const double untouched = -42.0;
    QTest::newRow("integer") << "1024000" << true << 1024000.0;
    QTest::newRow("fraction") << "0.1" << true << 0.1;
    QTest::newRow("exponent") << "1.5e3" << true << 1500.0;
    QTest::newRow("negative") << "-2.5" << true << -2.5;
    QTest::newRow("plus sign") << "+3.5" << true << 3.5;
    QTest::newRow("no leading digit") << ".5" << true << 0.5;
    QTest::newRow("no trailing digit") << "5." << true << 5.0;
    QTest::newRow("largest") << "9e12" << true << 9e12;
    QTest::newRow("largest negative") << "-9e12" << true << -9e12;
    QTest::newRow("above largest") << "9.000001e12" << false << untouched;
    QTest::newRow("below largest negative") << "-9.1e12" << false << untouched;
    QTest::newRow("overflows double") << "1e400" << false << untouched;
    QTest::newRow("nan") << "nan" << false << untouched;
    QTest::newRow("NAN") << "NAN" << false << untouched;
    QTest::newRow("inf") << "inf" << false << untouched;
    QTest::newRow("-infinity") << "-infinity" << false << untouched;
    QTest::newRow("unit") << "100GB" << false << untouched;
    QTest::newRow("comma") << "1,5" << false << untouched;
    QTest::newRow("hex float") << "0x1p3" << false << untouched;
    QTest::newRow("empty") << "" << false << untouched;
    QTest::newRow("exponent alone") << "1e" << false << untouched;
    QTest::newRow("plus minus") << "+-1" << false << untouched;
    QTest::newRow("leading blank") << " 1" << false << untouched;
}

void TestCliUtil::doubleValue()
{
    QFETCH(QString, text);
    QFETCH(bool, read);
    QFETCH(double, value);
    Words w({"capacity=" + text, "capacity=7"});
    double out = -42.0;
    QCOMPARE(GetArgDoubleValue(w.argc(), w.argv(), "capacity", &out), read);
    QCOMPARE(out, value);
}

void TestCliUtil::arrayValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("values");
    QTest::newRow("ranges and numbers") << "1~3,5,7" << true << "1,2,3,5,7";
    QTest::newRow("leading zero range") << "0~2" << true << "0,1,2";
    QTest::newRow("leading zeros") << "007" << true << "7";
    QTest::newRow("one-value range") << "5~5" << true << "5";
    QTest::newRow("reversed range gives nothing") << "3~1" << true << "";
    QTest::newRow("reversed among others") << "9,3~1,4" << true << "9,4";
    QTest::newRow("double comma skipped") << "1,,2" << true << "1,2";
    QTest::newRow("trailing comma") << "1," << true << "1";
    QTest::newRow("repeats kept") << "1,1,1" << true << "1,1,1";
    QTest::newRow("largest number") << "65535" << true << "65535";
    QTest::newRow("number too large") << "65536" << false << "";
    QTest::newRow("64-bit overflow") << "1,99999999999999999999999" << false << "";
    QTest::newRow("320 values") << "0~319" << true << "range";
    QTest::newRow("321 values") << "0~320" << false << "";
    QTest::newRow("320 in pieces then one more") << "1~300,1~20,5" << false << "";
    QTest::newRow("two billion never expanded") << "1~2000000000" << false << "";
    QTest::newRow("whole number space") << "0~65535" << false << "";
    QTest::newRow("not a number") << "1,x" << false << "";
    QTest::newRow("letter first") << "x" << false << "";
    QTest::newRow("comma first") << ",1" << false << "";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("open range") << "1~" << false << "";
    QTest::newRow("range without start") << "~3" << false << "";
    QTest::newRow("chained range") << "1~3~5" << false << "";
    QTest::newRow("dash range") << "1-3" << false << "";
    QTest::newRow("negative item") << "1,-3" << false << "";
    QTest::newRow("negative range end") << "3~-1" << false << "";
    QTest::newRow("plus item") << "1,+3" << false << "";
    QTest::newRow("semicolon") << "1;2" << false << "";
    QTest::newRow("number then text") << "12abc" << false << "";
    QTest::newRow("the word all") << "all" << false << "";
}

void TestCliUtil::arrayValue()
{
    QFETCH(QString, text);
    QFETCH(bool, read);
    QFETCH(QString, values);
    if (values == "range") {
        QStringList all;
        for (int i = 0; i < 320; ++i)
            all << QString::number(i);
        values = all.join(',');
    }
    Words w({"drvx=4", "drv=" + text, "drv=8"});
    std::vector<int> out{99, 98};
    QCOMPARE(GetArgArrayValue(w.argc(), w.argv(), "drv", out), read);
    QCOMPARE(joined(out), values);

    Words absent({"drvx=4"});
    out = {99};
    QVERIFY(!GetArgArrayValue(absent.argc(), absent.argv(), "drv", out));
    QVERIFY(out.empty());
}

void TestCliUtil::textHelpers()
{
    struct Match { const char* a; const char* b; unsigned n; };
    const Match matches[] = {
        {"raid", "rai", 3}, {"rai", "raid", 3}, {"abc", "abd", 2}, {"abc", "abc", 3},
        {"ABC", "abc", 0}, {"", "abc", 0}, {"abc", "", 0}, {nullptr, "abc", 0}, {"abc", nullptr, 0},
        {"a\xff", "a\xff", 2},
    };
    for (const Match& m : matches)
        QCOMPARE(find_match_str_amount(m.a, m.b), m.n);

    const QByteArray hexDigits = "0123456789abcdefABCDEF";
    for (int c = 0; c < 256; ++c)
        QCOMPARE(IsXDigit(static_cast<unsigned char>(c)), c != 0 && hexDigits.contains(char(c)));

    char text[kItoaSize];
    const std::pair<int, const char*> numbers[] = {
        {0, "0"}, {7, "7"}, {-1, "-1"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"},
    };
    for (const auto& n : numbers)
        QCOMPARE(QString(itoa(n.first, text, 16)), QString(n.second));   // the base is ignored
    QCOMPARE(QString(itoa(123456, text, size_t(4))), QString("123"));
    QCOMPARE(itoa(5, static_cast<char*>(nullptr), size_t(4)), static_cast<char*>(nullptr));
}

void TestCliUtil::crcMatchesZlib()
{
    std::vector<QByteArray> inputs = {QByteArray(), QByteArray("123456789"), QByteArray(1, '\0'),
                                      QByteArray(1, '\xff'), QByteArray(4096, '\0')};
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every.append(char(i));
    inputs.push_back(every);
    QByteArray noise;
    quint32 state = 0x12345678;
    for (int i = 0; i < 10007; ++i) {
        state = state * 1664525u + 1013904223u;
        noise.append(char(state >> 24));
    }
    inputs.push_back(noise);

    for (const QByteArray& in : inputs) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(in.constData());
        const uint32_t expected = uint32_t(::crc32(0, bytes, uInt(in.size())));
        Crc32 whole;
        whole.AddData(bytes, unsigned(in.size()));
        QCOMPARE(whole.GetCrc32(), expected);
        // Fed in uneven pieces after a reset of a used accumulator.
        whole.Reset();
        for (int at = 0, piece = 1; at < in.size(); at += piece, piece = piece * 3 % 17 + 1)
            whole.AddData(bytes + at, unsigned(qMin(piece, in.size() - at)));
        QCOMPARE(whole.GetCrc32(), expected);
    }
    Crc32 check;
    check.AddData(reinterpret_cast<const unsigned char*>("123456789"), 9);
    QCOMPARE(check.GetCrc32(), 0xCBF43926u);
    check.AddData(nullptr, 100);
    QCOMPARE(check.GetCrc32(), 0xCBF43926u);
}

void TestCliUtil::dump_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray head = "        0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F      ASCII      \n";
    const QByteArray rule = QByteArray(71, '=') + "\n";
    QTest::newRow("empty") << QByteArray() << head + rule + rule;
    QTest::newRow("short row, characters shown and hidden")
        << QByteArray("AB\x00\x1f ~\x7f\x80\xff", 9)
        << head + rule + "0000 | 41 42 00 1F 20 7E 7F 80 FF " + QByteArray(7 * 3, ' ') + "AB.. ~\x7f..\n" + rule;
    QByteArray seventeen = "0123456789abcdef!";
    QTest::newRow("one full row and one byte")
        << seventeen
        << head + rule + "0000 | 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66 0123456789abcdef\n"
               "0010 | 21 " + QByteArray(15 * 3, ' ') + "!\n" + rule;
}

void TestCliUtil::dump()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    const QByteArray printed = captureStdout([&] {
        dumpdata(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
    });
    QCOMPARE(printed, expected);
    QCOMPARE(expected.split('\n').first().size(), 71);
    // No data or a negative length print the frame only.
    const QByteArray frame = captureStdout([] {
        dumpdata(nullptr, 20);
        dumpdata(reinterpret_cast<const unsigned char*>("x"), -1);
    });
    const QByteArray empty = "        0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F      ASCII      \n"
                             + QByteArray(71, '=') + "\n" + QByteArray(71, '=') + "\n";
    QCOMPARE(frame, empty + empty);
}

void TestCliUtil::keyText()
{
    std::vector<std::string> keys{"kept"};
    QSet<int> blanks;
    for (int i = 0; i < 64; ++i)
        QVERIFY(vector_generate(keys));
    QCOMPARE(int(keys.size()), 65);
    QCOMPARE(keys.front(), std::string("kept"));
    for (size_t k = 1; k < keys.size(); ++k) {
        const std::string& key = keys[k];
        QCOMPARE(int(key.size()), kKeyTextLength);
        QVERIFY(key[0] >= 'A' && key[0] <= 'Z');
        const size_t blank = key.find(' ');
        QVERIFY(blank >= 1 && blank <= size_t(kKeyTextLength - 2));
        QCOMPARE(key.find(' ', blank + 1), std::string::npos);
        for (size_t i = 1; i < key.size(); ++i)
            QVERIFY(i == blank || (key[i] >= 'a' && key[i] <= 'z'));
        blanks.insert(int(blank));
        QVERIFY(key != keys[k - 1]);
    }
    QVERIFY(blanks.size() > 8);   // the blank moves
}

QTEST_APPLESS_MAIN(TestCliUtil)
#include "test_cliutil.moc"
