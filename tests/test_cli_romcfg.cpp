// sys savebin and sys restorebin through the command-line engine against the simulator: the
// whole console text of each line, the saved file byte for byte on every layout, the restore's
// writes and the image they leave, the fibre channel conversion, every refusal with nothing
// written (no file, no setup write), and files passing between the console and the main
// window's save and restore.
#include "filesizelimit.h"
#include "cli/cli-zynmsr.h"
#include "cli/output.h"
#include "controllerfixture.h"
#include "helper/romcfgfile.h"
#include "romcfgfixture.h"

#include <QTemporaryDir>
#include <QtTest>

#include <thread>



using namespace simtest;
using ctltest::ControllerRig;
using namespace romcfgtest;

namespace {

const char* const kAddress = "127.0.1.30";
const char* const kSecondAddress = "127.0.1.31";
const char kPassword[] = "0000";
// A reply may be slow with every core busy; a page read repeated after a lost reply is not
// what these tests are about.
constexpr int kExchangeSeconds = 10;

const QByteArray kOk = "GuiErrMsg<0x00>: Success.\n";
const QByteArray kFailure = "GuiErrMsg<0x01>: Failure.\n";
const QByteArray kSaving = "Message: Saving...Please Wait, It May Take Few Minutes\n";
const QByteArray kRestoring = "Message: Restoring...Please Wait, It May Take Few Minutes\n";
const QByteArray kRestart = "Message: Please Restart Controller To Take Effect\n";
const QByteArray kRestored = kRestoring + kRestart + kOk;
const QByteArray kBadSize = "ErrMsg: Invalid File Size.\n" + kFailure;
const QByteArray kOtherModel = "ErrMsg: The Controller Model Must Be The Same To Restore\n" + kFailure;
const QByteArray kRefusedG = "GuiErrMsg<0x47>: Invalid Parameter.\n";

// The engine as the console drives it, on one controller; collects what it prints per line.
class Console {
public:
    explicit Console(QZynController* controller)
    {
        m_connection = QObject::connect(&cliout_zynmsr, &CliMessage::Display,
                                        [this](const QString& text) { m_out += text.toLatin1(); });
        CZynlibCLI::PasswordDialogs dialogs;
        dialogs.ask = [](const QString&, QString* out) {
            *out = QString::fromLatin1(kPassword);
            return true;
        };
        dialogs.refuse = [](const QString&, const QString&) {};
        m_engine.SetPasswordDialogs(dialogs);
        m_engine.SetCtrl(controller);
    }
    ~Console()
    {
        QObject::disconnect(m_connection);
        m_engine.SetCtrl(nullptr);
    }
    // What one typed line prints, without the line break the engine puts first.
    QByteArray run(const QString& line)
    {
        m_out.clear();
        m_engine.ProcessCmd(line.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        return m_out.startsWith("\r\n") ? m_out.mid(2) : "(no line break) " + m_out;
    }

private:
    CZynlibCLI m_engine;
    QByteArray m_out;
    QMetaObject::Connection m_connection;
};

} // namespace

class TestCliRomCfg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        fastPolls();
        QVERIFY(m_dir.isValid());
    }
    void cleanup()
    {
        m_console.reset();
        m_second.stop();
        m_rig.stop();
    }

    void savedFileByteForByte_data();
    void savedFileByteForByte();
    void saveRefusals_data();
    void saveRefusals();
    void shortWriteLeavesNoFile();
    void restoreWrites_data();
    void restoreWrites();
    void restoreRefusals_data();
    void restoreRefusals();
    void fibreConversion();
    void smallFileCarriesNoLayoutMark();
    void filesPassBetweenConsoleAndWindow_data();
    void filesPassBetweenConsoleAndWindow();

private:
    // Empty, or why the rig and its console did not start (a caller checks it: a failure here
    // would only return from the helper).
    [[nodiscard]] QString start(const zynsim::ControllerConfig& config)
    {
        const QString error = m_rig.start(kAddress, config, kExchangeSeconds);
        if (!error.isEmpty())
            return error;
        m_console = std::make_unique<Console>(m_rig.controller.get());
        // The log-in of the first command is behind us before the lines under test run.
        const QByteArray first = m_console->run("fcc ?");
        if (!first.startsWith('\n'))
            return QStringLiteral("the first console line printed: ") + QString::fromLatin1(first);
        ctl().clearLog();
        return QString();
    }
    zynsim::FakeController& ctl() { return *m_rig.ctl; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray run(const QString& line) { return m_console->run(line); }

    QTemporaryDir m_dir;
    ControllerRig m_rig;
    ControllerRig m_second;
    std::unique_ptr<Console> m_console;
};

void TestCliRomCfg::savedFileByteForByte_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 0; layout < 4; ++layout)
        QTest::newRow(qPrintable(QString("layout %1").arg(layout))) << layout;
}

void TestCliRomCfg::savedFileByteForByte()
{
    QFETCH(int, layout);
    QCOMPARE(start(layoutConfig(layout)), QString());
    const QString file = path(QString("saved%1.bin").arg(layout));
    QFile::remove(file);
    QCOMPARE(run("sys savebin path=" + file), kSaving + kOk);
    const QByteArray saved = readFile(file);
    QCOMPARE(saved.size(), layout == 3 ? kLarge : kSmall);
    QCOMPARE(saved.toHex(), expectedFile(ctl()).toHex());
    // The private fields held something before they were zeroed; nothing was written.
    const QByteArray image = bytesOf(ctl().setupImage());
    for (const Private& p : kPrivate)
        QVERIFY(image.mid(p.offset[layout], p.length) != QByteArray(p.length, '\0'));
    QCOMPARE(setupWrites(ctl()), QList<Piece>());
}

void TestCliRomCfg::saveRefusals_data()
{
    QTest::addColumn<QString>("target");   // the path typed; "@x" is x in the test folder
    QTest::addColumn<int>("fault");        // 0 none, 1 identify refused, 2 page read refused, 3 E100,
                                           // 4 another controller at the address after a quiet second
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("contacted");   // the controller heard a command

    const QByteArray invalid = "ErrMsg: Invalid Parameter.\n";
    const QByteArray cannot = kSaving + "ErrMsg: Failed To Create File.\nGuiErrMsg<0x04>: Failed To Write To Media.\n";
    QTest::newRow("no path") << QString() << 0 << invalid << false;
    QTest::newRow("empty path") << QString("") << 0 << invalid << false;
    QTest::newRow("path too long") << QString(600, QLatin1Char('y')) << 0 << invalid << false;
    QTest::newRow("existing file") << QString("@existing.bin") << 0
                                   << "ErrMsg: File Already Exists.\n" + kFailure << false;
    QTest::newRow("existing device") << QString("/dev/null") << 0 << "ErrMsg: File Already Exists.\n" + kFailure
                                     << false;
    QTest::newRow("identify refused") << QString("@x.bin") << 1 << kRefusedG << true;
    QTest::newRow("page read refused: no file") << QString("@x.bin") << 2 << kSaving + kRefusedG << true;
    QTest::newRow("no layout") << QString("@x.bin") << 3 << QByteArray("GuiErrMsg<0x48>: Unsupported Command.\n")
                               << true;
    QTest::newRow("another controller: no file") << QString("@x.bin") << 4
                                                 << QByteArray("GuiErrMsg<0x15>: Controller Failed or Inactive.\n") << true;
    QTest::newRow("missing folder") << QString("@missing/x.bin") << 0 << cannot << true;
    QTest::newRow("a file as folder") << QString("@existing.bin/x.bin") << 0 << cannot << true;
}

void TestCliRomCfg::saveRefusals()
{
    QFETCH(QString, target);
    QFETCH(int, fault);
    QFETCH(QByteArray, output);
    QFETCH(bool, contacted);
    zynsim::ControllerConfig config = layoutConfig(0);
    if (fault == 3) {
        config.profile = zynsim::Profile::Older;
        config.modelNumber = int(zynident::kModelE100);
    }
    QCOMPARE(start(config), QString());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath("existing.bin"), "keep"));
    QString line = "sys savebin";
    if (!target.isNull())
        line += " path=" + (target.startsWith('@') ? dir.filePath(target.mid(1)) : target);
    if (fault == 1)
        ctl().script(0x13, 1, zynsim::Answer::status('G'));
    if (fault == 2)
        ctl().script(0x1F, 1, zynsim::Answer::status('G'));
    if (fault == 4) {
        ctltest::answerAsAnother(ctl(), "Y000000000000997");
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    ctl().clearLog();
    QCOMPARE(run(line), output);
    QCOMPARE(!ctltest::commandsReceived(ctl()).empty(), contacted);
    QCOMPARE(setupWrites(ctl()), QList<Piece>());
    QStringList left;
    QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        left << QDir(dir.path()).relativeFilePath(it.next());
    QCOMPARE(left, QStringList{"existing.bin"});
    QCOMPARE(readFile(dir.filePath("existing.bin")), QByteArray("keep"));
}

void TestCliRomCfg::shortWriteLeavesNoFile()
{
    QCOMPARE(start(layoutConfig(0)), QString());
    // A file size limit stands in for a full disk: the write stops short.
    FileSizeLimit limit(4096);
    QVERIFY(limit.isSet());
    const QByteArray out = run("sys savebin path=" + path("partial.bin"));
    limit.lift();
    QCOMPARE(out, kSaving + "ErrMsg: Failed To Create File.\nGuiErrMsg<0x04>: Failed To Write To Media.\n");
    QVERIFY(!QFile::exists(path("partial.bin")));
}

void TestCliRomCfg::restoreWrites_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("refuseLong");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("stopId");   // the field whose refusal ends the restore; -1: none
    for (int layout = 0; layout < 4; ++layout)
        QTest::newRow(qPrintable(QString("layout %1").arg(layout))) << layout << false << kRestored << -1;
    // The short form cannot reach past 64 KiB: field 25 stops the restore, the fields before
    // it stay written, and there is no restart message.
    QTest::newRow("layout 3, long form refused: stops at field 25")
        << 3 << true << kRestoring + "GuiErrMsg<0x48>: Unsupported Command.\n" << 25;
}

void TestCliRomCfg::restoreWrites()
{
    QFETCH(int, layout);
    QFETCH(bool, refuseLong);
    QFETCH(QByteArray, output);
    QFETCH(int, stopId);
    QCOMPARE(start(layoutConfig(layout)), QString());
    const QString file = path("restore.bin");
    QFile::remove(file);
    QCOMPARE(run("sys savebin path=" + file), kSaving + kOk);
    // Other values in every byte of the image part, the identify record kept.
    QByteArray content = readFile(file);
    const QByteArray values = pattern(content.size() - kRecord, uint32_t(layout + 11));
    content.replace(0, values.size(), values);
    QVERIFY(writeFile(file, content));
    const QByteArray before = bytesOf(ctl().setupImage());
    ctl().setRefuseLongSetupWrites(refuseLong);
    ctl().clearLog();

    QCOMPARE(run("sys restorebin path=" + file), output);
    QList<Piece> expected = restoredPieces(layout);
    QByteArray image = restoredImage(before, values, layout);
    if (refuseLong) {
        // Each field's first 'B' piece is refused, then the field goes again in the short form.
        expected = refusedLongPieces(layout, stopId);
        image = refusedLongImage(before, values, layout, stopId);
    }
    QCOMPARE(setupWrites(ctl()), expected);
    const QByteArray after = bytesOf(ctl().setupImage());
    QCOMPARE(after.toHex(), image.toHex());
    for (const Private& p : kPrivate)
        QCOMPARE(after.mid(p.offset[layout], p.length), before.mid(p.offset[layout], p.length));
}

void TestCliRomCfg::restoreRefusals_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("size");       // the file's size; -1 no file, -2 a folder, -3 no path,
                                         // -4 path too long
    QTest::addColumn<int>("identity");   // 0 the controller's, 1 another model, 2 other case,
                                         // 3 differs after 28, 4 none (zeros), 5 identify refused,
                                         // 6 none, and the controller's identify reads empty
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("modelNumber");   // 0: the default

    const QByteArray cannotOpen = "GuiErrMsg<0x07>: Failed To Open File.\n";
    QTest::newRow("no path") << 0 << -3 << 0 << QByteArray("ErrMsg: FilePath Is Missing.\n") << 0;
    QTest::newRow("no path, fibre model") << 3 << -3 << 0 << QByteArray("ErrMsg: FilePath Is Missing.\n") << 0;
    QTest::newRow("path too long") << 0 << -4 << 0 << QByteArray("ErrMsg: Invalid Parameter.\n") << 0;
    QTest::newRow("no file") << 0 << -1 << 0 << cannotOpen << 0;
    QTest::newRow("no file, fibre model") << 2 << -1 << 0 << cannotOpen << 0;
    QTest::newRow("a folder") << 3 << -2 << 0 << cannotOpen << 0;
    QTest::newRow("layout 0, empty file") << 0 << 0 << 0 << kBadSize << 0;
    QTest::newRow("layout 0, 63 bytes") << 0 << 63 << 0 << kBadSize << 0;
    QTest::newRow("layout 0, the record alone") << 0 << 64 << 0 << kBadSize << 0;
    QTest::newRow("layout 0, one byte short") << 0 << kSmall - 1 << 0 << kBadSize << 0;
    QTest::newRow("layout 0, one byte long") << 0 << kSmall + 1 << 0 << kBadSize << 0;
    QTest::newRow("layout 0, a large file") << 0 << kLarge << 0 << kBadSize << 0;
    QTest::newRow("layout 1, a large file") << 1 << kLarge << 0 << kBadSize << 0;
    QTest::newRow("layout 2, a large file") << 2 << kLarge << 0 << kBadSize << 0;
    QTest::newRow("layout 3, one byte short") << 3 << kLarge - 1 << 0 << kBadSize << 0;
    QTest::newRow("layout 3, one byte long") << 3 << kLarge + 1 << 0 << kBadSize << 0;
    QTest::newRow("layout 3, 200000 bytes") << 3 << 200000 << 0 << kBadSize << 0;
    QTest::newRow("layout 3, small file one byte short") << 3 << kSmall - 1 << 0 << kBadSize << 0;
    QTest::newRow("layout 0, another model") << 0 << kSmall << 1 << kOtherModel << 0;
    QTest::newRow("layout 3, small file of another model") << 3 << kSmall << 1 << kOtherModel << 0;
    QTest::newRow("layout 0, no identify record") << 0 << kSmall << 4 << kOtherModel << 0;
    QTest::newRow("layout 3, no identify record") << 3 << kLarge << 4 << kOtherModel << 0;
    QTest::newRow("layout 0, no identify record, none read either") << 0 << kSmall << 6 << kOtherModel << 0;
    QTest::newRow("layout 3, no identify record, none read either") << 3 << kLarge << 6 << kOtherModel << 0;
    QTest::newRow("identify refused") << 0 << kSmall << 5 << kRefusedG << 0;
    QTest::newRow("identify refused, fibre model") << 3 << kLarge << 5 << kRefusedG << 0;
    QTest::newRow("no layout (E100)") << 0 << kSmall << 0 << QByteArray("GuiErrMsg<0x48>: Unsupported Command.\n")
                                      << int(zynident::kModelE100);
    // Accepted: letter case and what follows the 28th character do not count.
    QTest::newRow("layout 0, other letter case") << 0 << kSmall << 2 << kRestored << 0;
    QTest::newRow("layout 3, differs after 28") << 3 << kLarge << 3 << kRestored << 0;
}

void TestCliRomCfg::restoreRefusals()
{
    QFETCH(int, layout);
    QFETCH(int, size);
    QFETCH(int, identity);
    QFETCH(QByteArray, output);
    QFETCH(int, modelNumber);
    zynsim::ControllerConfig config = layoutConfig(layout);
    if (modelNumber != 0) {
        config.profile = zynsim::Profile::Older;
        config.modelNumber = modelNumber;
    }
    QCOMPARE(start(config), QString());
    QString file = path("refused.bin");
    QFile::remove(file);
    QString line = "sys restorebin path=" + file;
    if (size == -2) {
        file = path("folder.bin");
        QVERIFY(QDir().mkpath(file));
        line = "sys restorebin path=" + file;
    } else if (size == -3) {
        line = "sys restorebin file=" + file;
    } else if (size == -4) {
        line = "sys restorebin path=" + QString(600, QLatin1Char('z'));
    } else if (size >= 0) {
        QByteArray content = pattern(size, 5);
        if (size >= kRecord) {
            QByteArray id = identityOf(ctl()).left(kIdentifyBytes);
            if (identity == 1)
                id[3] = char(id[3] ^ 0x01);
            if (identity == 2)
                id = id.toLower();
            if (identity == 3)
                id[kIdentifyBytes - 1] = char(id[kIdentifyBytes - 1] ^ 0x55);
            if (identity == 4 || identity == 6)
                id.fill('\0');
            content.replace(size - kRecord, kRecord, id + QByteArray(16, '\0'));
        }
        QVERIFY(writeFile(file, content));
    }
    if (identity == 5)
        ctl().script(0x13, 1, zynsim::Answer::status('G'));
    if (identity == 6)
        ctl().script(0x13, 1, zynsim::Answer::data(Bytes(kRecord, 0)));
    const QByteArray before = bytesOf(ctl().setupImage());
    ctl().clearLog();
    QCOMPARE(run(line), output);
    if (output != kRestored) {
        QCOMPARE(setupWrites(ctl()), QList<Piece>());
        QCOMPARE(bytesOf(ctl().setupImage()), before);
    } else {
        QCOMPARE(setupWrites(ctl()), restoredPieces(layout));
    }
}

void TestCliRomCfg::fibreConversion()
{
    QCOMPARE(start(layoutConfig(3)), QString());
    QByteArray file = pattern(kSmall, 99);
    file.replace(kSmall - kRecord, kRecord, identityOf(ctl()));
    QVERIFY(writeFile(path("small.bin"), file));
    const QByteArray before = bytesOf(ctl().setupImage());
    ctl().clearLog();
    QCOMPARE(run("sys restorebin path=" + path("small.bin")), kRestored);
    QCOMPARE(setupWrites(ctl()), restoredPieces(3));
    const QByteArray after = bytesOf(ctl().setupImage());
    QCOMPARE(after.toHex(), restoredImage(before, converted(file), 3).toHex());
    // The spots the conversion names: the first and last block, the tail.
    QCOMPARE(after.mid(4740, 160), file.mid(1284, 160));
    QCOMPARE(after.mid(4740 + 3 * 640, 160), file.mid(1284 + 3 * 160, 160));
    QCOMPARE(after.mid(4740 + 31 * 2560 + 3 * 640, 160), file.mid(1284 + 31 * 640 + 480, 160));
    QCOMPARE(after.mid(86660, 104), file.mid(21764, 104));
}

// A small file says nothing of its layout: a file saved from a layout-1 controller restores
// onto a layout-3 controller of the same model through the conversion table of layout 2.
void TestCliRomCfg::smallFileCarriesNoLayoutMark()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    zynsim::ControllerConfig large = layoutConfig(3);
    const QString error = m_second.start(kSecondAddress, large, kExchangeSeconds);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(identityOf(*m_second.ctl), identityOf(ctl()));
    const QString file = path("layout1.bin");
    QFile::remove(file);
    QCOMPARE(run("sys savebin path=" + file), kSaving + kOk);
    const QByteArray saved = readFile(file);
    QCOMPARE(saved.size(), kSmall);

    Console second(m_second.controller.get());
    QCOMPARE(second.run("fcc ?").left(1), QByteArray("\n"));
    const QByteArray before = bytesOf(m_second.ctl->setupImage());
    m_second.ctl->clearLog();
    QCOMPARE(second.run("sys restorebin path=" + file), kRestored);
    QCOMPARE(bytesOf(m_second.ctl->setupImage()).toHex(), restoredImage(before, converted(saved), 3).toHex());
}

void TestCliRomCfg::filesPassBetweenConsoleAndWindow_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("consoleSaves");   // else the window saves and the console restores
    for (int layout : {0, 2, 3})
        for (bool consoleSaves : {false, true})
            QTest::newRow(qPrintable(QString("layout %1, %2 saves").arg(layout).arg(consoleSaves ? "console" : "window")))
                << layout << consoleSaves;
}

void TestCliRomCfg::filesPassBetweenConsoleAndWindow()
{
    QFETCH(int, layout);
    QFETCH(bool, consoleSaves);
    QCOMPARE(start(layoutConfig(layout)), QString());
    // Settings other than the factory ones, saved by one front end.
    const QByteArray source = pattern(int(ctl().setupImage().size()), uint32_t(layout + 31));
    QVERIFY(ctl().setSetupImage(Bytes(source.begin(), source.end())));
    const QString file = path("shared.bin");
    QFile::remove(file);
    if (consoleSaves)
        QCOMPARE(run("sys savebin path=" + file), kSaving + kOk);
    else
        QCOMPARE(Exe_Sys_SaveRomCfg_CFG_Cmd(m_rig.controller.get(), file), 0);
    {
        const QByteArray got = readFile(file), want = expectedFile(ctl());
        int at = 0;
        while (at < got.size() && at < want.size() && got[at] == want[at])
            ++at;
        QVERIFY2(got == want, qPrintable(QString("first difference at %1 of %2").arg(at).arg(got.size())));
    }

    // Other settings meanwhile; the other front end brings the saved ones back.
    const QByteArray meanwhile = pattern(source.size(), uint32_t(layout + 57));
    QVERIFY(ctl().setSetupImage(Bytes(meanwhile.begin(), meanwhile.end())));
    ctl().clearLog();
    if (consoleSaves)
        QCOMPARE(Exe_Sys_RestoreRomCfg_CFG_Cmd(m_rig.controller.get(), file), 0);
    else
        QCOMPARE(run("sys restorebin path=" + file), kRestored);
    QCOMPARE(setupWrites(ctl()), restoredPieces(layout));
    // Layout 2 keeps fields beyond a small file: the restore writes zeros there.
    const QByteArray expected =
        restoredImage(meanwhile, layout == 2 ? source.left(kSmall - kRecord) + QByteArray(source.size(), '\0') : source,
                      layout);
    QCOMPARE(bytesOf(ctl().setupImage()).toHex(), expected.toHex());
}

QTEST_GUILESS_MAIN(TestCliRomCfg)
#include "test_cli_romcfg.moc"
