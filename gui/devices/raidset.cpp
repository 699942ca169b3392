#include "devices/raidset.h"

#include "devices/controller.h"
#include "devices/volumeset.h"

#include <algorithm>

QZynRaidSet::QZynRaidSet(QZynController* owner, int index, const sGUI_RAIDSET* record)
    : QZynRecordDevice(RaidSet, owner, record)
    , m_index(index)
{
}

QZynRaidSet& QZynRaidSet::operator=(const QZynRaidSet& other)
{
    if (this == &other)
        return *this;
    assignFrom(other);
    m_index = other.m_index;
    return *this;
}

uint32_t QZynRaidSet::UpdateInfo()
{
    return refresh(IsPresent() && m_index >= 0 && m_index <= 255,
                   [this](sGUI_RAIDSET* fresh) { return m_owner->ZynGetRaidSetInfo(uint8_t(m_index), fresh); });
}

void QZynRaidSet::SetAbsent()
{
    m_record.edit([](sGUI_RAIDSET& r) { r.setMemberCount(0); });
}

QString QZynRaidSet::GetName() const
{
    const sGUI_RAIDSET r = GetRecord();
    return QString::fromStdString(zynwire::textAsUtf8(r.bytes + sGUI_RAIDSET::kName, sGUI_RAIDSET::kNameSize));
}

void QZynRaidSet::VolumeNumbers(const sGUI_RAIDSET& record, std::vector<int>& out)
{
    out.clear();
    const int count = std::min(record.volumeCount(), sGUI_RAIDSET::kMaxVolumes);
    for (int i = 0; i < count; ++i)
        out.push_back(record.volumeNumber(i));
}

void QZynRaidSet::Members(const sGUI_RAIDSET& record, std::vector<QZynDiskIndex>& out)
{
    out.clear();
    const int count = std::min(record.memberCount(), sGUI_RAIDSET::kMaxMembers);
    for (int i = 0; i < count; ++i)
        out.emplace_back(record.memberSlot(i), record.memberEnclosure(i));
}

void QZynRaidSet::GetVolumeSetCount(std::vector<int>& out) const
{
    VolumeNumbers(GetRecord(), out);
}

void QZynRaidSet::GetDiskCount(std::vector<QZynDiskIndex>& out) const
{
    Members(GetRecord(), out);
}

void QZynRaidSet::GetValidDiskCount(std::vector<QZynDiskIndex>& out) const
{
    std::vector<QZynDiskIndex> members;
    GetDiskCount(members);
    out.clear();
    if (m_owner == nullptr)
        return;
    for (const QZynDiskIndex& member : members)
        if (m_owner->GetDisk(member)->GetState() != 0)
            out.push_back(member);
}

uint32_t QZynRaidSet::GetCombinedState() const
{
    std::vector<int> volumes;
    GetVolumeSetCount(volumes);
    uint32_t state = 0;
    if (m_owner == nullptr)
        return state;
    for (int number : volumes)
        if (const QZynVolumeSet* volume = m_owner->GetVolumeSet(number))
            state |= volume->GetRecord().state();
    return state;
}

uint64_t QZynRaidSet::GetTotalCapacity() const
{
    const sGUI_RAIDSET r = GetRecord();
    return uint64_t(r.memberCount()) * r.minMemberCapacity();
}

uint64_t QZynRaidSet::GetMinDiskCapacity() const
{
    return GetRecord().minMemberCapacity();
}

uint64_t QZynRaidSet::GetFreeCapacity() const
{
    return FreeCapacity(GetRecord());
}

uint64_t QZynRaidSet::FreeCapacity(const sGUI_RAIDSET& r)
{
    const int count = std::min(std::max(1, r.freeSegmentCount()), kFreeSegmentArea);
    uint64_t largest = 0;
    for (int j = 0; j < count; ++j)
        largest = std::max<uint64_t>(largest, r.freeSegment(j));
    return uint64_t(r.memberCount()) * largest * 512;
}

double QZynRaidSet::GetFreeCapacityInGBByVolumeType(unsigned char level) const
{
    const int n = GetRecord().memberCount();
    const double g = double(GetFreeCapacity()) * 512.0 / 1000 / 1000 / 1000;
    switch (level) {
    case sGUI_VOLUMESET::kLevelRaid0:
        return g;
    case sGUI_VOLUMESET::kLevelRaid10:
        return g * 0.5;
    case sGUI_VOLUMESET::kLevelRaid3:
    case sGUI_VOLUMESET::kLevelRaid5:
        return n > 0 ? g * (n - 1) / n : 0.0;
    case sGUI_VOLUMESET::kLevelRaid6:
        // Fewer than three members hold no RAID 6: no space rather than a negative one.
        return n > 2 ? g * (n - 2) / n : 0.0;
    default:
        return 0.0;
    }
}

int QZynRaidSet::PositionOf(QZynVolumeSet* volume) const
{
    if (volume == nullptr || volume->GetRecord().raidSet() != m_index)
        return -1;
    std::vector<int> volumes;
    GetVolumeSetCount(volumes);
    const auto it = std::find(volumes.begin(), volumes.end(), volume->GetIndex());
    return it == volumes.end() ? -1 : int(it - volumes.begin());
}

int QZynRaidSet::PositionAtController() const
{
    if (m_owner == nullptr)
        return -1;
    std::vector<int> raidSets;
    m_owner->GetRaidSetCount(raidSets);
    const auto it = std::find(raidSets.begin(), raidSets.end(), m_index);
    return it == raidSets.end() ? -1 : int(it - raidSets.begin());
}

QString QZynRaidSet::GetStateString() const
{
    const sGUI_RAIDSET r = GetRecord();
    const uint8_t f = r.stateFlags();
    if ((f & sGUI_RAIDSET::kStateOnline) == 0 || (f & sGUI_RAIDSET::kStateComplete) == 0)
        return (f & sGUI_RAIDSET::kStateComplete) != 0 ? tr("Unkonwn") : tr("Incomplete");
    if (r.degraded() != 0)
        return tr("Degraded");
    const uint32_t c = GetCombinedState();
    if (c & sGUI_VOLUMESET::kStateInitializing)
        return tr("Initializing");
    if (c & sGUI_VOLUMESET::kStateMigrating)
        return tr("Migrating");
    if (c & sGUI_VOLUMESET::kStateRebuilding)
        return tr("Rebuilding");
    if (c & sGUI_VOLUMESET::kStateChecking)
        return tr("Checking");
    if (c & sGUI_VOLUMESET::kStateNeedRebuild)
        return tr("Degraded");
    return tr("Normal");
}

QString QZynRaidSet::StateIconPath(const QString& state)
{
    if (state == tr("Normal"))
        return QStringLiteral(":/images/icons/devices/raidset.png");
    if (state == tr("Incomplete"))
        return QStringLiteral(":/images/icons/event/error.png");
    return QStringLiteral(":/images/icons/event/warning.png");
}

QIcon QZynRaidSet::GetStateIcon() const
{
    QIcon icon;
    icon.addFile(StateIconPath(GetStateString()), QSize(), QIcon::Normal, QIcon::Off);
    return icon;
}

bool QZynRaidSet::HasR5060Volumes() const
{
    std::vector<int> volumes;
    GetVolumeSetCount(volumes);
    if (m_owner == nullptr)
        return false;
    for (int number : volumes) {
        const QZynVolumeSet* volume = m_owner->GetVolumeSet(number);
        if (volume == nullptr)
            continue;
        const uint32_t flags = volume->GetRecord().flags();
        if ((flags & sGUI_VOLUMESET::kFlagNestedMember) != 0 && (flags & sGUI_VOLUMESET::kFlagNested) == 0)
            return true;
    }
    return false;
}
