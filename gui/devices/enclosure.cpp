#include "enclosure.h"

#include "controller.h"

QZynEnclosure::QZynEnclosure(QZynController* owner, int index, const sGUI_ENC_PROPERTY* record)
    : QZynDevice(Enclosure)
    , m_owner(owner)
    , m_index(index)
    , m_record(DeviceRecordLock(owner), record)
    , m_descriptors(DeviceRecordLock(owner), nullptr)
    , m_sensors(DeviceRecordLock(owner), nullptr)
{
}

QZynEnclosure& QZynEnclosure::operator=(const QZynEnclosure& other)
{
    if (this == &other)
        return *this;
    m_owner = other.m_owner;
    m_index = other.m_index;
    m_record.assign(other.m_record, DeviceRecordLock(m_owner));
    m_descriptors.setLock(DeviceRecordLock(m_owner));
    m_sensors.setLock(DeviceRecordLock(m_owner));
    return *this;
}

void QZynEnclosure::SetupInfo(const sGUI_ENC_PROPERTY* record)
{
    m_record.set(record);
}

uint32_t QZynEnclosure::UpdateInfo()
{
    if (!IsPresent() || m_owner == nullptr || m_index < 0 || m_index > 255)
        return 0;
    sGUI_ENC_PROPERTY fresh;
    std::memset(&fresh, 0, sizeof fresh);
    const uint32_t rc = m_owner->ZynGetEnclosureProperty(uint8_t(m_index), &fresh);
    m_record.set(&fresh);
    return rc;
}

void QZynEnclosure::SetAbsent()
{
    m_record.edit([](sGUI_ENC_PROPERTY& r) { r.setType(0); });
}

QString QZynEnclosure::GetVendorName() const
{
    const sGUI_ENC_PROPERTY r = GetRecord();
    return devicetext::field(r.bytes + sGUI_ENC_PROPERTY::kVendor, sGUI_ENC_PROPERTY::kVendorSize);
}

QString QZynEnclosure::GetName() const
{
    const sGUI_ENC_PROPERTY r = GetRecord();
    return devicetext::field(r.bytes + sGUI_ENC_PROPERTY::kName, sGUI_ENC_PROPERTY::kNameSize);
}

QString QZynEnclosure::GetReversion() const
{
    const sGUI_ENC_PROPERTY r = GetRecord();
    return devicetext::field(r.bytes + sGUI_ENC_PROPERTY::kRevision, sGUI_ENC_PROPERTY::kRevisionSize);
}

void QZynEnclosure::GetDiskCount(std::vector<QZynDiskIndex>& out) const
{
    out.clear();
    if (m_owner == nullptr)
        return;
    const int slotCount = GetRecord().slotCount();
    for (int slot = 0; slot < slotCount; ++slot) {
        const QZynDiskIndex address(slot, m_index);
        out.emplace_back(slot, m_index, m_owner->GetDisk(address));
    }
}

void QZynEnclosure::GetFreeDiskCount(std::vector<QZynDiskIndex>& out) const
{
    std::vector<QZynDiskIndex> all;
    GetDiskCount(all);
    out.clear();
    for (const QZynDiskIndex& index : all)
        if ((index.disk->GetState() & sGUI_PHY_DRV::kStateFree) != 0)
            out.push_back(index);
}

void QZynEnclosure::SetDiskDescriptor(const unsigned char* page)
{
    m_descriptors.set(reinterpret_cast<const DescriptorPage*>(page));
}

QString QZynEnclosure::GetDiskDescriptor(int slot) const
{
    if (slot < 0 || slot >= kDescriptors)
        return QString();
    const DescriptorPage page = m_descriptors.get();
    return devicetext::upToNul(page.bytes + slot * kDescriptorSize, kDescriptorSize);
}
