#include "devices/volumeset.h"

#include "devices/controller.h"
#include "devices/raidset.h"

#include <algorithm>
#include <vector>

namespace {

// By level code.
const char* const kPlainLevels[sGUI_VOLUMESET::kRaidLevels] = {
    "Raid0", "Raid1+0", "Raid3", "Raid5", "Raid6", "Pass Through Disk"};
const char* const kNestedLevels[sGUI_VOLUMESET::kRaidLevels] = {
    "Raid00", "Raid100", "Raid30", "Raid50", "Raid60", "Unknown"};

// The states that run or wait for work to run: the volume set is not failed.
constexpr uint32_t kBusyOrWaiting = sGUI_VOLUMESET::kStateInitializing | sGUI_VOLUMESET::kStateMigrating
    | sGUI_VOLUMESET::kStateRebuilding | sGUI_VOLUMESET::kStateNeedInit | sGUI_VOLUMESET::kStateNeedMigrate
    | sGUI_VOLUMESET::kStateNeedRebuild | sGUI_VOLUMESET::kStateChecking | sGUI_VOLUMESET::kStateNeedCheck;
static_assert(kBusyOrWaiting == 0x3BD, "the states of the warning icon");

} // namespace

QZynVolumeSet::QZynVolumeSet(QZynController* owner, int index, const sGUI_VOLUMESET* record)
    : QZynRecordDevice(VolumeSet, owner, record)
    , m_index(index)
{
}

QZynVolumeSet& QZynVolumeSet::operator=(const QZynVolumeSet& other)
{
    if (this == &other)
        return *this;
    assignFrom(other);
    m_index = other.m_index;
    return *this;
}

uint32_t QZynVolumeSet::UpdateInfo()
{
    return refresh(IsPresent() && m_index >= 0 && m_index <= 255,
                   [this](sGUI_VOLUMESET* fresh) { return m_owner->ZynGetVolSetInfo(uint8_t(m_index), fresh); });
}

void QZynVolumeSet::SetAbsent()
{
    m_record.edit([](sGUI_VOLUMESET& r) { zynwire::putU32(r.bytes + sGUI_VOLUMESET::kCapacity, 0); });
}

bool QZynVolumeSet::IsNestedVolume(const sGUI_VOLUMESET& record)
{
    return record.isNested();   // byte 66 bit 4
}

QString QZynVolumeSet::GetName() const
{
    const sGUI_VOLUMESET r = GetRecord();
    return QString::fromStdString(zynwire::textAsUtf8(r.bytes + sGUI_VOLUMESET::kName, sGUI_VOLUMESET::kNameSize));
}

QString QZynVolumeSet::GetSerialNumber() const
{
    const sGUI_VOLUMESET r = GetRecord();
    return devicetext::field(r.bytes + sGUI_VOLUMESET::kSerial, sGUI_VOLUMESET::kSerialSize);
}

QZynRaidSet* QZynVolumeSet::GetRaidSet() const
{
    return m_owner != nullptr ? m_owner->GetRaidSet(GetRecord().raidSet()) : nullptr;
}

int QZynVolumeSet::PositionAtController() const
{
    if (m_owner == nullptr)
        return m_index;
    std::vector<int> volumes;
    m_owner->GetVolumeSetCount(volumes);
    const auto it = std::find(volumes.begin(), volumes.end(), m_index);
    return it == volumes.end() ? m_index : int(it - volumes.begin());
}

int QZynVolumeSet::PositionAtRaidSet() const
{
    const QZynRaidSet* raidSet = GetRaidSet();
    if (raidSet == nullptr)
        return -1;
    std::vector<int> volumes;
    raidSet->GetVolumeSetCount(volumes);
    const auto it = std::find(volumes.begin(), volumes.end(), m_index);
    return it == volumes.end() ? -1 : int(it - volumes.begin());
}

QString QZynVolumeSet::GetStateString() const
{
    const sGUI_VOLUMESET r = GetRecord();
    const uint32_t s = r.state();
    const bool degraded = r.degraded() != 0;
    if (s == 0)
        return degraded ? tr("Degraded") : tr("Normal");
    // A running state shows its progress, except on a nested volume.
    const bool nested = IsNestedVolume(r);
    const QString progress = QString::asprintf("%3.1f", double(r.progress()) / 10.0);   // tenths of a per cent
    using V = sGUI_VOLUMESET;
    if (s & V::kStateInitializing)
        return nested ? tr("Initializing") : tr("Initializing(%1%)").arg(progress);
    if (s & V::kStateFailed)
        return tr("Failed");
    if (s & V::kStateMigrating)
        return nested ? tr("Migrating") : tr("Migrating(%1%)").arg(progress);
    if (s & V::kStateRebuilding)
        return nested ? tr("Rebuilding") : tr("Rebuilding(%1%)").arg(progress);
    if (s & V::kStateNeedInit)
        return tr("Need Init");
    if (s & V::kStateNeedMigrate)
        return tr("Need Migrate");
    if (s & V::kStateNeedRebuild)
        return tr("Need Rebuild");
    if (s & V::kStateChecking)
        return nested ? tr("Checking") : tr("Checking(%1%)").arg(progress);
    if (s & V::kStateNeedCheck)
        return tr("Need Check");
    if (s & V::kStateCloning)
        return nested ? tr("Cloning") : tr("Cloning(%1%)").arg(progress);
    if (s & V::kStateNeedClone)
        return tr("Need Clone");
    return degraded ? tr("Degraded") : tr("Unknown");
}

QString QZynVolumeSet::GetRaidLevelString() const
{
    if (m_owner != nullptr && m_owner->GetSysInfo()->GetRecord().jbodMode())
        return QStringLiteral("JBOD");
    const sGUI_VOLUMESET r = GetRecord();
    const uint8_t level = r.raidLevel();
    if (level >= sGUI_VOLUMESET::kRaidLevels)
        return QStringLiteral("Unknown");
    return QString::fromLatin1(IsNestedVolume(r) ? kNestedLevels[level] : kPlainLevels[level]);
}

QString QZynVolumeSet::GetStateIconPath() const
{
    const sGUI_VOLUMESET r = GetRecord();
    const uint32_t state = r.state();
    if (state == 0) {
        if (r.degraded() != 0)
            return QStringLiteral(":/images/icons/event/warning.png");
        return uint32_t(r.capacity()) != 0 ? QStringLiteral(":/images/icons/devices/database-icon.png")
                                           : QStringLiteral(":/images/icons/event/error.png");
    }
    // Initializing, migrating, rebuilding, checking and what waits for one of them.
    return (state & kBusyOrWaiting) != 0 ? QStringLiteral(":/images/icons/event/warning.png")
                                : QStringLiteral(":/images/icons/event/error.png");
}

QIcon QZynVolumeSet::GetStateIcon() const
{
    QIcon icon;
    icon.addFile(GetStateIconPath(), QSize(), QIcon::Normal, QIcon::Off);
    return icon;
}
