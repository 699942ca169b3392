#include "devices/enclosure.h"

#include "devices/controller.h"

QZynEnclosure::QZynEnclosure(QZynController* owner, int index, const sGUI_ENC_PROPERTY* record)
    : QZynRecordDevice(Enclosure, owner, record)
    , m_index(index)
    , m_descriptors(DeviceRecordLock(owner), nullptr)
    , m_sensors(DeviceRecordLock(owner), nullptr)
{
}

QZynEnclosure& QZynEnclosure::operator=(const QZynEnclosure& other)
{
    if (this == &other)
        return *this;
    assignFrom(other);
    m_index = other.m_index;
    m_descriptors.setLock(DeviceRecordLock(m_owner));
    m_sensors.setLock(DeviceRecordLock(m_owner));
    return *this;
}

uint32_t QZynEnclosure::UpdateInfo()
{
    return refresh(IsPresent() && m_index >= 0 && m_index <= 255,
                   [this](sGUI_ENC_PROPERTY* fresh) { return m_owner->ZynGetEnclosureProperty(uint8_t(m_index), fresh); });
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
