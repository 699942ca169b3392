// Controller settings files against the simulator: the saved file byte for byte, the restore's
// writes in order, the fibre channel conversion, every refusal (no write, no file), the
// console's options of the shared core, a round trip onto a second controller, and the names
// of the first-seen backups.
#include "filesizelimit.h"
#include "controllerfixture.h"
#include "helper/romcfgfile.h"
#include "romcfgfixture.h"
#include "setuptable.h"

#include <QTemporaryDir>
#include <QtTest>

#include <random>

#include <sys/stat.h>
#include <unistd.h>

using namespace simtest;
using ctltest::ControllerRig;
using namespace romcfgtest;

namespace {

const char* const kAddress = "127.0.0.180";
const char* const kSecondAddress = "127.0.0.181";

} // namespace

class TestRomCfg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        fastPolls();
        QVERIFY(m_dir.isValid());
    }
    void cleanup()
    {
        m_second.stop();
        m_rig.stop();
    }

    void savedFileByteForByte_data();
    void savedFileByteForByte();
    void restoreWritesTheRestorableFieldsInOrder_data();
    void restoreWritesTheRestorableFieldsInOrder();
    void fibreConversion();
    void restoreRefusals_data();
    void restoreRefusals();
    void saveRefusals_data();
    void saveRefusals();
    void shortWriteRemovesThePartialFile();
    void consoleOptions();
    void roundTripOntoASecondController_data();
    void roundTripOntoASecondController();
    void backupNames_data();
    void backupNames();
    void firstSeenBackup();
    void firstSeenBackupTakesNoTakenName_data();
    void firstSeenBackupTakesNoTakenName();
    void newFilesAreTheOwnersAlone_data();
    void newFilesAreTheOwnersAlone();

private:
    // Empty, or why the rig did not start (a caller checks it: a failure here would only
    // return from the helper).
    [[nodiscard]] QString start(const zynsim::ControllerConfig& config)
    {
        return m_rig.start(kAddress, config);
    }
    QZynController* controller() { return m_rig.controller.get(); }
    zynsim::FakeController& ctl() { return *m_rig.ctl; }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    ControllerRig m_rig;
    ControllerRig m_second;
};

void TestRomCfg::savedFileByteForByte_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 0; layout < 4; ++layout)
        QTest::newRow(qPrintable(QString("layout %1").arg(layout))) << layout;
}

void TestRomCfg::savedFileByteForByte()
{
    QFETCH(int, layout);
    QCOMPARE(start(layoutConfig(layout)), QString());
    const QString file = path(QString("saved%1.bin").arg(layout));
    QVERIFY(writeFile(file, "an older file of another size"));   // the window overwrites
    QCOMPARE(Exe_Sys_SaveRomCfg_CFG_Cmd(controller(), file), 0);
    const QByteArray saved = readFile(file);
    const QByteArray expected = expectedFile(ctl());
    QCOMPARE(saved.size(), layout == 3 ? kLarge : kSmall);
    QCOMPARE(saved.toHex(), expected.toHex());
    // The private fields held something before they were zeroed.
    const QByteArray image = bytesOf(ctl().setupImage());
    for (const Private& p : kPrivate)
        QVERIFY2(image.mid(p.offset[layout], p.length) != QByteArray(p.length, '\0'), qPrintable(QString::number(p.id)));
    // Only reads were sent.
    QCOMPARE(setupWrites(ctl()), QList<Piece>());
}

void TestRomCfg::restoreWritesTheRestorableFieldsInOrder_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("refuseLong");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("stopId");   // the field whose refusal ends the restore; -1: none
    for (int layout = 0; layout < 4; ++layout)
        QTest::newRow(qPrintable(QString("layout %1").arg(layout))) << layout << false << 0 << -1;
    QTest::newRow("layout 1, long form refused: short form") << 1 << true << 0 << -1;
    // The short form cannot reach past 64 KiB: field 25 stops the restore, the fields before
    // it stay written.
    QTest::newRow("layout 3, long form refused: stops at field 25") << 3 << true << int('H') << 25;
}

void TestRomCfg::restoreWritesTheRestorableFieldsInOrder()
{
    QFETCH(int, layout);
    QFETCH(bool, refuseLong);
    QFETCH(int, result);
    QFETCH(int, stopId);
    QCOMPARE(start(layoutConfig(layout)), QString());
    const QString file = path("restore.bin");
    QCOMPARE(Exe_Sys_SaveRomCfg_CFG_Cmd(controller(), file), 0);
    // Other values in every byte of the image part, the identify record kept.
    QByteArray content = readFile(file);
    const QByteArray values = pattern(content.size() - kRecord, uint32_t(layout + 7));
    content.replace(0, values.size(), values);
    QVERIFY(writeFile(file, content));
    const QByteArray before = bytesOf(ctl().setupImage());
    ctl().setRefuseLongSetupWrites(refuseLong);
    ctl().clearLog();

    QCOMPARE(Exe_Sys_RestoreRomCfg_CFG_Cmd(controller(), file), result);
    QList<Piece> expected = restoredPieces(layout);
    QByteArray image = restoredImage(before, values, layout);
    if (refuseLong) {
        // Each field's first 'B' piece is refused, then the field goes again in the short form.
        expected = refusedLongPieces(layout, stopId);
        image = refusedLongImage(before, values, layout, stopId);
    }
    const QList<Piece> writes = setupWrites(ctl());
    QCOMPARE(writes.size(), expected.size());
    QCOMPARE(writes, expected);
    QCOMPARE(bytesOf(ctl().setupImage()).toHex(), image.toHex());
}

void TestRomCfg::fibreConversion()
{
    QCOMPARE(start(layoutConfig(3)), QString());
    QByteArray file = pattern(kSmall, 99);
    file.replace(kSmall - kRecord, kRecord, bytesOf(ctl().identifyString()).left(kIdentifyBytes) + QByteArray(16, '\0'));
    QVERIFY(writeFile(path("small.bin"), file));
    const QByteArray before = bytesOf(ctl().setupImage());
    ctl().clearLog();
    QCOMPARE(Exe_Sys_RestoreRomCfg_CFG_Cmd(controller(), path("small.bin")), 0);
    QCOMPARE(setupWrites(ctl()), restoredPieces(3));
    const QByteArray image = converted(file);
    QCOMPARE(bytesOf(ctl().setupImage()).toHex(), restoredImage(before, image, 3).toHex());
    // The spots the conversion names.
    QCOMPARE(bytesOf(ctl().setupImage()).mid(4740, 160), file.mid(1284, 160));
    QCOMPARE(bytesOf(ctl().setupImage()).mid(86660, 104), file.mid(21764, 104));
    QCOMPARE(RomCfgFile::ConvertSmallImage(file).toHex(), image.toHex());
}

void TestRomCfg::restoreRefusals_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("size");        // the file's size; -1: no file, -2: a folder
    QTest::addColumn<int>("identity");    // 0 the controller's, 1 another model, 2 other case, 3 differs after 28
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("modelNumber"); // 0: the default

    QTest::newRow("layout 0, empty file") << 0 << 0 << 0 << 1 << 0;
    QTest::newRow("layout 0, 63 bytes") << 0 << 63 << 0 << 1 << 0;
    QTest::newRow("layout 0, the record alone") << 0 << 64 << 0 << 1 << 0;
    QTest::newRow("layout 0, one byte short") << 0 << kSmall - 1 << 0 << 1 << 0;
    QTest::newRow("layout 0, one byte long") << 0 << kSmall + 1 << 0 << 1 << 0;
    QTest::newRow("layout 0, a large file") << 0 << kLarge << 0 << 1 << 0;
    QTest::newRow("layout 1, a large file") << 1 << kLarge << 0 << 1 << 0;
    QTest::newRow("layout 2, a large file") << 2 << kLarge << 0 << 1 << 0;
    QTest::newRow("layout 3, one byte short") << 3 << kLarge - 1 << 0 << 1 << 0;
    QTest::newRow("layout 3, one byte long") << 3 << kLarge + 1 << 0 << 1 << 0;
    QTest::newRow("layout 3, 200000 bytes") << 3 << 200000 << 0 << 1 << 0;
    QTest::newRow("layout 3, small file one byte short") << 3 << kSmall - 1 << 0 << 1 << 0;
    QTest::newRow("layout 0, another model") << 0 << kSmall << 1 << 1 << 0;
    QTest::newRow("layout 3, another model") << 3 << kLarge << 1 << 1 << 0;
    QTest::newRow("layout 3, small file of another model") << 3 << kSmall << 1 << 1 << 0;
    QTest::newRow("no file") << 0 << -1 << 0 << 1 << 0;
    QTest::newRow("a folder") << 3 << -2 << 0 << 1 << 0;
    QTest::newRow("path too long") << 0 << -3 << 0 << 1 << 0;
    QTest::newRow("no layout (E100)") << 0 << kSmall << 0 << 72 << int(zynident::kModelE100);
    // Accepted: letter case and what follows the 28th character do not count.
    QTest::newRow("layout 0, other letter case") << 0 << kSmall << 2 << 0 << 0;
    QTest::newRow("layout 3, differs after 28") << 3 << kLarge << 3 << 0 << 0;
}

void TestRomCfg::restoreRefusals()
{
    QFETCH(int, layout);
    QFETCH(int, size);
    QFETCH(int, identity);
    QFETCH(int, result);
    QFETCH(int, modelNumber);
    zynsim::ControllerConfig config = layoutConfig(layout);
    if (modelNumber != 0) {
        config.profile = zynsim::Profile::Older;
        config.modelNumber = modelNumber;
    }
    QCOMPARE(start(config), QString());
    QString file = path("refused.bin");
    QFile::remove(file);
    if (size == -2) {
        file = path("folder.bin");
        QVERIFY(QDir().mkpath(file));
    } else if (size == -3) {
        file = path(QString(520, QLatin1Char('x')));
    } else if (size >= 0) {
        QByteArray content = pattern(size, 5);
        if (size >= kRecord) {
            QByteArray id = bytesOf(ctl().identifyString()).left(kIdentifyBytes);
            if (identity == 1)
                id[3] = char(id[3] ^ 0x01);
            if (identity == 2)
                id = id.toLower();
            if (identity == 3)
                id[kIdentifyBytes - 1] = char(id[kIdentifyBytes - 1] ^ 0x55);
            content.replace(size - kRecord, kRecord, id + QByteArray(16, '\0'));
            if (identity == 3)
                QCOMPARE(id.left(28), bytesOf(ctl().identifyString()).left(28));
        }
        QVERIFY(writeFile(file, content));
    }
    const QByteArray before = bytesOf(ctl().setupImage());
    ctl().clearLog();
    QCOMPARE(Exe_Sys_RestoreRomCfg_CFG_Cmd(controller(), file), result);
    if (result != 0) {
        QCOMPARE(setupWrites(ctl()), QList<Piece>());
        QCOMPARE(bytesOf(ctl().setupImage()), before);
    } else {
        QCOMPARE(setupWrites(ctl()), restoredPieces(layout));
    }
}

void TestRomCfg::saveRefusals_data()
{
    QTest::addColumn<QString>("target");   // "" : a file in the temporary folder; "|name": a FIFO there
    QTest::addColumn<int>("fault");        // 0 none, 1 identify refused, 2 page read refused, 3 E100
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("contacted");   // the controller heard a command

    QTest::newRow("identify refused") << QString() << 1 << int('G') << true;
    QTest::newRow("page read refused") << QString() << 2 << int('G') << true;
    QTest::newRow("no layout") << QString() << 3 << 72 << true;
    QTest::newRow("full device") << "/dev/full" << 0 << 1 << true;
    QTest::newRow("missing folder") << "missing/x.bin" << 0 << 1 << true;
    QTest::newRow("path too long") << QString(600, QLatin1Char('y')) << 0 << 1 << false;
    QTest::newRow("read-only folder") << "readonly/x.bin" << 0 << 1 << true;
    QTest::newRow("a file as folder") << "@plain/x.bin" << 0 << 1 << true;
    // Opening a FIFO would wait for a reader: refused before the controller hears anything.
    QTest::newRow("a FIFO") << "|fifo.bin" << 0 << 1 << false;
}

void TestRomCfg::saveRefusals()
{
    QFETCH(QString, target);
    QFETCH(int, fault);
    QFETCH(int, result);
    QFETCH(bool, contacted);
    if (target.startsWith("readonly") && ::geteuid() == 0)
        QSKIP("the superuser writes into a read-only folder");
    zynsim::ControllerConfig config = layoutConfig(3);
    if (fault == 3) {
        config.profile = zynsim::Profile::Older;
        config.modelNumber = int(zynident::kModelE100);
    }
    QCOMPARE(start(config), QString());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir().mkpath(dir.filePath("readonly")));
    QVERIFY(QFile::setPermissions(dir.filePath("readonly"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QVERIFY(writeFile(path("plain"), "a file, not a folder"));
    QString file = target.isEmpty() ? dir.filePath("x.bin") : target.startsWith('/') ? target : dir.filePath(target);
    if (target.startsWith('@'))
        file = path(target.mid(1));
    if (target.startsWith('|')) {
        file = dir.filePath(target.mid(1));
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    }
    if (fault == 1)
        ctl().script(0x13, 1, zynsim::Answer::status('G'));
    if (fault == 2)
        ctl().script(0x1F, 1, zynsim::Answer::status('G'));
    ctl().clearLog();
    QCOMPARE(Exe_Sys_SaveRomCfg_CFG_Cmd(controller(), file), result);
    QCOMPARE(!ctltest::commandsReceived(ctl()).empty(), contacted);
    QCOMPARE(setupWrites(ctl()), QList<Piece>());
    QStringList left;
    QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        left << it.next();
    QCOMPARE(left, QStringList());
    QVERIFY(QFileInfo("/dev/full").exists());
    QFile::setPermissions(dir.filePath("readonly"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestRomCfg::shortWriteRemovesThePartialFile()
{
    QCOMPARE(start(layoutConfig(0)), QString());
    // A file size limit stands in for a full disk: the write stops short.
    FileSizeLimit limit(4096);
    QVERIFY(limit.isSet());
    const int rc = Exe_Sys_SaveRomCfg_CFG_Cmd(controller(), path("partial.bin"));
    limit.lift();
    QCOMPARE(rc, 1);
    QVERIFY(!QFile::exists(path("partial.bin")));
}

void TestRomCfg::consoleOptions()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    // An existing file is refused before the controller hears anything.
    const QString existing = path("existing.bin");
    QVERIFY(writeFile(existing, "keep"));
    RomCfgFile::SaveOptions console;
    console.refuseExisting = true;
    console.writeOnFailedRead = true;
    ctl().clearLog();
    RomCfgFile::Result r = RomCfgFile::Save(*controller(), existing, console);
    QCOMPARE(int(r.status), int(RomCfgFile::Status::FileExists));
    QCOMPARE(readFile(existing), QByteArray("keep"));
    // Nothing of a save reached the controller: no identify read, no page read (a late repeat
    // of an earlier frame may still arrive on a busy machine, so the log as a whole is not judged).
    QCOMPARE(ctl().framesReceived(0x13), 0);
    QCOMPARE(ctl().framesReceived(0x1F), 0);

    // A failed page read still leaves the whole file, zeros where nothing was read, no record.
    const QString fresh = path("fresh.bin");
    QFile::remove(fresh);
    ctl().script(0x1F, 1, zynsim::Answer::status('G'));
    r = RomCfgFile::Save(*controller(), fresh, console);
    QCOMPARE(int(r.status), int(RomCfgFile::Status::ReadFailed));
    QCOMPARE(r.code, u32('G'));
    QVERIFY(r.fileWritten);
    QCOMPARE(readFile(fresh), QByteArray(kSmall, '\0'));
    // Such a file fails the model check of a restore.
    ctl().clearLog();
    r = RomCfgFile::Restore(*controller(), fresh, RomCfgFile::RestorePath::Fibre);
    QCOMPARE(int(r.status), int(RomCfgFile::Status::ModelMismatch));
    QCOMPARE(setupWrites(ctl()), QList<Piece>());

    // The same core saves a good file for the console.
    QFile::remove(fresh);
    r = RomCfgFile::Save(*controller(), fresh, console);
    QCOMPARE(int(r.status), int(RomCfgFile::Status::Ok));
    QCOMPARE(readFile(fresh).toHex(), expectedFile(ctl()).toHex());
}

void TestRomCfg::roundTripOntoASecondController_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("passwordMode");   // the second controller wants a log-in for writes
    QTest::newRow("layout 0") << 0 << false;
    QTest::newRow("layout 3") << 3 << false;
    QTest::newRow("layout 3, password mode") << 3 << true;
}

void TestRomCfg::roundTripOntoASecondController()
{
    QFETCH(int, layout);
    QFETCH(bool, passwordMode);
    QCOMPARE(start(layoutConfig(layout)), QString());
    zynsim::ControllerConfig other = layoutConfig(layout);
    other.password = "9999";
    const QString error = m_second.start(kSecondAddress, other);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_second.ctl->setPasswordRequired(passwordMode);
    // The first controller's settings differ from the factory ones.
    QByteArray source = bytesOf(ctl().setupImage());
    const QByteArray changed = pattern(source.size(), 17);
    QVERIFY(ctl().setSetupImage(Bytes(changed.begin(), changed.end())));
    source = changed;

    const QString file = path("roundtrip.bin");
    QCOMPARE(Exe_Sys_SaveRomCfg_CFG_Cmd(controller(), file), 0);
    const QByteArray before = bytesOf(m_second.ctl->setupImage());
    QCOMPARE(Exe_Sys_RestoreRomCfg_CFG_Cmd(m_second.controller.get(), file), 0);
    const QByteArray after = bytesOf(m_second.ctl->setupImage());
    QCOMPARE(after.toHex(), restoredImage(before, source, layout).toHex());
    // The second keeps its own password, identity and serial.
    for (const Private& p : kPrivate)
        QCOMPARE(after.mid(p.offset[layout], p.length), before.mid(p.offset[layout], p.length));
    QCOMPARE(m_second.ctl->password(), std::string("9999"));
    // In password mode the command road logged in once, at the first refused write.
    QCOMPARE(m_second.ctl->framesReceived(0x14), passwordMode ? 1 : 0);
}

void TestRomCfg::backupNames_data()
{
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QByteArray("Y123456789012345") << "Y123456789012345";
    QTest::newRow("padded with NULs") << QByteArray("Y1234\0\0\0\0\0\0\0\0\0\0\0", 16) << "Y1234";
    QTest::newRow("text after a NUL") << QByteArray("AB\0/../etc", 10) << "AB";
    QTest::newRow("empty") << QByteArray(16, '\0') << "";
    QTest::newRow("dot") << QByteArray(".\0", 2) << "";
    QTest::newRow("dot dot") << QByteArray("..\0\0", 4) << "";
    QTest::newRow("three dots") << QByteArray("...") << "...";
    QTest::newRow("slash") << QByteArray("a/b") << "";
    QTest::newRow("parent path") << QByteArray("../../tmp/x") << "";
    QTest::newRow("Latin-1") << QByteArray("S\xe9rie") << QString::fromLatin1("S\xe9rie");
}

void TestRomCfg::backupNames()
{
    QFETCH(QByteArray, serial);
    QFETCH(QString, name);
    QCOMPARE(RomCfgFile::BackupNameOf(serial), name);
}

void TestRomCfg::firstSeenBackup()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir().mkpath(dir.filePath("app")));
    const QString app = dir.filePath("app");
    struct Case {
        const char* serial;
        const char* file;   // null: nothing is written anywhere
    };
    const Case cases[] = {
        {"Y000000000000180", "Y000000000000180.bin"},
        {"..", nullptr},
        {"../escaped", nullptr},
    };
    for (const Case& c : cases) {
        zynsim::ControllerConfig config = layoutConfig(0);
        config.serial = c.serial;
        QCOMPARE(start(config), QString());
        const QString written = SaveFirstSeenRomCfg(controller(), app);
        QStringList files;
        QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(dir.path()).relativeFilePath(it.next());
        if (c.file == nullptr) {
            QCOMPARE(written, QString());
            QCOMPARE(files, QStringList());
            m_rig.stop();
            continue;
        }
        QCOMPARE(files, QStringList{QStringLiteral("app/") + c.file});
        QCOMPARE(written, app + "/" + c.file);
        QCOMPARE(readFile(written).toHex(), expectedFile(ctl()).toHex());
        // Seen again: the first copy stays, nothing is read.
        QVERIFY(writeFile(written, "first"));
        ctl().clearLog();
        QCOMPARE(SaveFirstSeenRomCfg(controller(), app), QString());
        QCOMPARE(readFile(written), QByteArray("first"));
        QCOMPARE(ctl().framesReceived(0x1F), 0);
        QFile::remove(written);
        m_rig.stop();
    }
}

void TestRomCfg::firstSeenBackupTakesNoTakenName_data()
{
    QTest::addColumn<QString>("taken");   // what holds the backup's name
    QTest::newRow("a link that leads nowhere") << "dangling link";
    QTest::newRow("a link to a file") << "file link";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a named pipe") << "fifo";
}

void TestRomCfg::firstSeenBackupTakesNoTakenName()
{
    QFETCH(QString, taken);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    zynsim::ControllerConfig config = layoutConfig(0);
    config.serial = "Y000000000000182";
    QCOMPARE(start(config), QString());
    const QString name = dir.filePath("Y000000000000182.bin");
    const QString target = dir.filePath("target");
    if (taken == QLatin1String("dangling link")) {
        QVERIFY(QFile::link(target, name));
    } else if (taken == QLatin1String("file link")) {
        QVERIFY(writeFile(target, "kept"));
        QVERIFY(QFile::link(target, name));
    } else if (taken == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(name));
    } else {
        QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
    }
    ctl().clearLog();
    QCOMPARE(SaveFirstSeenRomCfg(controller(), dir.path()), QString());
    // Nothing written through the link, nothing read from the controller.
    QCOMPARE(readFile(target), taken == QLatin1String("file link") ? QByteArray("kept") : QByteArray());
    QCOMPARE(QFileInfo::exists(target), taken == QLatin1String("file link"));
    QCOMPARE(ctl().framesReceived(0x1F), 0);
}

void TestRomCfg::newFilesAreTheOwnersAlone_data()
{
    QTest::addColumn<int>("writer");   // 0 the window's save, 1 the console's options, 2 the first-seen backup
    QTest::newRow("window") << 0;
    QTest::newRow("console") << 1;
    QTest::newRow("first-seen backup") << 2;
}

void TestRomCfg::newFilesAreTheOwnersAlone()
{
    QFETCH(int, writer);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    zynsim::ControllerConfig config = layoutConfig(1);
    config.serial = "Y000000000000183";
    QCOMPARE(start(config), QString());
    const QString file = dir.filePath("Y000000000000183.bin");
    const mode_t oldMask = ::umask(022);   // the usual mask, which leaves files readable by all
    if (writer == 0) {
        QCOMPARE(Exe_Sys_SaveRomCfg_CFG_Cmd(controller(), file), 0);
    } else if (writer == 1) {
        RomCfgFile::SaveOptions console;
        console.refuseExisting = true;
        console.writeOnFailedRead = true;
        QCOMPARE(int(RomCfgFile::Save(*controller(), file, console).status), int(RomCfgFile::Status::Ok));
    } else {
        QCOMPARE(SaveFirstSeenRomCfg(controller(), dir.path()), file);
    }
    ::umask(oldMask);
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0600);
    QCOMPARE(readFile(file).toHex(), expectedFile(ctl()).toHex());
}

QTEST_GUILESS_MAIN(TestRomCfg)
#include "test_romcfg.moc"
