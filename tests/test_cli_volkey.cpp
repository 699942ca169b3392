// The vsf key file commands through the zyncli harness against the simulator: the key files
// they write (layout, CRC-32 checked with zlib, mode), the files they refuse to read, the
// download that unlocks volumes on the simulated controller, lock and unlock.
#include "clifixture.h"
#include "keyfile.h"
#include "simfixture.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

using namespace simtest;

namespace {

const char* const kNew = "127.0.0.204";     // firmware V1.56
const char* const kOld = "127.0.0.205";     // firmware V1.43
const char* const kSimPassword = "0000";

const char kBase[] =
    "enclosure 0 slots 8\n"
    "disk 0 0 capacity 1953125000\ndisk 0 1 capacity 1953125000\ndisk 0 2 capacity 1953125000\n"
    "raidset 0 \"R0\" disks 0:0 0:1 0:2\n";
// E1: type 3 (32-byte keys), locked, no key yet; P: plain; E2: type 4, unlocked with a key.
const char kVolumes[] =
    "volume 0 \"E1\" raidset 0 capacity 2000000 level 3 serial \"S1\" encryption 3 keystatus 0 flags 0x8000 state 0\n"
    "volume 1 \"P\" raidset 0 capacity 2000000 level 3 serial \"S2\" state 0\n"
    "volume 2 \"E2\" raidset 0 capacity 2000000 level 3 serial \"S3\" encryption 4 keystatus 1 flags 0x40008000 state 0\n";

const QByteArray kOk = "GuiErrMsg<0x00>: Success.\n";
const QByteArray kFailure = "GuiErrMsg<0x01>: Failure.\n";

QByteArray runHarness(const char* address, const QByteArray& input, const QString& folder, QString* error)
{
    const clitest::HarnessRun run = clitest::runZyncli(address, input, kSimPassword,
                                                       {QStringLiteral("--key-pause"), QStringLiteral("0")}, folder);
    *error = run.error;
    return run.out;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

// Little-endian `n`-byte value into a byte array.
void put(QByteArray& b, int at, uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// The 0x1F frames that carry firmware blocks (operation 0), not the map reads.
std::vector<Bytes> firmwareBlocks(const zynsim::FakeController& ctl)
{
    std::vector<Bytes> out;
    for (const Bytes& p : payloads(ctl, 0x1F))
        if (p.size() > 9 && p[9] == 0)
            out.push_back(p);
    return out;
}

using clitest::hex;

uint32_t u32At(const QByteArray& b, int at)
{
    return zynwire::getU32(reinterpret_cast<const uint8_t*>(b.constData()) + at);
}

uint32_t zcrc(const QByteArray& b, int n)
{
    return uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(b.constData()), uInt(n)));
}

// A header with `total` at 60, `body` after it and the right CRC (unless told otherwise).
QByteArray keyFile(const QByteArray& body, int total = -1)
{
    QByteArray f = QByteArray("ZynEncryptionKeyFile    ") + QByteArray(32, ' ') + QByteArray(8, '\0') + body
                   + QByteArray(4, '\0');
    const uint32_t t = total < 0 ? uint32_t(f.size()) : uint32_t(total);
    put(f, 60, t, 4);
    put(f, f.size() - 4, zcrc(f, f.size() - 4), 4);
    return f;
}

QByteArray entry(const char* name, const char* serial, int type, const QByteArray& key)
{
    QByteArray e(36, '\0');
    std::memcpy(e.data(), name, strlen(name));
    std::memcpy(e.data() + 16, serial, strlen(serial));
    put(e, 32, uint32_t(type), 2);
    put(e, 34, uint32_t(key.size()), 2);
    return e + key;
}

// The output up to the dump: the lines before "Key Information", that line and the result line.
bool reportsKeyFile(const QByteArray& out, const QByteArray& before, const QString& path)
{
    return out.startsWith("\r\n" + before + "Key Information: " + path.toLocal8Bit() + "\n\n") && out.endsWith(kOk);
}

} // namespace

class TestCliVolKey : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void genkeyWritesOneEntryPerVolume();
    void genkeyRefusals_data();
    void genkeyRefusals();
    void genkey2NamesFilesAfterVolumes();
    void modkeyRewritesSerials();
    void invalidFiles_data();
    void invalidFiles();
    void dlkeyUnlocks();
    void fifoPathsAreRefused_data();
    void fifoPathsAreRefused();
    void lockAndUnlock_data();
    void lockAndUnlock();

private:
    QByteArray run(const char* address, const QByteArray& lines)
    {
        QString error;
        const QByteArray out = runHarness(address, lines, m_dir.path(), &error);
        if (!error.isEmpty())
            qWarning("%s", qPrintable(error));
        return out;
    }
    QString at(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    zynsim::Simulator m_sim;
    std::shared_ptr<zynsim::FakeController> m_new;
    std::shared_ptr<zynsim::FakeController> m_old;
    QTemporaryDir m_dir;
};

void TestCliVolKey::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_new = m_sim.addUdpController(kNew, configOf(zynsim::Profile::Enclosure));
    zynsim::ControllerConfig old = configOf(zynsim::Profile::Enclosure);
    old.firmware = "V1.43 2013-01-01";
    m_old = m_sim.addUdpController(kOld, old);
    QVERIFY2(m_new && m_old, m_sim.error().c_str());
}

void TestCliVolKey::init()
{
    std::string why;
    QVERIFY2(m_new->loadConfig(std::string(kBase) + kVolumes, &why), why.c_str());
    QVERIFY2(m_old->loadConfig(std::string(kBase) + kVolumes, &why), why.c_str());
    for (const QString& f : QDir(m_dir.path()).entryList(QDir::Files))
        QFile::remove(m_dir.filePath(f));
}

void TestCliVolKey::genkeyWritesOneEntryPerVolume()
{
    // Type 0: the encrypted volume without a key; the one with a key is reported.
    const QString path = at("k1");
    QByteArray out = run(kNew, "vsf genkey path=" + path.toLocal8Bit() + "\n");
    QVERIFY2(reportsKeyFile(out, "Name: E2, Serial: S3 Already Assigned A Key\n", path), out.constData());
    const QByteArray f = readFile(path);
    QCOMPARE(f.size(), 136);
    QCOMPARE(f.left(56), QByteArray("ZynEncryptionKeyFile    ") + QByteArray(32, ' '));
    QCOMPARE(u32At(f, 56), 0u);
    QCOMPARE(u32At(f, 60), 136u);
    QCOMPARE(u32At(f, 132), zcrc(f, 132));
    QCOMPARE(f.mid(64, 36), entry("E1", "S1", 3, QByteArray()).left(34) + QByteArray("\x20\x00", 2));
    const QByteArray key = f.mid(100, 32);
    QVERIFY(key[0] >= 'A' && key[0] <= 'Z');
    for (int i = 1; i < key.size(); ++i)
        QVERIFY(key[i] == ' ' || (key[i] >= 'a' && key[i] <= 'z'));
    struct stat st;
    QCOMPARE(::stat(path.toLocal8Bit().constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0600);

    // Type 1: the volumes that hold a key, with keys of zero bytes; the type 4 key is empty.
    const QString zero = at("k2");
    out = run(kNew, "vsf genkey path=" + zero.toLocal8Bit() + " type=1 vol=3,3\n");
    QVERIFY2(reportsKeyFile(out, "", zero), out.constData());
    QCOMPARE(readFile(zero), keyFile(entry("E2", "S3", 4, {}) + entry("E2", "S3", 4, {})));

    // Keys are never the same twice.
    const QString again = at("k3");
    run(kNew, "vsf genkey path=" + again.toLocal8Bit() + " vol=1,1\n");
    const QByteArray two = readFile(again);
    QCOMPARE(two.size(), 68 + 2 * 68);
    QVERIFY(two.mid(100, 32) != two.mid(168, 32) && two.mid(100, 32) != key);
}

void TestCliVolKey::genkeyRefusals_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("words");   // after "vsf genkey path=<file>"
    QTest::addColumn<QByteArray>("output");

    const QByteArray vols = QByteArray(kBase) + kVolumes;
    QTest::newRow("no encrypted volume") << QByteArray(kBase) + "volume 0 \"P\" raidset 0 capacity 2000000 level 3\n"
                                         << QByteArray("") << "ErrMsg: No New Encrypted-Volume(s) Found\n" + kFailure;
    QTest::newRow("type 2 without keys") << vols << QByteArray(" type=2 vol=1")
                                         << "Name: E1, Serial: S1 Key Not Found. Please Assign A Key\n"
                                            "ErrMsg: No New Encrypted-Volume(s) Found\n" + kFailure;
    QTest::newRow("vol 0") << vols << QByteArray(" vol=0") << "ErrMsg: VolumeSet#00 Not Found\n" + kFailure;
    QTest::newRow("vol beyond the map") << vols << QByteArray(" vol=1,4") << "ErrMsg: VolumeSet#04 Not Found\n" + kFailure;
    QTest::newRow("129 volumes") << vols << QByteArray(" vol=1~129") << QByteArray("ErrMsg: Invalid Parameter.\n");
    QTest::newRow("type malformed") << vols << QByteArray(" type=x") << QByteArray("ErrMsg: Invalid Parameter.\n");
}

void TestCliVolKey::genkeyRefusals()
{
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, words);
    QFETCH(QByteArray, output);
    std::string why;
    QVERIFY2(m_new->loadConfig(config.toStdString(), &why), why.c_str());
    const QString path = at("refused");
    QCOMPARE(run(kNew, "vsf genkey path=" + path.toLocal8Bit() + words + "\n"), "\r\n" + output);
    QVERIFY(!QFile::exists(path));

    // An existing file is left as it is; a missing path is named.
    writeFile(path, "keep");
    QCOMPARE(run(kNew, "vsf genkey path=" + path.toLocal8Bit() + "\nvsf genkey vol=1\n"),
             "\r\nErrMsg: File Already Exists.\n" + kFailure + "\r\nErrMsg: FilePath Is Missing.\n");
    QCOMPARE(readFile(path), QByteArray("keep"));
}

void TestCliVolKey::genkey2NamesFilesAfterVolumes()
{
    std::string why;
    QVERIFY2(m_new->loadConfig(std::string(kBase) + kVolumes
                                   + "volume 3 \"..\" raidset 0 capacity 2000000 level 3 serial \"S4\" encryption 3 flags 0x8000\n"
                                     "volume 4 \"a/b\" raidset 0 capacity 2000000 level 3 serial \"S5\" encryption 3 flags 0x8000\n"
                                     "volume 5 \"SIXTEEN CHARS 16\" raidset 0 capacity 2000000 level 3 serial \"S6\" encryption 3 flags 0x8000\n",
                               &why),
             why.c_str());
    const QByteArray out = run(kNew, "vsf genkey2 ignored\n");
    QVERIFY2(out.contains("\nKey Information: E1\n"), out.constData());
    QVERIFY(out.contains("ErrMsg: No New Encrypted-Volume(s) Found\n"));   // the plain volume
    QVERIFY(out.contains("Name: E2, Serial: S3 Already Assigned A Key\n"));
    QCOMPARE(out.count("ErrMsg: Invalid Parameter.\n"), 2);                 // ".." and "a/b"
    QVERIFY(out.endsWith(kOk));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), (QStringList{"E1", "SIXTEEN CHARS 16"}));
    QCOMPARE(readFile(at("SIXTEEN CHARS 16")).mid(64, 16), QByteArray("SIXTEEN CHARS 16"));
}

void TestCliVolKey::modkeyRewritesSerials()
{
    const QString src = at("src");
    const QString dest = at("dest");
    run(kNew, "vsf genkey path=" + src.toLocal8Bit() + "\n");
    const QByteArray before = readFile(src);
    QCOMPARE(before.size(), 136);

    // The volume's serial changed: the entry takes the new one.
    std::string why;
    QVERIFY2(m_new->loadConfig(std::string(kBase)
                                   + "volume 0 \"E1\" raidset 0 capacity 2000000 level 3 serial \"NEW\" encryption 3 flags 0x8000\n"
                                     "volume 1 \"P\" raidset 0 capacity 2000000 level 3\n",
                               &why),
             why.c_str());
    QByteArray out = run(kNew, "vsf modkey srcpath=" + src.toLocal8Bit() + " destpath=" + dest.toLocal8Bit() + "\n");
    QVERIFY2(reportsKeyFile(out, "Volume:E1 OldSerial:S1 NewSerial:NEW\n", dest), out.constData());
    QByteArray expected = before;
    expected.replace(80, 16, QByteArray("NEW") + QByteArray(13, '\0'));
    put(expected, 132, zcrc(expected, 132), 4);
    QCOMPARE(readFile(dest), expected);
    QCOMPARE(readFile(src), before);
    struct stat st;
    QCOMPARE(::stat(dest.toLocal8Bit().constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0600);

    // Positions: vol=2 pairs the entry with "P", vol=0 with no volume; no file either time.
    QFile::remove(dest);
    out = run(kNew, "vsf modkey srcpath=" + src.toLocal8Bit() + " destpath=" + dest.toLocal8Bit() + " vol=2\n"
                    "vsf modkey srcpath=" + src.toLocal8Bit() + " destpath=" + dest.toLocal8Bit() + " vol=0\n"
                    "vsf modkey destpath=x\nvsf modkey srcpath=x\n");
    const QByteArray notFound = "Volume:E1 Serial:S1 Status:Volume Not Found Or Position Incorrect\n";
    QCOMPARE(out, "\r\n" + notFound + "\r\n" + notFound + "\r\nErrMsg: Source Key File Is Missing.\n"
                      "\r\nErrMsg: Destnation Key File Is Missing.\n");
    QVERIFY(!QFile::exists(dest));

    // A write that fails: no report of the file, the result of a failed write.
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        out = run(kNew, "vsf modkey srcpath=" + src.toLocal8Bit() + " destpath=/dev/full\n");
        QCOMPARE(out, QByteArray("\r\nVolume:E1 OldSerial:S1 NewSerial:NEW\nErrMsg: Key Failed\n\n"
                                 "GuiErrMsg<0x04>: Failed To Write To Media.\n"));
        QVERIFY(QFile::exists(QStringLiteral("/dev/full")));
    }
}

void TestCliVolKey::invalidFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("output");   // of modkey; dlkey adds its result line

    const QByteArray good = keyFile(entry("E1", "S1", 3, QByteArray(32, 'k')));
    const QByteArray invalid = "ErrMsg: Invalid Encryption Key File\n";
    QByteArray flipped = good;
    flipped[70] = char(flipped[70] ^ 1);
    QByteArray filler = good;
    filler[30] = '_';
    put(filler, 132, zcrc(filler, 132), 4);
    QTest::newRow("one byte changed") << flipped << invalid;
    QTest::newRow("filler not blank") << filler << invalid;
    QTest::newRow("shorter than a header") << good.left(60) << invalid;
    QTest::newRow("total length is not the size") << keyFile(entry("E1", "S1", 3, QByteArray(32, 'k')), 200) << invalid;
    QTest::newRow("key past the end") << keyFile(entry("E1", "S1", 3, QByteArray(32, 'k')).left(60)) << invalid;
    QTest::newRow("bytes after the last entry") << keyFile(entry("E1", "S1", 3, {}) + "xyz") << invalid;
    QTest::newRow("larger than 128 entries") << keyFile(QByteArray(128 * 292 + 1, 'x')) << invalid;
    QTest::newRow("no file") << QByteArray() << QByteArray("GuiErrMsg<0x07>: Failed To Open File.\n");
}

void TestCliVolKey::invalidFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, output);
    const QString src = at("bad");
    m_new->clearLog();
    if (!file.isEmpty())
        writeFile(src, file);
    const QByteArray s = src.toLocal8Bit();
    const QByteArray out = run(kNew, "vsf modkey srcpath=" + s + " destpath=" + s + "2\nvsf dlkey path=" + s + "\n");
    const QByteArray dlkeyLine = output.startsWith("GuiErrMsg") ? QByteArray() : kFailure;
    QCOMPARE(out, "\r\n" + output + "\r\n" + output + dlkeyLine);
    QVERIFY(!QFile::exists(src + "2"));
    QVERIFY(firmwareBlocks(*m_new).empty());
}

void TestCliVolKey::dlkeyUnlocks()
{
    const QByteArray key(32, 'k');
    const QString path = at("dl");
    writeFile(path, keyFile(entry("E1", "S1", 3, key) + entry("GONE", "S9", 3, key)));
    m_new->clearLog();
    const QByteArray p = path.toLocal8Bit();
    QByteArray out = run(kNew, "vsf dlkey path=" + p + "\n");
    QCOMPARE(out, "\r\nVolume:E1 Serial:S1 Status:Encryption Key Assigned\nVolume:GONE Serial:S9 Status:Volume Not Found\n"
                  + kOk);
    const auto blocks = firmwareBlocks(*m_new);
    QCOMPARE(int(blocks.size()), 1);
    QCOMPARE(hex(slice(blocks[0], 0, 13)), QByteArray("08" + QByteArray("PlUmEvOr").toHex() + "00000080"));
    QCOMPARE(m_new->volumeSet(0).keyStatus(), 1);
    QVERIFY(m_new->volumeSet(0).flags() & sGUI_VOLUMESET::kFlagUnlocked);

    // A volume still locked afterwards: the file is blamed and the result is no success.
    std::string why;
    QVERIFY2(m_new->loadConfig(std::string(kBase) + kVolumes, &why), why.c_str());
    writeFile(path, keyFile(entry("GONE", "S9", 3, key)));
    out = run(kNew, "vsf dlkey path=" + p + "\nvsf dlkey\n");
    QCOMPARE(out, "\r\nVolume:GONE Serial:S9 Status:Volume Not Found\nErrMsg: Invalid Encryption Key File\n"
                  "GuiErrMsg<0x57>: Encryption Key Invalid.\n\r\nErrMsg: FilePath Is Missing.\n");

    // The controller's own refusal of a key of the wrong length.
    writeFile(path, keyFile(entry("E1", "S1", 3, QByteArray(64, 'k'))));
    QCOMPARE(run(kNew, "vsf dlkey path=" + p + "\n"),
             "\r\nVolume:E1 Serial:S1 Status:Encryption Key Assigned\nGuiErrMsg<0x56>: Encryption Key Length Invalid.\n");

    // Firmware before 1.44: nothing read, nothing sent.
    m_old->clearLog();
    QCOMPARE(run(kOld, "vsf dlkey path=" + p + "\n"),
             QByteArray("\r\nErrMsg: The Current Version Of Firmware Do Not Support This Function.\n"
                        "ErrMsg: Please Update Firmware Using Web-Based Manager\n"));
    QVERIFY(firmwareBlocks(*m_old).empty());
}

// A FIFO named as a key file is refused at once (opening it would wait for its other end and
// hold up the console), and the controller hears nothing of the command.
void TestCliVolKey::fifoPathsAreRefused_data()
{
    QTest::addColumn<QByteArray>("words");    // after "vsf "; @F the FIFO, @K a key file, @O a new name
    QTest::addColumn<QByteArray>("output");   // @F the FIFO's path

    QTest::newRow("dlkey") << QByteArray("dlkey path=@F") << QByteArray("GuiErrMsg<0x07>: Failed To Open File.\n");
    QTest::newRow("modkey source") << QByteArray("modkey srcpath=@F destpath=@O")
                                   << QByteArray("GuiErrMsg<0x07>: Failed To Open File.\n");
    QTest::newRow("modkey destination") << QByteArray("modkey srcpath=@K destpath=@F")
                                        << QByteArray("ErrMsg: Failed To Create FilePath In @F\n\n");
    QTest::newRow("genkey") << QByteArray("genkey path=@F") << "ErrMsg: File Already Exists.\n" + kFailure;
}

void TestCliVolKey::fifoPathsAreRefused()
{
    QFETCH(QByteArray, words);
    QFETCH(QByteArray, output);
    const QByteArray fifo = at("fifo").toLocal8Bit();
    ::unlink(fifo.constData());
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    writeFile(at("key"), keyFile(entry("E1", "S1", 3, QByteArray(32, 'k'))));
    words.replace("@F", fifo).replace("@K", at("key").toLocal8Bit()).replace("@O", at("out").toLocal8Bit());
    m_new->clearLog();
    const QByteArray out = run(kNew, "vsf " + words + "\n");
    ::unlink(fifo.constData());
    QCOMPARE(out, "\r\n" + output.replace("@F", fifo));
    QVERIFY(payloads(*m_new, 0x21).empty());   // no volume set was read, so no map was built
    QVERIFY(firmwareBlocks(*m_new).empty());
    QVERIFY(!QFile::exists(at("out")));
}

void TestCliVolKey::lockAndUnlock_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArrayList>("sent");   // 0x66 payloads

    QTest::newRow("lock") << QByteArray("vsf lock vol=3") << kOk << QByteArrayList{"02"};
    QTest::newRow("lock plain") << QByteArray("vsf lock vol=2") << QByteArray("ErrMsg: Not A Encrypted VolumeSet\n")
                                << QByteArrayList{};
    QTest::newRow("lock without a key") << QByteArray("vsf lock vol=1")
                                        << QByteArray("ErrMsg: Key Not Found. Please Assign A Key.\n") << QByteArrayList{};
    QTest::newRow("lock beyond the map") << QByteArray("vsf lock vol=4")
                                         << QByteArray("GuiErrMsg<0x12>: No Such Device.\n") << QByteArrayList{};
    QTest::newRow("lock two words") << QByteArray("vsf lock vol=3 x=1")
                                    << QByteArray("ErrMsg: Invalid Parameter. Use \"vsf -h\" For Details.\n")
                                    << QByteArrayList{};
    QTest::newRow("lock without vol") << QByteArray("vsf lock raid=1") << QByteArray("ErrMsg: VolumeSet# Is Missing.\n")
                                      << QByteArrayList{};
    QTest::newRow("unlock sends nothing") << QByteArray("vsf unlock vol=3")
                                          << QByteArray("GuiErrMsg<0x48>: Unsupported Command.\n") << QByteArrayList{};
}

void TestCliVolKey::lockAndUnlock()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);
    QFETCH(QByteArrayList, sent);
    m_new->clearLog();
    QCOMPARE(run(kNew, line + "\n"), "\r\n" + output);
    QByteArrayList got;
    for (const Bytes& p : payloads(*m_new, 0x66))
        got << QByteArray(reinterpret_cast<const char*>(p.data()), int(p.size())).toHex();
    QCOMPARE(got, sent);
    QCOMPARE(bool(m_new->volumeSet(2).flags() & sGUI_VOLUMESET::kFlagUnlocked), sent.isEmpty());
    QCOMPARE(run(kNew, "vsf lock vol=3\n"), QByteArray(sent.isEmpty() ? "\r\n" + kOk
                                                                      : "\r\nErrMsg: VolumeSet Already Locked\n"));
}

QTEST_GUILESS_MAIN(TestCliVolKey)
#include "test_cli_volkey.moc"
