#include "devices/disk.h"

#include "devices/controller.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <vector>

QZynDisk::QZynDisk(QZynController* owner, const QZynDiskIndex& index, const sGUI_PHY_DRV* record)
    : QZynRecordDevice(Disk, owner, record)
    , m_index(index)
{
}

QZynDisk& QZynDisk::operator=(const QZynDisk& other)
{
    if (this == &other)
        return *this;
    assignFrom(other);
    m_index = other.m_index;
    return *this;
}

uint32_t QZynDisk::UpdateInfo()
{
    const bool addressable = m_index.enclosure >= 0 && m_index.enclosure <= 255 && m_index.slot >= 0 && m_index.slot <= 255;
    return refresh(GetState() != 0 && addressable, [this](sGUI_PHY_DRV* fresh) {
        return m_owner->ZynGetPhysicalDriveInfo(uint8_t(m_index.enclosure), uint8_t(m_index.slot), fresh);
    });
}

void QZynDisk::SetAbsent()
{
    m_record.edit([](sGUI_PHY_DRV& r) { r.setState(0); });
}

uint8_t QZynDisk::family() const
{
    return m_owner != nullptr ? m_owner->GetSysInfo()->GetRecord().family() : 0;
}

uint32_t QZynDisk::StateOf(const sGUI_PHY_DRV& record, uint8_t family)
{
    uint32_t state = record.stateLow();
    if (family == sSYSTEM_INFO::kEnclosureFamily)
        state += uint32_t(record.stateHigh()) * 256;
    return state;
}

bool QZynDisk::isMember(const sGUI_PHY_DRV& record, uint32_t state)
{
    return (state & sGUI_PHY_DRV::kStateMember) != 0 && (record.stateLow() & sGUI_PHY_DRV::kStateMemberLow) != 0
        && record.raidSet() != sGUI_PHY_DRV::kNoRaidSet;
}

QString QZynDisk::GetName() const
{
    const sGUI_PHY_DRV r = GetRecord();
    return devicetext::field(r.bytes + sGUI_PHY_DRV::kModel, sGUI_PHY_DRV::kModelSize);
}

QString QZynDisk::GetSerialNumber() const
{
    const sGUI_PHY_DRV r = GetRecord();
    return devicetext::field(r.bytes + sGUI_PHY_DRV::kSerial, sGUI_PHY_DRV::kSerialSize);
}

QString QZynDisk::GetFirmwareRevString() const
{
    const sGUI_PHY_DRV r = GetRecord();
    return devicetext::field(r.bytes + sGUI_PHY_DRV::kFirmware, sGUI_PHY_DRV::kFirmwareSize);
}

uint32_t QZynDisk::GetState() const
{
    return StateOf(GetRecord(), family());
}

bool QZynDisk::IsRaidSetMember() const
{
    const sGUI_PHY_DRV r = GetRecord();
    return isMember(r, StateOf(r, family()));
}

bool QZynDisk::IsInRebuild() const
{
    const sGUI_PHY_DRV r = GetRecord();
    if (!isMember(r, StateOf(r, family())) || m_owner == nullptr)
        return false;
    const QZynRaidSet* raidSet = m_owner->GetRaidSet(r.raidSet());
    if (raidSet == nullptr)
        return false;
    std::vector<int> volumes;
    raidSet->GetVolumeSetCount(volumes);
    std::vector<QZynDiskIndex> members;
    raidSet->GetDiskCount(members);
    for (int number : volumes) {
        const QZynVolumeSet* volume = m_owner->GetVolumeSet(number);
        if (volume == nullptr)
            continue;
        const sGUI_VOLUMESET v = volume->GetRecord();
        if ((v.state() & sGUI_VOLUMESET::kStateRebuilding) == 0)
            continue;
        for (size_t p = 0; p < members.size() && p < 32; ++p) {
            if (members[p] != m_index)
                continue;
            const uint32_t bit = 1u << p;
            return (v.degraded() & bit) != 0 && (v.rebuildDone() & bit) == 0;
        }
    }
    return false;
}

QString QZynDisk::GetStateString() const
{
    const uint32_t s = GetState();
    if (s & sGUI_PHY_DRV::kStateOfflined)
        return tr("Offlined");
    if (s & sGUI_PHY_DRV::kStateFailed)
        return tr("Failed");
    return tr("Normal");
}

QString QZynDisk::GetUsageString() const
{
    const sGUI_PHY_DRV r = GetRecord();
    const uint32_t s = StateOf(r, family());
    auto raidSetName = [this](int number) {
        const QZynRaidSet* raidSet = m_owner != nullptr ? m_owner->GetRaidSet(number) : nullptr;
        return raidSet != nullptr ? raidSet->GetName() : QString();
    };
    if (isMember(r, s)) {
        if (s & sGUI_PHY_DRV::kStatePassThrough) {
            const bool jbod = m_owner != nullptr && m_owner->GetSysInfo()->GetRecord().jbodMode();
            return jbod ? tr("JBOD") : tr("Pass Through");
        }
        return raidSetName(r.raidSet());
    }
    if (s & sGUI_PHY_DRV::kStatePassThrough)
        return tr("Pass Through");
    if (s & sGUI_PHY_DRV::kStateHotSpare) {
        switch (r.spareKind()) {
        case 0:
            return tr("HotSpare[Global]");
        case 1:
            return tr("HotSpare[%0]").arg(raidSetName(r.dedicatedRaidSet()), 0);
        case 2:
            return tr("HotSpare[Enclosure]");
        default:
            return tr("HotSpare[Unknown]");
        }
    }
    if (s & sGUI_PHY_DRV::kStateFree)
        return tr("Free");
    if (s & sGUI_PHY_DRV::kStateOfflined)
        return tr("Offlined");
    if (s & sGUI_PHY_DRV::kStateFailed)
        return tr("Failed");
    return QStringLiteral("N.A.");
}

QString QZynDisk::GetStateIconPath() const
{
    return (GetState() & sGUI_PHY_DRV::kStateFailed) != 0 ? QStringLiteral(":/images/icons/event/error.png")
                                                         : QStringLiteral(":/images/icons/devices/disk.png");
}

QIcon QZynDisk::GetStateIcon() const
{
    return QIcon(GetStateIconPath());
}
