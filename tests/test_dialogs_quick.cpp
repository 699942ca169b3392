// Quick create and the expand raid set wizard against the simulator through the polling thread.
// Quick create: the levels and maxima offered by the free disks, the changing frames the
// simulated controller receives in order (spare, raid set, volume on the raid set it reports as
// new), and each failed step ending the creation with its box. The wizard: its pages, figures
// and next page, a finish that sends nothing, and no use of its models once it is gone.
// With PALVIR_SHOT_DIR set, a picture of each.
#include "controllerfixture.h"
#include "dialogfixture.h"
#include "modalresponder.h"
#include "viewfixture.h"
#include "devices/images.h"
#include "devices/raidset.h"
#include "ui/dialog/dialogexpandraidsetwizard.h"
#include "ui/dialog/dialogquickcreate.h"
#include "ui/model/expandvolumesetitemmodel.h"
#include "ui/model/itemmodel.h"
#include "ui/model/selectionproxy.h"
#include "ui_dialogexpandraidsetwizard.h"
#include "ui_dialogquickcreate.h"
#include "watcher/eventwatcher.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ctltest;
using namespace dialogtest;
using namespace viewtest;
using simtest::Bytes;

namespace {

// Blocks of disks of 1000.2, 2000.4, 1000.9, 1500.0, 1000.0, 995.0 and 9.9 GB.
constexpr const char* k1000 = "1953525168";
constexpr const char* k2000 = "3907029168";
constexpr const char* k1000_9 = "1954882813";
constexpr const char* k1500 = "2929687500";
constexpr const char* kExact1000 = "1953125000";
constexpr const char* k995 = "1943359375";
constexpr const char* k9_9 = "19335937";

// A model of `count` free disks 0:0 .. of `blocks` each, in an enclosure of eight slots.
QByteArray freeDisks(int count, const char* blocks = k1000)
{
    QByteArray out = "enclosure 0 slots 8\n";
    for (int s = 0; s < count; ++s)
        out += "disk 0 " + QByteArray::number(s) + " capacity " + blocks + "\n";
    return out;
}

const QString kModel = QStringLiteral("%MODEL%");
const QString kQuestion = QStringLiteral("1|%MODEL%|Are you sure you want to create this volume ?|&Yes,&No|&Yes");
QString warning(const QString& text)
{
    return box(2, kModel, text, QStringLiteral("OK"), QStringLiteral("OK"));
}
QString information(const QString& text)
{
    return box(1, kModel, text, QStringLiteral("OK"), QStringLiteral("OK"));
}

// Every frame that changes the controller, "command: payload" in hexadecimal, in order.
QStringList changingFrames(const zynsim::FakeController& controller)
{
    QStringList out;
    for (const zynsim::LogEntry& e : controller.log())
        if (e.kind == zynsim::LogEntry::RxFrame && !zynsim::isReadRequest(e.command, e.bytes))
            out << QStringLiteral("%1: %2").arg(e.command, 2, 16, QLatin1Char('0'))
                       .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(e.bytes.data()),
                                                           int(e.bytes.size())).toHex()));
    return out;
}
QString frame(int command, const Bytes& payload)
{
    return QStringLiteral("%1: %2").arg(command, 2, 16, QLatin1Char('0'))
        .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(payload.data()), int(payload.size())).toHex()));
}
// A global hot spare on the enclosure family: {FF x4, enclosure, slot, type 0, raid set 0}.
QString spareFrame(int enclosure, int slot)
{
    return frame(0x54, {0xFF, 0xFF, 0xFF, 0xFF, uint8_t(enclosure), uint8_t(slot), 0, 0, 0});
}
// A raid set with no name on the enclosure family: count, four zeros, 16 name bytes, the pairs.
QString raidSetFrame(const QList<QPair<int, int>>& disks)
{
    Bytes p(21, 0);
    p[0] = uint8_t(disks.size());
    for (const auto& d : disks)
        p.insert(p.end(), {uint8_t(d.first), uint8_t(d.second)});
    return frame(0x50, p);
}
// A volume set with no name: raid set, name, blocks, level, stripe code 4, address, tagged,
// write back, 4, foreground initialisation, no encryption, then zeros to 41 bytes.
QString volumeFrame(int raidSet, double gb, int level, int channel, int id, int lun)
{
    Bytes p(17, 0);
    p[0] = uint8_t(raidSet);
    const uint64_t blocks = uint64_t(gb * 1e9 / 512.0);
    for (int i = 0; i < 8; ++i)
        p.push_back(uint8_t(blocks >> (8 * i)));
    p.insert(p.end(), {uint8_t(level), 4, uint8_t(channel), uint8_t(id), uint8_t(lun), 1, 1, 4, 1, 0});
    p.resize(41, 0);
    return frame(0x60, p);
}

QString tagName()
{
    return QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')).remove(QLatin1Char(','));
}

QList<QRadioButton*> levelButtons(Ui_DialogQuickCreate* ui)
{
    return {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid1SRadioButton, ui->raid3RadioButton,
            ui->raid3SRadioButton, ui->raid5RadioButton, ui->raid5SRadioButton, ui->raid6RadioButton,
            ui->raid6SRadioButton};
}
QStringList levelLabels(Ui_DialogQuickCreate* ui)
{
    return {ui->raid0Label->text(), ui->raid1Label->text(), ui->raid1SLabel->text(), ui->raid3Label->text(),
            ui->raid3SLabel->text(), ui->raid5Label->text(), ui->raid5SLabel->text(), ui->raid6Label->text(),
            ui->raid6SLabel->text()};
}
QString enabledLevels(Ui_DialogQuickCreate* ui)
{
    QStringList on;
    for (QRadioButton* b : levelButtons(ui))
        if (b->isEnabled())
            on << b->text();
    return on.join(QLatin1Char(','));
}
QString checkedLevel(Ui_DialogQuickCreate* ui)
{
    for (QRadioButton* b : levelButtons(ui))
        if (b->isChecked())
            return b->text();
    return QString();
}

} // namespace

class TestDialogsQuick : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void quickLevels_data();
    void quickLevels();
    void quickFollowsDisks();
    void quickCreates_data();
    void quickCreates();
    void wizardPages_data();
    void wizardPages();
    void wizardGone();

private:
    // A controller that makes Raid6 volumes.
    QZynController* online(const char* address, zynsim::Profile profile, const QByteArray& config);

    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    std::unique_ptr<Starter> m_starter;
};

void TestDialogsQuick::initTestCase()
{
    QVERIFY(m_dir.isValid());
    setUpPolling(m_dir.path());
}

void TestDialogsQuick::cleanup()
{
    endControllers(&m_starter, &m_ctl, &m_sim);
}

QZynController* TestDialogsQuick::online(const char* address, zynsim::Profile profile, const QByteArray& config)
{
    m_starter = std::make_unique<Starter>();
    m_sim = std::make_unique<zynsim::Simulator>();
    zynsim::ControllerConfig given;
    given.profile = profile;
    given.raid6 = true;
    return serveOnline(*m_sim, &m_ctl, address, given, config.constData());
}

void TestDialogsQuick::quickLevels_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<QStringList>("maxima");   // raid 0, 1, 1S, 3, 3S, 5, 5S, 6, 6S
    QTest::addColumn<QString>("checked");
    QTest::addColumn<double>("capacity");
    QTest::addColumn<bool>("create");

    const QString z = QStringLiteral("MAX: 0 GB");
    auto max = [](const char* gb) { return QStringLiteral("MAX: %1 GB").arg(QLatin1String(gb)); };
    QTest::newRow("no free disk") << freeDisks(0) << "0" << QString() << QStringList({z, z, z, z, z, z, z, z, z})
                                  << "Raid 5 + Spare" << 0.0 << false;
    QTest::newRow("one disk") << freeDisks(1) << "1" << "Raid 0" << QStringList({max("1000.0"), z, z, z, z, z, z, z, z})
                              << "Raid 0" << 1000.0 << true;
    // Members and spares of raid sets are not free.
    QTest::newRow("two free disks") << freeDisks(4) + "raidset \"Used\" disks 0:2\nhotspare 0:3\n" << "2"
                                    << "Raid 0,Raid 1"
                                    << QStringList({max("2000.0"), max("1000.0"), z, z, z, z, z, z, z}) << "Raid 1"
                                    << 1000.0 << true;
    QTest::newRow("three mixed disks")
        << QByteArray("enclosure 0 slots 8\ndisk 0 0 capacity ") + k2000 + "\ndisk 0 1 capacity " + k1000_9
               + "\ndisk 0 2 capacity " + k1500 + "\n"
        << "3" << "Raid 0,Raid 1 + 0,Raid 1 + Spare,Raid 3,Raid 5,Raid 6"
        << QStringList({max("3000.0"), max("1500.0"), max("1000.0"), max("2000.0"), z, max("2000.0"), z, max("1000.0"), z})
        << "Raid 5" << 2000.0 << true;
    QTest::newRow("four disks") << freeDisks(4) << "4"
                                << "Raid 0,Raid 1 + 0,Raid 1 + 0 + Spare,Raid 3,Raid 3 + Spare,Raid 5,Raid 5 + Spare,Raid 6"
                                << QStringList({max("4000.0"), max("2000.0"), max("1500.0"), max("3000.0"), max("2000.0"),
                                                max("3000.0"), max("2000.0"), max("2000.0"), z})
                                << "Raid 5" << 3000.0 << true;
    const QString all = QStringLiteral("Raid 0,Raid 1 + 0,Raid 1 + 0 + Spare,Raid 3,Raid 3 + Spare,Raid 5,"
                                       "Raid 5 + Spare,Raid 6,Raid 6 + Spare");
    QTest::newRow("five disks") << freeDisks(5) << "5" << all
                                << QStringList({max("5000.0"), max("2500.0"), max("2000.0"), max("4000.0"), max("3000.0"),
                                                max("4000.0"), max("3000.0"), max("3000.0"), max("2000.0")})
                                << "Raid 5" << 4000.0 << true;
    QTest::newRow("six disks") << freeDisks(6) << "6" << all
                               << QStringList({max("6000.0"), max("3000.0"), max("2500.0"), max("5000.0"), max("4000.0"),
                                               max("5000.0"), max("4000.0"), max("4000.0"), max("3000.0")})
                               << "Raid 5 + Spare" << 4000.0 << true;
    QTest::newRow("disks under 10 GB") << freeDisks(2, k9_9) << "2" << "Raid 0,Raid 1"
                                       << QStringList({max("0.0"), max("0.0"), z, z, z, z, z, z, z}) << "Raid 1" << 0.0
                                       << false;
}

void TestDialogsQuick::quickLevels()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, count);
    QFETCH(QString, enabled);
    QFETCH(QStringList, maxima);
    QFETCH(QString, checked);
    QFETCH(double, capacity);
    QFETCH(bool, create);
    QZynController* c = online("127.0.0.235", zynsim::Profile::Enclosure, config);
    QVERIFY(c);
    DialogQuickCreate dialog(c);
    Ui_DialogQuickCreate* ui = dialog.Form();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New Volume"));
    QVERIFY(closeButtonOnly(&dialog));
    QCOMPARE(dialog.windowModality(), Qt::WindowModal);
    QCOMPARE(dialog.size(), QSize(678, 387));
    QCOMPARE(ui->quickCreateButton->text(), QStringLiteral("Create Volume"));
    QVERIFY(ui->quickCreateButton->isDefault());
    QVERIFY(!ui->quickCreateButton->icon().isNull());
    QCOMPARE(ui->label->text(), QStringLiteral("Total Number Of Disks:"));
    QCOMPARE(ui->labelMemberDisks->text(), count);
    QCOMPARE(enabledLevels(ui), enabled);
    QCOMPARE(levelLabels(ui), maxima);
    QCOMPARE(checkedLevel(ui), checked);
    QCOMPARE(ui->capacityDoubleSpinBox->value(), capacity);
    QCOMPARE(ui->capacityDoubleSpinBox->maximum(), capacity);
    QCOMPARE(ui->capacityDoubleSpinBox->suffix(), QStringLiteral(" GB"));
    QCOMPARE(ui->quickCreateButton->isEnabled(), create);
    shootDialog(&dialog, QStringLiteral("dialog-quick-create-%1").arg(tagName()));
    if (!create) {
        // Nothing to create from: no box, nothing sent.
        m_ctl->clearLog();
        ModalResponder responder;
        ui->quickCreateButton->click();
        QTest::qWait(60);
        QVERIFY(responder.seen().isEmpty());
        QVERIFY(changingFrames(*m_ctl).isEmpty());
    }
}

// Every disk change recomputes the figures and puts the default level back; the texts of the
// second-level buttons are not set back by fewer disks.
void TestDialogsQuick::quickFollowsDisks()
{
    QZynController* c = online("127.0.0.237", zynsim::Profile::Enclosure, freeDisks(4));
    QVERIFY(c);
    DialogQuickCreate dialog(c);
    Ui_DialogQuickCreate* ui = dialog.Form();
    ui->raid0RadioButton->click();
    QCOMPARE(ui->capacityDoubleSpinBox->value(), 4000.0);
    ui->capacityDoubleSpinBox->setValue(12.5);
    QVERIFY(m_ctl->applyConfig("remove 0:3\nremove 0:2\n", nullptr));
    QTRY_COMPARE(ui->labelMemberDisks->text(), QStringLiteral("2"));
    QCOMPARE(checkedLevel(ui), QStringLiteral("Raid 1 + 0"));
    QCOMPARE(ui->capacityDoubleSpinBox->value(), 1000.0);
    QCOMPARE(enabledLevels(ui), QStringLiteral("Raid 0,Raid 1 + 0"));
    QCOMPARE(ui->raid1SRadioButton->text(), QStringLiteral("Raid 1 + 0 + Spare"));
    QCOMPARE(ui->raid1SLabel->text(), QStringLiteral("MAX: 0 GB"));
    // A disk that comes back is offered again.
    QVERIFY(m_ctl->applyConfig((QByteArray("disk 0 2 capacity ") + k2000 + "\n").toStdString(), nullptr));
    QTRY_COMPARE(ui->labelMemberDisks->text(), QStringLiteral("3"));
    QCOMPARE(ui->raid1SRadioButton->text(), QStringLiteral("Raid 1 + Spare"));
    QCOMPARE(checkedLevel(ui), QStringLiteral("Raid 5"));
    QCOMPARE(ui->capacityDoubleSpinBox->value(), 2000.0);
}

void TestDialogsQuick::quickCreates_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("level");          // the button clicked; empty: the default
    QTest::addColumn<int>("scriptCommand");      // a command answered with `scriptLetter` instead
    QTest::addColumn<char>("scriptLetter");
    QTest::addColumn<int>("scriptAfter");        // frames of that command answered as usual first
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("raidSet");            // the raid set that holds the new volume, -1: none

    const int enc = int(zynsim::Profile::Enclosure);
    const QString ok = information(QStringLiteral("Volume has been created successfully."));
    const QStringList three = {raidSetFrame({{0, 0}, {0, 1}, {0, 2}})};
    const QString raidFailed = QStringLiteral("Failed to ZynCreateRaidSet(..), Error = %1.");

    QTest::newRow("raid 5 of three disks") << enc << freeDisks(3) << QString() << 0 << '\0' << 0 << true
                                           << QStringList({three[0], volumeFrame(0, 2000.0, 3, 0, 0, 0)})
                                           << QStringList({kQuestion, ok}) << 0;
    QTest::newRow("raid 6 + spare of five disks")
        << enc << freeDisks(5) << QStringLiteral("raid6SRadioButton") << 0 << '\0' << 0 << true
        << QStringList({spareFrame(0, 4), raidSetFrame({{0, 0}, {0, 1}, {0, 2}, {0, 3}}), volumeFrame(0, 2000.0, 4, 0, 0, 0)})
        << QStringList({kQuestion, ok}) << 0;
    // The pass-through disk holds raid set 0 and address 0:0:0: the volume goes to raid set 1.
    QTest::newRow("pass-through disk as raid set 0")
        << enc << freeDisks(4) + "passthrough 0:3\n" << QString() << 0 << '\0' << 0 << true
        << QStringList({three[0], volumeFrame(1, 2000.0, 3, 0, 0, 1)}) << QStringList({kQuestion, ok}) << 1;
    QTest::newRow("raid sets 0 and 1 taken")
        << enc << freeDisks(6) + "raidset \"Old\" disks 0:4 0:5\npassthrough 0:3\n" << QStringLiteral("raid1RadioButton")
        << 0 << '\0' << 0 << true << QStringList({three[0], volumeFrame(2, 1500.0, 1, 0, 0, 1)})
        << QStringList({kQuestion, ok}) << 2;
    // The older family lists disks as channel masks.
    QByteArray older = "controller channels 8\n";
    for (int ch : {0, 1, 2, 5})
        older += "disk 0 " + QByteArray::number(ch) + " capacity " + k1000 + "\n";
    Bytes olderRaid = {0x07, 0, 0, 0, 0};
    olderRaid.insert(olderRaid.end(), 15, ' ');
    QTest::newRow("older family, raid 1 + 0 + spare")
        << int(zynsim::Profile::Older) << older << QStringLiteral("raid1SRadioButton") << 0 << '\0' << 0 << true
        << QStringList({frame(0x54, {0x20, 0, 0, 0}), frame(0x50, olderRaid), volumeFrame(0, 1500.0, 1, 0, 0, 0)})
        << QStringList({kQuestion, ok}) << 0;

    // No: nothing at all, not even the spare.
    QTest::newRow("no") << enc << freeDisks(4) << QStringLiteral("raid5SRadioButton") << 0 << '\0' << 0 << false
                        << QStringList() << QStringList({kQuestion}) << -1;
    // Each failed step shows its box and ends the creation.
    QTest::newRow("spare refused")
        << enc << freeDisks(4) << QStringLiteral("raid5SRadioButton") << 0x54 << 'F' << 0 << true
        << QStringList({spareFrame(0, 3)})
        << QStringList({kQuestion, warning(QStringLiteral("Failed to ZynCreateHotSpare(..), Error = 70."))}) << -1;
    QTest::newRow("raid set refused")
        << enc << freeDisks(4) << QStringLiteral("raid3SRadioButton") << 0x50 << 'F' << 0 << true
        << QStringList({spareFrame(0, 3), three[0]}) << QStringList({kQuestion, warning(raidFailed.arg(70))}) << -1;
    // The controller says yes but lists no new raid set: no volume command.
    QTest::newRow("no new raid set") << enc << freeDisks(3) << QString() << 0x50 << 'A' << 0 << true << three
                                     << QStringList({kQuestion, warning(raidFailed.arg(18))}) << -1;
    // The raid sets cannot be read: before the creation, nothing is sent; after it, no volume.
    QTest::newRow("raid sets unreadable before")
        << enc << freeDisks(4) << QStringLiteral("raid5SRadioButton") << 0x1F << 'F' << 0 << true << QStringList()
        << QStringList({kQuestion, warning(raidFailed.arg(70))}) << -1;
    QTest::newRow("raid sets unreadable after")
        << enc << freeDisks(3) << QString() << 0x1F << 'F' << 1 << true << three
        << QStringList({kQuestion, warning(raidFailed.arg(70))}) << -1;
    QTest::newRow("volume refused")
        << enc << freeDisks(3) << QString() << 0x60 << 'K' << 0 << true
        << QStringList({three[0], volumeFrame(0, 2000.0, 3, 0, 0, 0)})
        << QStringList({kQuestion, warning(QStringLiteral("Failed to ZynCreateVolSet(..), Error = 75."))}) << -1;
}

void TestDialogsQuick::quickCreates()
{
    QFETCH(int, profile);
    QFETCH(QByteArray, config);
    QFETCH(QString, level);
    QFETCH(int, scriptCommand);
    QFETCH(char, scriptLetter);
    QFETCH(int, scriptAfter);
    QFETCH(bool, yes);
    QFETCH(QStringList, frames);
    QFETCH(QStringList, boxes);
    QFETCH(int, raidSet);
    QZynController* c = online("127.0.0.236", zynsim::Profile(profile), config);
    QVERIFY(c);
    const QString model = c->GetSysInfo()->GetModelName();
    DialogQuickCreate dialog(c);
    Ui_DialogQuickCreate* ui = dialog.Form();
    if (!level.isEmpty()) {
        auto* button = dialog.findChild<QRadioButton*>(level);
        QVERIFY(button != nullptr && button->isEnabled());
        button->click();
    }
    if (scriptCommand != 0) {
        if (scriptAfter > 0)
            m_ctl->script(uint8_t(scriptCommand), scriptAfter, zynsim::Answer::model());
        m_ctl->script(uint8_t(scriptCommand), 1, zynsim::Answer::status(uint8_t(scriptLetter)));
    }
    m_ctl->clearLog();
    {
        ModalResponder responder;
        responder.press(yes ? QMessageBox::Yes : QMessageBox::No);
        responder.press(QMessageBox::Ok);
        ui->quickCreateButton->click();
        QCOMPARE(transcript(responder), boxes.replaceInStrings(kModel, model));
    }
    QCOMPARE(changingFrames(*m_ctl), frames);
    if (raidSet < 0)
        return;
    // Every free disk went into the raid set or became the spare: the dialog follows.
    QTRY_COMPARE(ui->labelMemberDisks->text(), QStringLiteral("0"));
    QVERIFY(!ui->quickCreateButton->isEnabled());
    QTRY_VERIFY(c->GetRaidSet(raidSet)->IsPresent());
    std::vector<int> volumes;
    QTRY_VERIFY((c->GetRaidSet(raidSet)->GetVolumeSetCount(volumes), volumes.size() == 1));
}

void TestDialogsQuick::wizardPages_data()
{
    QTest::addColumn<QByteArray>("volumes");
    QTest::addColumn<QList<int>>("pages");

    QTest::newRow("with a volume set")
        << QByteArray("volume \"Vol\" raidset 0 capacity 100000 level 3 stripe 64 state 0\n") << QList<int>({0, 1, 2});
    QTest::newRow("without volume sets") << QByteArray() << QList<int>({0, 2});
    QTest::newRow("with two volume sets")
        << QByteArray("volume \"Vol\" raidset 0 capacity 100000 level 3 stripe 64 state 0\n"
                      "volume \"Second\" raidset 0 capacity 100000 level 0 stripe 128 state 0\n")
        << QList<int>({0, 1, 2});
}

void TestDialogsQuick::wizardPages()
{
    QFETCH(QByteArray, volumes);
    QFETCH(QList<int>, pages);
    QByteArray config = "enclosure 0 slots 8\n";
    for (int s = 0; s < 4; ++s)
        config += "disk 0 " + QByteArray::number(s) + " capacity " + kExact1000 + "\n";
    config += QByteArray("disk 0 4 capacity ") + k2000 + "\ndisk 0 5 capacity " + k995 + "\ndisk 0 6\n"
        + "raidset \"Grow\" disks 0:0 0:1 0:2\nhotspare 0:6\n" + volumes;
    QZynController* c = online("127.0.0.238", zynsim::Profile::Enclosure, config);
    QVERIFY(c);
    QZynRaidSet* raidSet = c->GetRaidSet(0);
    QVERIFY(raidSet->IsPresent());
    DialogExpandRaidsetWizard wizard(raidSet);
    Ui_DialogExpandRaidsetWizard* ui = wizard.Form();
    QCOMPARE(wizard.windowTitle(), QStringLiteral("Expand RaidSet"));
    QVERIFY(closeButtonOnly(&wizard));
    QCOMPARE(wizard.windowModality(), Qt::WindowModal);
    QCOMPARE(wizard.size(), QSize(835, 657));
    QCOMPARE(wizard.wizardStyle(), QWizard::ClassicStyle);
    QCOMPARE(wizard.options() & (QWizard::NoBackButtonOnStartPage | QWizard::CancelButtonOnLeft),
             QWizard::NoBackButtonOnStartPage | QWizard::CancelButtonOnLeft);
    QCOMPARE(wizard.pageIds(), QList<int>({0, 1, 2}));
    QVERIFY(qobject_cast<FreeDiskPage*>(wizard.page(0)));
    QVERIFY(qobject_cast<VolumePage*>(wizard.page(1)));
    QVERIFY(qobject_cast<FinalPage*>(wizard.page(2)));
    QCOMPARE(ui->freeDiskTreeView->iconSize(), QSize(20, 20));
    QVERIFY(!ui->freeDiskTreeView->rootIsDecorated());
    QCOMPARE(ui->freeDiskTreeView->model(), wizard.Proxy());
    // Free disks no smaller than the smallest member; not the spare.
    QCOMPARE(offered(wizard.Proxy()), QStringList({"0:3", "0:4"}));
    auto figures = [ui] {
        return QStringList({ui->labelMemberDisks->text(), ui->labelMinDiskSize->text(), ui->labelTotalSize->text()});
    };
    QCOMPARE(figures(), QStringList({"3+0", "1000.0", "3000.0+0.0"}));

    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    QCOMPARE(wizard.currentId(), 0);
    QCOMPARE(wizard.currentPage()->title(), QStringLiteral("Grow Expansion"));
    QCOMPARE(wizard.currentPage()->subTitle(),
             QStringLiteral("Raid Set expansion is a quite critical process, we strongly recommend customer backup data "
                            "before expand. Unexpected accident may cause serious data corruption."));
    QVERIFY(!wizard.button(QWizard::NextButton)->isEnabled());
    QVERIFY(tick(wizard.Proxy(), "0:4"));
    QCOMPARE(figures(), QStringList({"3+1", "1000.0", "3000.0+1000.0"}));
    QVERIFY(wizard.button(QWizard::NextButton)->isEnabled());
    ui->selectAllCheckBox->click();
    QCOMPARE(figures(), QStringList({"3+2", "1000.0", "3000.0+2000.0"}));
    ui->selectAllCheckBox->click();
    QCOMPARE(figures(), QStringList({"3+0", "1000.0", "3000.0+0.0"}));
    QVERIFY(!wizard.button(QWizard::NextButton)->isEnabled());
    ui->selectAllCheckBox->click();
    shootDialog(&wizard, QStringLiteral("dialog-expand-wizard-%1-page0").arg(tagName()));

    m_ctl->clearLog();
    QList<int> seen = {wizard.currentId()};
    MessageLog debug;
    while (wizard.currentId() != pages.last()) {
        wizard.next();
        seen << wizard.currentId();
        if (wizard.currentId() == DialogExpandRaidsetWizard::VolumePageId) {
            QCOMPARE(wizard.currentPage()->title(), QStringLiteral("VolumeSet Modification"));
            QCOMPARE(wizard.currentPage()->subTitle(),
                     QStringLiteral("The volume sets associated with this RAID Set appear for you to have chance to "
                                    "modify RAID Level or Stripe Size"));
            QAbstractItemModel* model = ui->volTreeView->model();
            QCOMPARE(model, static_cast<QAbstractItemModel*>(wizard.VolumeModel()));
            QCOMPARE(model->rowCount(), volumes.count("volume "));
            QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Vol"));
            // Tab goes from the list through its editors as they are read, row by row, the level
            // before the stripe size; each editor has its full height.
            QStringList editors;
            for (int r = 0; r < model->rowCount(); ++r)
                for (int column : {1, 2}) {
                    auto* box = qobject_cast<QComboBox*>(ui->volTreeView->indexWidget(model->index(r, column)));
                    QVERIFY(box != nullptr);
                    box->setObjectName(QStringLiteral("%1:%2").arg(r).arg(column));
                    editors << box->objectName();
                    QTRY_COMPARE(box->height(), box->sizeHint().height());
                }
            QVERIFY(QTest::qWaitForWindowActive(&wizard));
            ui->volTreeView->setFocus(Qt::TabFocusReason);
            QStringList reached;
            for (int i = 0; i < 3 * editors.size() && reached.size() < editors.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                const QString name = QApplication::focusWidget()->objectName();
                if (editors.contains(name) && !reached.contains(name))
                    reached << name;
            }
            QCOMPARE(reached, editors);
            // Editors for the new level and stripe size stay open, on the current values.
            auto* levelBox = qobject_cast<QComboBox*>(ui->volTreeView->indexWidget(model->index(0, 1)));
            auto* stripeBox = qobject_cast<QComboBox*>(ui->volTreeView->indexWidget(model->index(0, 2)));
            QVERIFY(levelBox != nullptr && stripeBox != nullptr);
            QCOMPARE(levelBox->currentText(), model->index(0, 1).data().toString());
            QCOMPARE(stripeBox->currentText(), model->index(0, 2).data().toString());
            QVERIFY(ui->volTreeView->indexWidget(model->index(0, 3)) == nullptr);
            shootDialog(&wizard, QStringLiteral("dialog-expand-wizard-%1-page1").arg(tagName()));
        }
    }
    QCOMPARE(seen, pages);
    QCOMPARE(debug.matching(QStringLiteral("jump to finish page")).isEmpty(), pages.contains(1));
    QCOMPARE(wizard.currentPage()->title(), QStringLiteral("Summary"));
    QCOMPARE(wizard.currentPage()->subTitle(), QStringLiteral("The information of raidset expansion"));
    QVERIFY(wizard.button(QWizard::FinishButton)->isVisible());
    shootDialog(&wizard, QStringLiteral("dialog-expand-wizard-%1-summary").arg(tagName()));
    wizard.button(QWizard::FinishButton)->click();
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    // Finishing sends nothing.
    QTest::qWait(150);
    QCOMPARE(changingFrames(*m_ctl), QStringList());
}

// The wizard's proxy and preview go with it: a disk or volume change afterwards reaches none of
// them (AddressSanitizer would see the freed selection list). A wizard whose controller goes
// closes and lets go of them first.
void TestDialogsQuick::wizardGone()
{
    QByteArray config = freeDisks(5) + "raidset \"Grow\" disks 0:0 0:1\n"
                        + "volume \"Vol\" raidset 0 capacity 100000 level 0 state 0\n";
    QZynController* c = online("127.0.0.239", zynsim::Profile::Enclosure, config);
    QVERIFY(c);
    {
        auto wizard = std::make_unique<DialogExpandRaidsetWizard>(c->GetRaidSet(0));
        QPointer<QAbstractItemModel> proxy = wizard->Proxy();
        QPointer<QAbstractItemModel> preview = wizard->VolumeModel();
        QCOMPARE(offered(proxy), QStringList({"0:2", "0:3", "0:4"}));
        wizard->Form()->selectAllCheckBox->click();
        wizard.reset();
        QVERIFY(proxy.isNull());
        QVERIFY(preview.isNull());
    }
    const QByteArray change = QByteArray("remove 0:3\ndisk 0 5 capacity ") + k2000
        + "\nvolume \"More\" raidset 0 capacity 100000 level 0 state 0\n";
    QVERIFY(m_ctl->applyConfig(change.toStdString(), nullptr));
    QTRY_VERIFY(c->GetDisk(QZynDiskIndex(5, 0))->GetState() != 0);
    QTRY_VERIFY(c->GetDisk(QZynDiskIndex(3, 0))->GetState() == 0);
    std::vector<int> volumes;
    QTRY_VERIFY((c->GetRaidSet(0)->GetVolumeSetCount(volumes), volumes.size() == 2));
    QCoreApplication::processEvents();

    DialogExpandRaidsetWizard wizard(c->GetRaidSet(0));
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    QCOMPARE(offered(wizard.Proxy()), QStringList({"0:2", "0:4", "0:5"}));
    QCOMPARE(wizard.VolumeModel()->rowCount(), 2);
    emptyHost();
    QVERIFY(!wizard.isVisible());
    QVERIFY(wizard.Proxy() == nullptr);
    QVERIFY(wizard.VolumeModel() == nullptr);
    QVERIFY(wizard.RaidSet() == nullptr);
    QVERIFY(wizard.Form()->freeDiskTreeView->model() == nullptr);
    wizard.Form()->selectAllCheckBox->click();
    wizard.ShowRaidSetInformation();
    QCOMPARE(wizard.Form()->labelMemberDisks->text(), QStringLiteral("0+0"));
}

QTEST_MAIN(TestDialogsQuick)
#include "test_dialogs_quick.moc"
