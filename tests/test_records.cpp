// The wire records checked against a second description of their layout, typed by hand into
// fixtures/wire_records.txt. The simulator builds its replies with the same record definitions
// that the library parses them with, so a field at a wrong place would be written and read the
// same way; here every accessor must read, and every setter write, exactly the bytes that the
// description gives, on records whose neighbouring bytes all differ.

// The simulator's headers come before Qt's, whose keyword macros they would meet otherwise.
#include "records.h"
#include "setupimage.h"
#include "simulator.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace {

// ---- The hand-typed description

struct Row {
    QString record;
    QString field;
    QString type;       // u, i, text, at or is
    int offset = 0;
    int width = 0;
    int count = 1;
    int stride = 0;
    quint64 trigger = 0;   // type is: the value that makes the condition hold

    int at(int k) const { return offset + k * stride; }
};

struct Fixture {
    QMap<QString, int> sizes;            // -1: the record has no fixed size
    QVector<Row> rows;
    QMap<QString, quint32> setupFields;
    QString error;

    const Row* find(const QString& record, const QString& field) const
    {
        for (const Row& row : rows)
            if (row.record == record && row.field == field)
                return &row;
        return nullptr;
    }
};

bool parseRow(const QStringList& cols, const QString& record, Row* row)
{
    static const QStringList kTypes = {"u", "i", "text", "at", "is"};
    if (cols.size() < 4 || !kTypes.contains(cols[3]))
        return false;
    bool ok[4] = {false, false, true, true};
    row->record = record;
    row->field = cols[0];
    row->offset = cols[1].toInt(&ok[0]);
    row->width = cols[2].toInt(&ok[1]);
    row->type = cols[3];
    if (row->type == QLatin1String("is")) {
        if (cols.size() != 5)
            return false;
        row->trigger = cols[4].toULongLong(&ok[2], 0);
    } else if (cols.size() == 6) {
        row->count = cols[4].toInt(&ok[2]);
        row->stride = cols[5].toInt(&ok[3]);
    } else if (cols.size() != 4) {
        return false;
    }
    return ok[0] && ok[1] && ok[2] && ok[3] && row->offset >= 0 && row->width > 0 && row->count > 0
        && (row->count == 1 || row->stride > 0);
}

Fixture loadFixture()
{
    Fixture f;
    QFile file(QStringLiteral(PALVIR_FIXTURES "/wire_records.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        f.error = QStringLiteral("cannot open %1").arg(file.fileName());
        return f;
    }
    QTextStream in(&file);
    QString record;
    for (int lineNo = 1; !in.atEnd(); ++lineNo) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList cols = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        Row row;
        if (cols[0] == QLatin1String("record") && cols.size() == 3) {
            record = cols[1];
            const int size = cols[2] == QLatin1String("-") ? -1 : cols[2].toInt(&ok);
            ok = (ok || size == -1) && !f.sizes.contains(record);
            f.sizes.insert(record, size);
        } else if (cols[0] == QLatin1String("setupfield") && cols.size() == 3) {
            f.setupFields.insert(cols[1], cols[2].toUInt(&ok));
        } else if (!record.isEmpty() && parseRow(cols, record, &row) && !f.find(record, row.field)) {
            f.rows.append(row);
            ok = true;
        }
        if (!ok) {
            f.error = QStringLiteral("line %1: %2").arg(lineNo).arg(line);
            return f;
        }
    }
    return f;
}

const Fixture& fixture()
{
    static const Fixture f = loadFixture();
    return f;
}

// Byte i of a record under test: never 0 (texts run to the end of their field), never equal
// to its neighbours, nor to the byte 251 places away.
QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(1 + (i + i / 251) % 251);
    return bytes;
}

quint64 littleEndian(const QByteArray& bytes, int at, int width)
{
    quint64 v = 0;
    for (int j = width - 1; j >= 0; --j)
        v = (v << 8) | quint8(bytes[at + j]);
    return v;
}

// ---- What an accessor gives

struct Got {
    enum Kind { Number, Text, Place };
    Kind kind = Number;
    quint64 number = 0;       // Place: the offset
    QByteArray text;
    qint64 width = -1;        // Place: the width the record gives, -1 when it gives none

    template <class T, std::enable_if_t<std::is_integral<T>::value || std::is_enum<T>::value, int> = 0>
    Got(T v) : number(quint64(qint64(v))) {}   // signed values sign-extended
    Got(const std::string& s) : kind(Text), text(s.data(), int(s.size())) {}
    static Got place(qint64 offset, qint64 width = -1)
    {
        Got g(offset);
        g.kind = Place;
        g.width = width;
        return g;
    }

    QString describe() const
    {
        switch (kind) {
        case Text: return QStringLiteral("text %1").arg(QString::fromLatin1(text.toHex(' ')));
        case Place: return QStringLiteral("place %1 width %2").arg(number).arg(width);
        default: return QStringLiteral("0x%1").arg(number, 0, 16);
        }
    }
};

// What the description says an accessor gives for element k of `row` on `bytes`.
Got expected(const Row& row, int k, const QByteArray& bytes)
{
    const int at = row.at(k);
    if (row.type == QLatin1String("text"))
        return Got(bytes.mid(at, row.width).toStdString());
    if (row.type == QLatin1String("at"))
        return Got::place(at, row.width);
    quint64 v = littleEndian(bytes, at, row.width);
    if (row.type == QLatin1String("i") && row.width < 8 && (v >> (8 * row.width - 1)) & 1)
        v |= ~quint64(0) << (8 * row.width);
    return Got(v);
}

bool matches(const Got& got, const Got& want)
{
    if (got.kind != want.kind)
        return false;
    if (got.kind == Got::Text)
        return got.text == want.text;
    if (got.kind == Got::Place && got.width >= 0 && got.width != want.width)
        return false;
    return got.number == want.number;
}

template <class R>
Got at(const R& r, const void* p, qint64 width = -1)
{
    return Got::place(static_cast<const char*>(p) - reinterpret_cast<const char*>(&r), width);
}

template <class T>
quint64 bitsOf(T v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof v);
    return bits;
}

// The values a setter writes: for each field it asks for, the background's bytes there, each
// changed (and never 0, so that a text fills its field).
class Values {
public:
    Values(const QString& record, int k, const QByteArray& background)
        : m_record(record), m_k(k), m_background(background) {}

    quint64 num(const char* field) { const QByteArray b = take(field); return littleEndian(b, 0, b.size()); }
    std::string text(const char* field) { return take(field).toStdString(); }

    // The background with every value asked for put in its place.
    QByteArray expectedRecord() const
    {
        QByteArray out = m_background;
        for (auto it = m_taken.begin(); it != m_taken.end(); ++it)
            out.replace(it.key(), it.value().size(), it.value());
        return out;
    }
    QString failure() const { return m_failure; }

private:
    QByteArray take(const char* field)
    {
        const Row* row = fixture().find(m_record, QLatin1String(field));
        if (!row || row->at(m_k) + row->width > m_background.size()) {
            m_failure = QStringLiteral("no place for %1.%2").arg(m_record, QLatin1String(field));
            return QByteArray(1, '\1');
        }
        QByteArray b = m_background.mid(row->at(m_k), row->width);
        for (char& c : b)
            c = char(c ^ 0x5A) != 0 ? char(c ^ 0x5A) : '\x7F';
        m_taken.insert(row->at(m_k), b);
        return b;
    }

    QString m_record;
    int m_k;
    QByteArray m_background;
    QMap<int, QByteArray> m_taken;
    QString m_failure;
};

// ---- The accessors of the records, one case per field

struct Case {
    QString record;
    QString field;
    int size = 0;
    std::function<Got(const QByteArray&, int)> read;
    std::function<QByteArray(const QByteArray&, int, Values&)> write;   // null: read only
};

template <class R>
std::unique_ptr<R> recordOf(const QByteArray& bytes)
{
    auto r = std::make_unique<R>();
    std::memcpy(static_cast<void*>(r.get()), bytes.constData(), std::min<size_t>(sizeof(R), size_t(bytes.size())));
    return r;
}

template <class R, class Get>
Case get(const char* record, const char* field, Get g)
{
    Case c{QLatin1String(record), QLatin1String(field), int(sizeof(R)), {}, {}};
    c.read = [g](const QByteArray& bytes, int k) { return Got(g(*recordOf<R>(bytes), k)); };
    return c;
}

template <class R, class Get, class Set>
Case getSet(const char* record, const char* field, Get g, Set s)
{
    Case c = get<R>(record, field, g);
    c.write = [s](const QByteArray& bytes, int k, Values& v) {
        auto r = recordOf<R>(bytes);
        s(*r, k, v);
        return QByteArray(reinterpret_cast<const char*>(r.get()), int(sizeof(R)));
    };
    return c;
}

// A place the record names without an accessor.
Case named(const char* record, const char* field, Got g)
{
    return Case{QLatin1String(record), QLatin1String(field), 0, [g](const QByteArray&, int) { return g; }, {}};
}

using Sys = sSYSTEM_INFO;
using Raid = sGUI_RAIDSET;
using Vol = sGUI_VOLUMESET;
using Drv = sGUI_PHY_DRV;
using Enc = sGUI_ENC_PROPERTY;
using Evt = sEVET_DATA;
using Sensors = sSENSORS;
using Section = sSENSORS::Section;
using E100 = _HWMON_E100;
using DrvEntry = _DRV_MAP::Entry;
using RaidEntry = _RAID_MAP::Entry;
using VolEntry = _VOL_MAP::Entry;
using VolCap = _VOLUMESET_CAP;
using NewVolCap = _NEW_VOLUMESET_CAP;
using PassCap = _PASS_DISK_CAP;
using Ata = _ATA_PASSTHROUGH_COMMAND;
using Scsi = _SCSI_PASSTHROUGH_COMMAND;
using U320 = _U320_SCSI_TARGET_CONFIG;
using HostName = _FIBRE_HOST_WWNAME;
using HostNames = _FIBRE_HOST_WWNAME_LIST;
using Filter = _FIBRE_VOL_HOST_FILTER;
using Filters = _FIBRE_VOL_HOST_FILTER_LIST;

// A case that reads `expr` of record `r` (element k), and one that also writes with `write`,
// taking its values from `v`.
#define READ(R, record, field, expr) get<R>(record, field, [](const R& r, int k) { (void)k; return expr; })
#define READ_WRITE(R, record, field, expr, write) \
    getSet<R>(record, field, [](const R& r, int k) { (void)k; return expr; }, \
              [](R& r, int k, Values& v) { (void)k; write; })

const QVector<Case>& cases()
{
    static const QVector<Case> all = {
        READ(Sys, "system", "vendorName", r.vendorName()),
        READ(Sys, "system", "serialNumber", r.serialNumber()),
        READ(Sys, "system", "firmwareVersion", r.firmwareVersion()),
        READ(Sys, "system", "bootRomVersion", r.bootRomVersion()),
        READ(Sys, "system", "mbrVersion", r.mbrVersion()),
        READ(Sys, "system", "modelName", r.modelName()),
        READ(Sys, "system", "ipAddress", at(r, r.ipAddress())),
        READ(Sys, "system", "processorClock", r.processorClock()),
        READ(Sys, "system", "iCacheSize", r.iCacheSize()),
        READ(Sys, "system", "dCacheSize", r.dCacheSize()),
        READ(Sys, "system", "sCacheSize", r.sCacheSize()),
        READ(Sys, "system", "memorySize", r.memorySize()),
        READ(Sys, "system", "memoryClock", r.memoryClock()),
        READ(Sys, "system", "memoryEcc", r.memoryEcc()),
        READ(Sys, "system", "eventRingCapacity", r.eventRingCapacity()),
        READ(Sys, "system", "macAddress", at(r, r.macAddress())),
        READ(Sys, "system", "jbodMode", r.jbodMode()),
        READ(Sys, "system", "driveChannels", r.driveChannels()),
        READ(Sys, "system", "volumeSetNumbers", r.volumeSetNumbers()),
        READ(Sys, "system", "raidSetNumbers", r.raidSetNumbers()),
        READ(Sys, "system", "onBoardNetwork", r.hasOnBoardNetwork()),
        READ(Sys, "system", "boardType", r.boardType()),
        READ(Sys, "system", "family", r.family()),
        READ(Sys, "system", "enclosureFamily", r.isEnclosureFamily()),
        READ(Sys, "system", "highestEnclosure", r.highestEnclosure()),
        READ(Sys, "system", "extendedVolumes", r.hasExtendedVolumeRecord()),
        READ(Sys, "system", "modelSuffix", r.modelSuffix()),

        READ_WRITE(Raid, "raidset", "name", r.name(), r.setName(v.text("name"))),
        READ_WRITE(Raid, "raidset", "minMemberCapacity", r.minMemberCapacity(),
                   r.setMinMemberCapacity(v.num("minMemberCapacity"))),
        READ_WRITE(Raid, "raidset", "degraded", r.degraded(), r.setDegraded(uint32_t(v.num("degraded")))),
        READ_WRITE(Raid, "raidset", "memberSlot", r.memberSlot(k),
                   r.setMember(k, uint8_t(v.num("memberSlot")), uint8_t(v.num("memberEnclosure")))),
        READ(Raid, "raidset", "memberEnclosure", r.memberEnclosure(k)),
        READ(Raid, "raidset", "exists", r.exists()),
        READ_WRITE(Raid, "raidset", "memberCount", r.memberCount(), r.setMemberCount(int(v.num("memberCount")))),
        READ_WRITE(Raid, "raidset", "stateFlags", r.stateFlags(), r.setStateFlags(uint8_t(v.num("stateFlags")))),
        READ_WRITE(Raid, "raidset", "volumeCount", r.volumeCount(), r.setVolumeCount(int(v.num("volumeCount")))),
        READ_WRITE(Raid, "raidset", "volumeNumber", r.volumeNumber(k),
                   r.setVolumeNumber(k, uint8_t(v.num("volumeNumber")))),
        READ_WRITE(Raid, "raidset", "volumeNumberHigh", r.volumeNumber(16 + k),
                   r.setVolumeNumber(16 + k, uint8_t(v.num("volumeNumberHigh")))),
        READ_WRITE(Raid, "raidset", "flags", r.flags(), r.setFlags(uint16_t(v.num("flags")))),
        READ(Raid, "raidset", "selfEncrypting", (r.flags() & Raid::kFlagSed) != 0),
        READ(Raid, "raidset", "volumeLimit16", r.supportedVolumes() == 16),
        READ_WRITE(Raid, "raidset", "freeSegmentCount", r.freeSegmentCount(),
                   r.setFreeSegmentCount(int(v.num("freeSegmentCount")))),
        READ_WRITE(Raid, "raidset", "freeSegment", r.freeSegment(k),
                   r.setFreeSegment(k, uint32_t(v.num("freeSegment")))),

        READ_WRITE(Vol, "volumeset", "name", r.name(), r.setName(v.text("name"))),
        READ(Vol, "volumeset", "exists", r.exists()),
        READ_WRITE(Vol, "volumeset", "capacity", r.capacity(), r.setCapacity(v.num("capacity"))),
        READ_WRITE(Vol, "volumeset", "degraded", r.degraded(), r.setDegraded(uint32_t(v.num("degraded")))),
        READ_WRITE(Vol, "volumeset", "rebuildDone", r.rebuildDone(), r.setRebuildDone(uint32_t(v.num("rebuildDone")))),
        READ_WRITE(Vol, "volumeset", "stripe", r.stripe(), r.setStripe(uint32_t(v.num("stripe")))),
        READ_WRITE(Vol, "volumeset", "state", r.state(), r.setState(uint32_t(v.num("state")))),
        READ_WRITE(Vol, "volumeset", "progress", r.progress(), r.setProgress(uint32_t(v.num("progress")))),
        READ_WRITE(Vol, "volumeset", "channel", r.channel(),
                   r.setAddress(uint8_t(v.num("channel")), uint8_t(v.num("id")), uint8_t(v.num("lun")))),
        READ(Vol, "volumeset", "id", r.id()),
        READ(Vol, "volumeset", "lun", r.lun()),
        READ_WRITE(Vol, "volumeset", "taggedQueuing", r.taggedQueuing(),
                   r.setTaggedQueuing(uint8_t(v.num("taggedQueuing")))),
        READ_WRITE(Vol, "volumeset", "cacheMode", r.cacheMode(), r.setCacheMode(uint8_t(v.num("cacheMode")))),
        READ_WRITE(Vol, "volumeset", "memberCount", r.memberCount(), r.setMemberCount(int(v.num("memberCount")))),
        READ_WRITE(Vol, "volumeset", "raidLevel", r.raidLevel(), r.setRaidLevel(uint8_t(v.num("raidLevel")))),
        READ_WRITE(Vol, "volumeset", "raidSet", r.raidSet(), r.setRaidSet(uint8_t(v.num("raidSet")))),
        READ_WRITE(Vol, "volumeset", "flags", r.flags(), r.setFlags(uint32_t(v.num("flags")))),
        READ(Vol, "volumeset", "nestedPart", r.isNestedMember()),
        READ(Vol, "volumeset", "nestedVolume", r.isNested()),
        READ(Vol, "volumeset", "writeProtected", (r.flags() & Vol::kFlagWriteProtected) != 0),
        READ(Vol, "volumeset", "encrypted", (r.flags() & Vol::kFlagEncrypted) != 0),
        READ(Vol, "volumeset", "unlocked", (r.flags() & Vol::kFlagUnlocked) != 0),
        READ_WRITE(Vol, "volumeset", "nestedMember", r.nestedMember(k),
                   r.setNestedMember(k, uint8_t(v.num("nestedMember")))),
        READ_WRITE(Vol, "volumeset", "nestedCount", r.nestedCount(), r.setNestedCount(int(v.num("nestedCount")))),
        READ_WRITE(Vol, "volumeset", "encryptionType", r.encryptionType(),
                   r.setEncryptionType(uint8_t(v.num("encryptionType")))),
        READ_WRITE(Vol, "volumeset", "keyStatus", r.keyStatus(), r.setKeyStatus(uint8_t(v.num("keyStatus")))),
        READ_WRITE(Vol, "volumeset", "serial", r.serial(), r.setSerial(v.text("serial"))),

        named("volumereply", "head", Got::place(0, zynvolreply::kHeadSize)),
        named("volumereply", "extended",
              Got::place(zynvolreply::kExtendedFrom, zynvolreply::kExtendedTo - zynvolreply::kExtendedFrom)),
        named("volumereply", "field88", Got::place(zynvolreply::kField88)),
        named("volumereply", "serialExtended", Got::place(zynvolreply::kSerialExtended, Vol::kSerialSize)),
        named("volumereply", "serialPlain", Got::place(zynvolreply::kSerialPlain, Vol::kSerialSize)),

        READ_WRITE(Drv, "drive", "model", r.model(), r.setModel(v.text("model"))),
        READ_WRITE(Drv, "drive", "serial", r.serial(), r.setSerial(v.text("serial"))),
        READ_WRITE(Drv, "drive", "firmware", r.firmware(), r.setFirmware(v.text("firmware"))),
        READ_WRITE(Drv, "drive", "capacity", r.capacity(), r.setCapacity(v.num("capacity"))),
        READ(Drv, "drive", "present", r.present()),
        READ_WRITE(Drv, "drive", "state", r.stateLow(),
                   r.setState(uint16_t(v.num("state") | v.num("stateHigh") << 8))),
        READ(Drv, "drive", "stateHigh", r.stateHigh()),
        READ_WRITE(Drv, "drive", "spareKind", r.spareKind(), r.setSpareKind(uint8_t(v.num("spareKind")))),
        READ_WRITE(Drv, "drive", "raidSet", r.raidSet(), r.setRaidSet(uint8_t(v.num("raidSet")))),
        READ_WRITE(Drv, "drive", "mediaErrors", r.mediaErrors(),
                   r.setErrorCounts(int32_t(v.num("mediaErrors")), int32_t(v.num("timeouts")))),
        READ(Drv, "drive", "timeouts", r.timeouts()),
        READ_WRITE(Drv, "drive", "address", r.address(), r.setAddress(v.num("address"))),
        READ_WRITE(Drv, "drive", "smartValue", r.smartValue(k),
                   r.setSmart(k, uint8_t(v.num("smartValue")), uint8_t(v.num("smartThreshold")))),
        READ(Drv, "drive", "smartThreshold", r.smartThreshold(k)),
        READ_WRITE(Drv, "drive", "ataTemperature", r.ataTemperature(),
                   r.setAtaTemperature(uint8_t(v.num("ataTemperature")))),
        READ_WRITE(Drv, "drive", "rotation", r.rotation(), r.setRotation(uint16_t(v.num("rotation")))),
        READ_WRITE(Drv, "drive", "sasTemperature", r.sasTemperature(),
                   r.setSasTemperature(uint16_t(v.num("sasTemperature")))),
        READ_WRITE(Drv, "drive", "sasCounter", r.sasCounter(k), r.setSasCounter(k, v.num("sasCounter"))),
        READ_WRITE(Drv, "drive", "dedicatedRaidSet", r.dedicatedRaidSet(),
                   r.setDedicatedRaidSet(uint16_t(v.num("dedicatedRaidSet")))),

        READ_WRITE(Enc, "enclosure", "vendor", r.vendor(), r.setVendor(v.text("vendor"))),
        READ_WRITE(Enc, "enclosure", "name", r.name(), r.setName(v.text("name"))),
        READ_WRITE(Enc, "enclosure", "revision", r.revision(), r.setRevision(v.text("revision"))),
        READ(Enc, "enclosure", "exists", r.exists()),
        READ_WRITE(Enc, "enclosure", "type", r.type(), r.setType(uint8_t(v.num("type")))),
        READ_WRITE(Enc, "enclosure", "sectionCount", r.sectionCount(k),
                   r.setSectionCount(k, uint8_t(v.num("sectionCount")))),
        READ(Enc, "enclosure", "sectionCount", k == 0 ? r.slotCount() : r.sectionCount(k)),

        READ_WRITE(Evt, "event", "eventClass", r.eventClass(),
                   r.set(uint8_t(v.num("eventClass")), uint8_t(v.num("code")), uint8_t(v.num("channel")))),
        READ(Evt, "event", "code", r.code()),
        READ(Evt, "event", "channel", r.channel()),
        READ_WRITE(Evt, "event", "time", r.time(), r.setTime(uint32_t(v.num("time")))),
        READ_WRITE(Evt, "event", "duration", r.duration(), r.setDuration(uint32_t(v.num("duration")))),
        READ_WRITE(Evt, "event", "enclosure", r.enclosure(), r.setEnclosure(uint32_t(v.num("enclosure")))),
        READ_WRITE(Evt, "event", "count", r.count(), r.setCount(uint32_t(v.num("count")))),
        READ_WRITE(Evt, "event", "name", r.name(), r.setName(v.text("name"))),

        READ(_HWMON_INFO, "hwmon", "count", r.count),
        READ(_HWMON_INFO, "hwmon", "value", r.values[k]),
        READ(Sensors, "sensors", "section", at(r, &r.sections[k], sizeof(Section))),
        READ(Section, "sensorsection", "count", r.count),
        READ(Section, "sensorsection", "names", at(r, r.names, Sensors::kNamesSize)),
        READ(Section, "sensorsection", "name", r.name(k)),
        READ(Section, "sensorsection", "value", r.value(k)),
        READ(Section, "sensorsection", "flag", r.flag(k)),
        READ(E100, "e100", "fan", r.fan()),
        READ(E100, "e100", "voltage", r.voltage(k)),
        READ(E100, "e100", "voltage",
             zynwire::getU16(r.bytes + std::array<int, 4>{E100::kVoltage0, E100::kVoltage1, E100::kVoltage2,
                                                          E100::kVoltage3}[size_t(k)])),
        READ(E100, "e100", "temperature", r.temperature(k)),
        READ(E100, "e100", "temperature", int8_t(r.bytes[k == 0 ? E100::kTemperature0 : E100::kTemperature1])),

        READ(_DRV_MAP, "drivemap", "count", r.count),
        READ(_DRV_MAP, "drivemap", "entry", at(r, &r.entries[k], sizeof(DrvEntry))),
        READ(DrvEntry, "drivemapentry", "enclosure", r.enclosure),
        READ(DrvEntry, "drivemapentry", "slot", r.slot),
        READ(DrvEntry, "drivemapentry", "drive", at(r, &r.drive, sizeof r.drive)),
        READ(_RAID_MAP, "raidmap", "count", r.count),
        READ(_RAID_MAP, "raidmap", "entry", at(r, &r.entries[k], sizeof(RaidEntry))),
        READ(RaidEntry, "raidmapentry", "number", r.number),
        READ(RaidEntry, "raidmapentry", "raidSet", at(r, &r.raidSet, sizeof r.raidSet)),
        READ(_VOL_MAP, "volumemap", "count", r.count),
        READ(_VOL_MAP, "volumemap", "entry", at(r, &r.entries[k], sizeof(VolEntry))),
        READ(VolEntry, "volumemapentry", "number", r.number),
        READ(VolEntry, "volumemapentry", "volumeSet", at(r, &r.volumeSet, sizeof r.volumeSet)),

        READ(_DEVICE_LIST, "devicelist", "count", r.count),
        READ(_DEVICE_LIST, "devicelist", "enclosure", r.drives[k].enclosure),
        READ(_DEVICE_LIST, "devicelist", "slot", r.drives[k].slot),
        READ(VolCap, "volumecap", "size", r.size),
        READ(VolCap, "volumecap", "raidSet", r.raidSet),
        READ(VolCap, "volumecap", "name", std::string(r.name, sizeof r.name)),
        READ(VolCap, "volumecap", "capacity", bitsOf(r.capacity)),
        READ(VolCap, "volumecap", "level", r.level),
        READ(VolCap, "volumecap", "stripe", r.stripe),
        READ(VolCap, "volumecap", "channel", r.channel),
        READ(VolCap, "volumecap", "id", r.id),
        READ(VolCap, "volumecap", "lun", r.lun),
        READ(VolCap, "volumecap", "tagged", r.tagged),
        READ(VolCap, "volumecap", "cache", r.cache),
        READ(VolCap, "volumecap", "fixed4", r.reserved4),
        READ(VolCap, "volumecap", "flags", r.flags),
        READ(VolCap, "volumecap", "encryption", r.encryption),
        READ(NewVolCap, "newvolumecap", "size", r.size),
        READ(NewVolCap, "newvolumecap", "volume", r.volume),
        READ(NewVolCap, "newvolumecap", "name", std::string(r.name, sizeof r.name)),
        READ(NewVolCap, "newvolumecap", "capacity", bitsOf(r.capacity)),
        READ(NewVolCap, "newvolumecap", "setting", r.settings[k]),
        READ(_VOL_MOD_LIST, "volumechanges", "count", r.count),
        READ(_VOL_MOD_LIST, "volumechanges", "volume", r.entries[k].volume),
        READ(_VOL_MOD_LIST, "volumechanges", "level", r.entries[k].level),
        READ(_VOL_MOD_LIST, "volumechanges", "stripe", r.entries[k].stripe),
        READ(PassCap, "passdiskcap", "size", r.size),
        READ(PassCap, "passdiskcap", "drive", r.drive),
        READ(PassCap, "passdiskcap", "channel", r.channel),
        READ(PassCap, "passdiskcap", "id", r.id),
        READ(PassCap, "passdiskcap", "lun", r.lun),
        READ(PassCap, "passdiskcap", "tagged", r.tagged),
        READ(PassCap, "passdiskcap", "cache", r.cache),
        READ(PassCap, "passdiskcap", "mode", r.mode),

        READ(Ata, "atapassthrough", "features", r.features),
        READ(Ata, "atapassthrough", "sectorCount", r.sectorCount),
        READ(Ata, "atapassthrough", "lbaLow", r.lbaLow),
        READ(Ata, "atapassthrough", "lbaMid", r.lbaMid),
        READ(Ata, "atapassthrough", "lbaHigh", r.lbaHigh),
        READ(Ata, "atapassthrough", "device", r.device),
        READ(Ata, "atapassthrough", "command", r.command),
        READ(Ata, "atapassthrough", "status", r.status),
        READ(Ata, "atapassthrough", "error", r.error),
        READ(Ata, "atapassthrough", "direction", r.direction),
        READ(Ata, "atapassthrough", "data", at(r, r.data, sizeof r.data)),
        READ(Scsi, "scsipassthrough", "cdb", at(r, r.cdb, Scsi::kCdbSize)),
        READ(Scsi, "scsipassthrough", "cdbLength", r.cdbLength),
        READ(Scsi, "scsipassthrough", "direction", r.direction),
        READ(Scsi, "scsipassthrough", "dataLength", r.dataLength),
        READ(Scsi, "scsipassthrough", "data", at(r, r.data, Scsi::kDataCapacity)),

        named("netinfo", "dhcp", Got::place(_NET_INFO::kDhcp)),
        named("netinfo", "ipAddress", Got::place(_NET_INFO::kIpAddress)),
        named("netinfo", "gateway", Got::place(_NET_INFO::kGateway)),
        named("netinfo", "subnetMask", Got::place(_NET_INFO::kSubnetMask)),
        READ(_NET_INFO, "netinfo", "httpPort", r.httpPort()),
        READ(_NET_INFO, "netinfo", "telnetPort", r.telnetPort()),
        READ(_NET_INFO, "netinfo", "smtpPort", r.smtpPort()),
        named("netinfo", "currentIp", Got::place(_NET_INFO::kCurrentIp)),
        named("netinfo", "mac", Got::place(_NET_INFO::kMac)),
        READ_WRITE(_MAIL_ADDR, "mailaddress", "name", r.name(), r.setName(v.text("name"))),
        READ_WRITE(_MAIL_ADDR, "mailaddress", "address", r.address(), r.setAddress(v.text("address"))),
        named("mailconfig", "smtpServer", Got::place(_MAIL_CONFIG::kSmtpServer)),
        named("mailconfig", "account", Got::place(_MAIL_CONFIG::kAccount)),
        named("mailconfig", "password", Got::place(_MAIL_CONFIG::kPassword)),
        named("mailconfig", "addresses", Got::place(_MAIL_CONFIG::kAddresses)),
        READ(_MAIL_CONFIG, "mailconfig", "addressName", r.address(k).name()),
        READ(_MAIL_CONFIG, "mailconfig", "addressMail", r.address(k).address()),
        named("mailconfig", "level1", Got::place(_MAIL_CONFIG::kLevel1)),
        named("mailconfig", "levels234", Got::place(_MAIL_CONFIG::kLevels234)),
        named("mailconfig", "notice1", Got::place(_MAIL_CONFIG::kNotice1)),
        named("mailconfig", "notices234", Got::place(_MAIL_CONFIG::kNotices234)),
        named("snmpconfig", "trapAddresses", Got::place(_SNMP_CONFIG::kTrapAddresses)),
        READ(_SNMP_CONFIG, "snmpconfig", "trapPort", r.trapPort(k)),
        named("snmpconfig", "community", Got::place(_SNMP_CONFIG::kCommunity)),
        named("snmpconfig", "contact", Got::place(_SNMP_CONFIG::kContact)),
        named("snmpconfig", "location", Got::place(_SNMP_CONFIG::kLocation)),
        named("snmpconfig", "name", Got::place(_SNMP_CONFIG::kName)),
        READ(_SNMP_CONFIG, "snmpconfig", "eventLevel", r.eventLevel()),
        named("snmpconfig", "snmpPath", Got::place(_SNMP_CONFIG::kSnmpPath)),
        named("ntpconfig", "servers", Got::place(_NTP_CONFIG::kServers)),
        named("ntpconfig", "timeZone", Got::place(_NTP_CONFIG::kTimeZone)),
        named("ntpconfig", "daylightSaving", Got::place(_NTP_CONFIG::kDaylightSaving)),

        READ(U320, "u320target", "qas", r.qas[k]),
        READ(U320, "u320target", "autoSpeedDown", r.autoSpeedDown),
        READ(U320, "u320target", "twoTbMode", r.twoTbMode),
        READ(_FIBRE_CONFIG, "fibreport", "wwn", at(r, r.wwn, sizeof r.wwn)),
        READ(_FIBRE_CONFIG, "fibreport", "speed", r.speed),
        READ(_FIBRE_CONFIG, "fibreport", "topology", r.topology),
        READ(_FIBRE_CONFIG, "fibreport", "loopId", r.loopId),
        READ(_FIBRE_CONFIG, "fibreport", "loopStatus", r.loopStatus),
        READ(HostName, "hostname", "wwn", at(r, r.wwn, sizeof r.wwn)),
        READ(HostName, "hostname", "nickname", at(r, r.nickname, sizeof r.nickname)),
        READ(HostNames, "hostnamelist", "count", r.count),
        READ(HostNames, "hostnamelist", "entry", at(r, &r.entries[k], sizeof r.entries[k])),
        READ(Filter, "hostfilter", "wwn", at(r, r.wwn, sizeof r.wwn)),
        READ(Filter, "hostfilter", "mask", at(r, r.mask, sizeof r.mask)),
        READ(Filter, "hostfilter", "type", r.type),
        READ(Filter, "hostfilter", "mode", r.mode),
        READ(Filter, "hostfilter", "tag", r.tag),
        READ(Filters, "hostfilterlist", "count", r.count),
        READ(Filters, "hostfilterlist", "volume", r.volume),
        READ(Filters, "hostfilterlist", "entry", at(r, &r.entries[k], sizeof r.entries[k])),

        named("expanderinfo", "replyOffset", Got::place(sGUI_EXP_INFO::kReplyOffset, sGUI_EXP_INFO::kSize)),
        named("identify", "copied", Got::place(0, zynident::kIdentifyCopy)),
        named("identify", "modelNumber", Got::place(zynident::kModelNumberOffset)),
    };
    return all;
}

#undef READ
#undef READ_WRITE

// The record sizes as the program has them.
const QMap<QString, int>& programSizes()
{
    static const QMap<QString, int> sizes = {
        {"system", sizeof(Sys)}, {"raidset", sizeof(Raid)}, {"volumeset", sizeof(Vol)},
        {"drive", sizeof(Drv)}, {"enclosure", sizeof(Enc)}, {"event", sizeof(Evt)},
        {"hwmon", sizeof(_HWMON_INFO)}, {"sensors", sizeof(Sensors)}, {"sensorsection", sizeof(Section)},
        {"e100", sizeof(E100)}, {"drivemap", sizeof(_DRV_MAP)}, {"drivemapentry", sizeof(DrvEntry)},
        {"raidmap", sizeof(_RAID_MAP)}, {"raidmapentry", sizeof(RaidEntry)},
        {"volumemap", sizeof(_VOL_MAP)}, {"volumemapentry", sizeof(VolEntry)},
        {"devicelist", sizeof(_DEVICE_LIST)}, {"volumecap", sizeof(_VOLUMESET_CAP)},
        {"newvolumecap", sizeof(_NEW_VOLUMESET_CAP)}, {"volumechanges", sizeof(_VOL_MOD_LIST)},
        {"passdiskcap", sizeof(_PASS_DISK_CAP)}, {"atapassthrough", sizeof(_ATA_PASSTHROUGH_COMMAND)},
        {"scsipassthrough", sizeof(_SCSI_PASSTHROUGH_COMMAND)}, {"netinfo", sizeof(_NET_INFO)},
        {"mailaddress", sizeof(_MAIL_ADDR)}, {"mailconfig", sizeof(_MAIL_CONFIG)},
        {"snmpconfig", sizeof(_SNMP_CONFIG)}, {"ntpconfig", sizeof(_NTP_CONFIG)},
        {"sysconfig", sizeof(_SYS_CONFIG_INFO)}, {"advancedfeatures", sizeof(_SYS_ADVANCED_FEATURES_INFO)},
        {"u320target", sizeof(_U320_SCSI_TARGET_CONFIG)}, {"fibreport", sizeof(_FIBRE_CONFIG)},
        {"hostname", sizeof(_FIBRE_HOST_WWNAME)}, {"hostnamelist", sizeof(_FIBRE_HOST_WWNAME_LIST)},
        {"hostfilter", sizeof(_FIBRE_VOL_HOST_FILTER)}, {"hostfilterlist", sizeof(_FIBRE_VOL_HOST_FILTER_LIST)},
        {"expanderinfo", sizeof(sGUI_EXP_INFO)}, {"identify", zynident::kIdentifySize},
    };
    return sizes;
}

QString nameOf(const Case& c)
{
    return c.record + QLatin1Char('.') + c.field;
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    void everyFieldHasACase();
    void recordSizes();
    void accessorsReadTheirBytes_data();
    void accessorsReadTheirBytes();
    void conditionsLookAtTheirBytes_data();
    void conditionsLookAtTheirBytes();
    void settersWriteOnlyTheirBytes_data();
    void settersWriteOnlyTheirBytes();
    void simulatorSetupFields();
    void simulatorFillsTheDescribedPlaces();
    void namesCutAndRead_data();
    void namesCutAndRead();
};

void TestRecords::everyFieldHasACase()
{
    const Fixture& f = fixture();
    QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
    QVERIFY(f.rows.size() > 200);
    QStringList missing;
    for (const Row& row : f.rows) {
        const bool covered = std::any_of(cases().begin(), cases().end(), [&](const Case& c) {
            return c.record == row.record && c.field == row.field;
        });
        if (!covered)
            missing << row.record + QLatin1Char('.') + row.field;
    }
    QStringList unknown;
    for (const Case& c : cases())
        if (!f.find(c.record, c.field))
            unknown << nameOf(c);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no case for ") + missing.join(QLatin1String(", "))));
    QVERIFY2(unknown.isEmpty(), qPrintable(QStringLiteral("not in the fixture: ") + unknown.join(QLatin1String(", "))));
}

void TestRecords::recordSizes()
{
    const Fixture& f = fixture();
    QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
    QStringList wrong;
    for (auto it = f.sizes.begin(); it != f.sizes.end(); ++it) {
        if (it.value() < 0)
            continue;
        const int have = programSizes().value(it.key(), -1);
        if (have != it.value())
            wrong << QStringLiteral("%1 is %2 bytes, not %3").arg(it.key()).arg(have).arg(it.value());
    }
    for (const Case& c : cases())
        if (c.size != 0 && c.size != f.sizes.value(c.record))
            wrong << QStringLiteral("%1 reads a %2-byte record").arg(nameOf(c)).arg(c.size);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1String("; "))));
}

void TestRecords::accessorsReadTheirBytes_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < cases().size(); ++i) {
        const Row* row = fixture().find(cases()[i].record, cases()[i].field);
        if (row && row->type != QLatin1String("is"))
            QTest::newRow(qPrintable(nameOf(cases()[i]) + QStringLiteral(" #%1").arg(i))) << i;
    }
}

void TestRecords::accessorsReadTheirBytes()
{
    QFETCH(int, index);
    const Case& c = cases()[index];
    const Row& row = *fixture().find(c.record, c.field);
    const QByteArray bytes = pattern(c.size);
    const QByteArray reference = pattern(qMax(c.size, row.at(row.count - 1) + row.width));
    for (int k = 0; k < row.count; ++k) {
        const Got got = c.read(bytes, k);
        const Got want = expected(row, k, reference);
        QVERIFY2(matches(got, want), qPrintable(QStringLiteral("element %1: got %2, want %3")
                                                    .arg(k).arg(got.describe(), want.describe())));
    }
}

void TestRecords::conditionsLookAtTheirBytes_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < cases().size(); ++i) {
        const Row* row = fixture().find(cases()[i].record, cases()[i].field);
        if (row && row->type == QLatin1String("is"))
            QTest::newRow(qPrintable(nameOf(cases()[i]))) << i;
    }
}

// On an empty record the condition holds exactly when the trigger value sits in its field.
void TestRecords::conditionsLookAtTheirBytes()
{
    QFETCH(int, index);
    const Case& c = cases()[index];
    const Row& row = *fixture().find(c.record, c.field);
    QVERIFY2(c.read(QByteArray(c.size, '\0'), 0).number == 0, "holds on an empty record");
    QVector<int> wrong;
    for (int j = 0; j < c.size; ++j) {
        QByteArray bytes(c.size, '\0');
        bytes[j] = char(row.trigger);
        const bool holds = c.read(bytes, 0).number != 0;
        if (holds != (j >= row.offset && j < row.offset + row.width))
            wrong << j;
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("wrong with 0x%1 at byte %2")
                                             .arg(row.trigger, 0, 16).arg(wrong.value(0))));
}

void TestRecords::settersWriteOnlyTheirBytes_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < cases().size(); ++i)
        if (cases()[i].write)
            QTest::newRow(qPrintable(nameOf(cases()[i]))) << i;
}

// A setter on a record of distinct bytes changes its own fields' bytes to the value given and
// leaves every other byte as it was.
void TestRecords::settersWriteOnlyTheirBytes()
{
    QFETCH(int, index);
    const Case& c = cases()[index];
    const Row* row = fixture().find(c.record, c.field);
    QVERIFY(row);
    const QByteArray background = pattern(c.size);
    for (int k = 0; k < row->count; ++k) {
        Values values(c.record, k, background);
        const QByteArray got = c.write(background, k, values);
        QVERIFY2(values.failure().isEmpty(), qPrintable(values.failure()));
        const QByteArray want = values.expectedRecord();
        int first = 0;
        while (first < got.size() - 1 && got[first] == want[first])
            ++first;
        QVERIFY2(got == want, qPrintable(QStringLiteral("element %1: byte %2 is %3, want %4").arg(k).arg(first)
                                             .arg(QString::fromLatin1(got.mid(first, 1).toHex()),
                                                  QString::fromLatin1(want.mid(first, 1).toHex()))));
    }
}

void TestRecords::simulatorSetupFields()
{
    using namespace zynsim::setup;
    const QMap<QString, quint32> program = {
        {"ipAddress", kIpAddress}, {"subnetMask", kSubnetMask}, {"passwordLength", kPasswordLength},
        {"password", kPassword}, {"fibrePorts", kFibrePorts}, {"fibreHostNames", kFibreHostNames},
        {"fibreHostFilters", kFibreHostFilters}, {"gateway", kGateway}, {"dhcp", kDhcp},
        {"httpPort", kHttpPort}, {"telnetPort", kTelnetPort}, {"snmpCommunity", kSnmpCommunity},
        {"snmpContact", kSnmpContact}, {"snmpLocation", kSnmpLocation}, {"snmpName", kSnmpName},
        {"unitSerial", kUnitSerial}, {"smtpPort", kSmtpPort}, {"powerSupplies", kPowerSupplies},
        {"maxCommandLength", kMaxCommandLength},
    };
    QVERIFY2(fixture().error.isEmpty(), qPrintable(fixture().error));
    QCOMPARE(program, fixture().setupFields);
}

// The simulator writes part of its system information and its identify string without the
// record's names: what it configured must stand where the description puts it.
void TestRecords::simulatorFillsTheDescribedPlaces()
{
    using zynsim::ControllerConfig;
    using zynsim::Profile;
    ControllerConfig enclosure;
    enclosure.profile = Profile::Enclosure;
    enclosure.serial = "S0123456789ABCDE";
    enclosure.modelNumber = 1883;
    enclosure.eventRingCapacity = 512;
    enclosure.raidSetNumbers = 32;
    enclosure.boardType = 9;
    ControllerConfig older;
    older.profile = Profile::Older;
    older.serial = "OLD-7";
    older.modelNumber = 1210;
    older.firmware = "V1.49 2016-01-02";
    older.onBoardNetwork = false;
    older.boardType = 2;
    ControllerConfig jbod;
    jbod.profile = Profile::Jbod;
    const struct {
        ControllerConfig config;
        QVector<QPair<QString, QString>> fields;   // system information field, text or number
        QString model;                             // the identify string's model number
    } table[] = {
        {enclosure,
         {{"vendorName", "Varnel Technologies"}, {"serialNumber", "S0123456789ABCDE"},
          {"firmwareVersion", "V1.56 2021-03-18"}, {"bootRomVersion", "B1.02 2019-06-11"},
          {"mbrVersion", "M1.04 2020-01-20"}, {"modelName", "ZRC-1883"}, {"modelSuffix", "-1883"},
          {"eventRingCapacity", "512"}, {"raidSetNumbers", "32"}, {"volumeSetNumbers", "128"},
          {"boardType", "9"}, {"family", "3"}, {"onBoardNetwork", "1"}, {"jbodMode", "0"},
          {"extendedVolumes", "1"}, {"driveChannels", "0"}},
         "1883"},
        {older,
         {{"serialNumber", "OLD-7"}, {"firmwareVersion", "V1.49 2016-01-02"}, {"modelName", "ZRC-1210"},
          {"modelSuffix", "-1210"}, {"eventRingCapacity", "256"}, {"raidSetNumbers", "16"},
          {"volumeSetNumbers", "16"}, {"boardType", "2"}, {"family", "1"}, {"onBoardNetwork", "0"},
          {"extendedVolumes", "0"}, {"driveChannels", "16"}},
         "1210"},
        {jbod, {{"jbodMode", "1"}}, "1880"},
    };
    auto decode = [](const zynsim::Bytes& bytes, const Row& row) {
        if (row.type != QLatin1String("text"))
            return QString::number(littleEndian(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                           int(bytes.size())), row.offset, row.width));
        const auto from = bytes.begin() + row.offset;
        return QString::fromLatin1(std::string(from, std::find(from, from + row.width, uint8_t(0))).c_str());
    };
    for (const auto& entry : table) {
        zynsim::FakeController controller(entry.config);
        const zynsim::Bytes info = controller.systemInfo();
        QCOMPARE(int(info.size()), fixture().sizes.value(QStringLiteral("system")));
        for (const auto& field : entry.fields) {
            const Row* row = fixture().find(QStringLiteral("system"), field.first);
            QVERIFY2(row, qPrintable(field.first));
            QCOMPARE(decode(info, *row), field.second);
        }
        const Row* model = fixture().find(QStringLiteral("identify"), QStringLiteral("modelNumber"));
        QVERIFY(model);
        Row digits = *model;
        digits.type = QStringLiteral("text");
        digits.width = fixture().sizes.value(QStringLiteral("identify")) - model->offset;
        QCOMPARE(decode(controller.identifyString(), digits), entry.model);
    }
}

// A name typed (UTF-8) goes into its 16-byte field cut between characters; the bytes of a name
// read back are UTF-8 where they are, else Latin-1 (a name another tool wrote).
void TestRecords::namesCutAndRead_data()
{
    QTest::addColumn<QByteArray>("typed");    // empty: the field holds what another tool wrote
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    const auto field = [](const QByteArray& b) { return b + QByteArray(16 - b.size(), '\0'); };
    QTest::newRow("cut before a character") << QByteArray("Tägliche-Sicherung") << field("Tägliche-Sicher")
                                            << QStringLiteral("Tägliche-Sicher");
    QTest::newRow("not inside a character") << QByteArray("ABCDEFGHIJKLMNOé") << field("ABCDEFGHIJKLMNO")
                                            << QStringLiteral("ABCDEFGHIJKLMNO");
    QTest::newRow("not inside four bytes") << QByteArray("ABCDEFGHIJKLM\xF0\x9F\x98\x80") << field("ABCDEFGHIJKLM")
                                           << QStringLiteral("ABCDEFGHIJKLM");
    QTest::newRow("a last character that fits") << QByteArray("ABCDEFGHIJKLM€") << field("ABCDEFGHIJKLM€")
                                                << QStringLiteral("ABCDEFGHIJKLM€");
    QTest::newRow("cut inside a character elsewhere") << QByteArray() << field("ABCDEFGHIJKLMNO\xC3")
                                                      << QStringLiteral("ABCDEFGHIJKLMNOÃ");
    QTest::newRow("Latin-1") << QByteArray() << field("Caf\xE9-Sicherung-1") << QStringLiteral("Café-Sicherung-1");
    QTest::newRow("overlong, surrogate, past U+10FFFF")
        << QByteArray() << field("\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80")
        << QString::fromLatin1("\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80");
}

void TestRecords::namesCutAndRead()
{
    QFETCH(QByteArray, typed);
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QCOMPARE(stored.size(), int(sGUI_RAIDSET::kNameSize));
    sGUI_RAIDSET r;
    std::memset(r.bytes, 0x55, sizeof r.bytes);
    if (!typed.isEmpty()) {
        zynwire::putName(r.bytes + sGUI_RAIDSET::kName, sGUI_RAIDSET::kNameSize, typed.toStdString(), '\0');
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(r.bytes), sGUI_RAIDSET::kNameSize + 1), stored + '\x55');
    }
    std::memcpy(r.bytes + sGUI_RAIDSET::kName, stored.constData(), sGUI_RAIDSET::kNameSize);
    QCOMPARE(QString::fromStdString(zynwire::textAsUtf8(r.name())), shown);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
