#include "ui/model/selectionproxy.h"

#include "devices/disk.h"
#include "devices/enclosure.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

template <typename Device>
bool QCheckListProxy<Device>::isKind(const QZynDevice* device) const
{
    return device != nullptr && device->type == m_kind;
}

template class QCheckListProxy<QZynDisk>;
template class QCheckListProxy<QZynRaidSet>;
template class QCheckListProxy<QZynVolumeSet>;

namespace {

bool isEnclosure(const QZynDevice* device)
{
    return device != nullptr && device->type == QZynDevice::Enclosure;
}

bool isDisk(const QZynDevice* device)
{
    return device != nullptr && device->type == QZynDevice::Disk;
}

// A drive with `bit` set that has not failed.
bool healthyWith(const QZynDisk* disk, uint32_t bit)
{
    const uint32_t state = disk->GetState();
    return (state & bit) != 0 && (state & sGUI_PHY_DRV::kStateFailed) == 0;
}

bool hasFreeSlot(const QZynEnclosure* enclosure)
{
    std::vector<QZynDiskIndex> free;
    enclosure->GetFreeDiskCount(free);
    return !free.empty();
}

} // namespace

// ---- Disks ---------------------------------------------------------------------------------

QDiskSortFilterProxyModel::QDiskSortFilterProxyModel(CheckList* list, QObject* parent)
    : QCheckListProxy<QZynDisk>(list, QZynDevice::Disk, parent)
{
}

QVariant QDiskSortFilterProxyModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    QZynDevice* device = deviceAt(index);
    if (isEnclosure(device) && index.column() == 0 && (role == Qt::CheckStateRole || role == Qt::EditRole)) {
        // The enclosure's box follows the offered drives in it.
        const int number = static_cast<QZynEnclosure*>(device)->GetIndex();
        int offered = 0;
        int checked = 0;
        for (const auto& pair : *m_list)
            if (pair.first != nullptr && pair.first->GetIndex().enclosure == number) {
                ++offered;
                checked += pair.second ? 1 : 0;
            }
        if (offered == 0)
            return QVariant();
        return checked == offered ? Qt::Checked : checked > 0 ? Qt::PartiallyChecked : Qt::Unchecked;
    }
    return QCheckListProxy<QZynDisk>::data(index, role);
}

bool QDiskSortFilterProxyModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    QZynDevice* device = deviceAt(index);
    if (isEnclosure(device) && role == Qt::CheckStateRole && index.column() == 0) {
        const int state = value.toInt() == Qt::Checked ? Qt::Checked : Qt::Unchecked;
        for (int i = 0; i < rowCount(index); ++i)
            setData(this->index(i, 0, index), state, Qt::CheckStateRole);
        return true;
    }
    return QCheckListProxy<QZynDisk>::setData(index, value, role);
}

Qt::ItemFlags QDiskSortFilterProxyModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QCheckListProxy<QZynDisk>::flags(index);
    if (index.isValid() && index.column() == 0 && isEnclosure(deviceAt(index)))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool QDiskSortFilterProxyModel::acceptsFree(int sourceRow, const QModelIndex& sourceParent,
                                            const std::function<bool(const QZynDisk*)>& also) const
{
    QZynDevice* device = sourceDevice(sourceRow, sourceParent);
    if (isEnclosure(device))
        return hasFreeSlot(static_cast<QZynEnclosure*>(device));
    if (!isDisk(device))
        return false;
    auto* disk = static_cast<QZynDisk*>(device);
    return offer(disk, healthyWith(disk, sGUI_PHY_DRV::kStateFree) && also(disk));
}

bool QDiskSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    QZynDevice* device = sourceDevice(sourceRow, sourceParent);
    if (isEnclosure(device))
        return true;
    return isDisk(device) && static_cast<QZynDisk*>(device)->GetState() != 0;
}

bool QHotSpareDiskSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    QZynDevice* device = sourceDevice(sourceRow, sourceParent);
    if (isEnclosure(device))
        return true;
    if (!isDisk(device))
        return false;
    auto* disk = static_cast<QZynDisk*>(device);
    return offer(disk, healthyWith(disk, sGUI_PHY_DRV::kStateHotSpare));
}

bool QFreeDiskSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    return acceptsFree(sourceRow, sourceParent, [](const QZynDisk*) { return true; });
}

QExpandSortFilterProxyModel::QExpandSortFilterProxyModel(QZynRaidSet* raidset, CheckList* list, QObject* parent)
    : QDiskSortFilterProxyModel(list, parent)
    , m_raidSet(raidset)
{
}

bool QExpandSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    return acceptsFree(sourceRow, sourceParent, [this](const QZynDisk* disk) {
        return m_raidSet != nullptr && disk->GetRecord().capacity() >= m_raidSet->GetMinDiskCapacity();
    });
}

// ---- Raid sets and volume sets -------------------------------------------------------------

QRaidSetSortFilterProxyModel::QRaidSetSortFilterProxyModel(CheckList* list, QObject* parent)
    : QCheckListProxy<QZynRaidSet>(list, QZynDevice::RaidSet, parent)
{
}

bool QRaidSetSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    QZynDevice* device = sourceDevice(sourceRow, sourceParent);
    return isKind(device) && static_cast<QZynRaidSet*>(device)->GetRecord().memberCount() != 0;
}

bool QFreeRaidSetSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    QZynDevice* device = sourceDevice(sourceRow, sourceParent);
    if (!isKind(device))
        return false;
    auto* raidset = static_cast<QZynRaidSet*>(device);
    const sGUI_RAIDSET r = raidset->GetRecord();
    return offer(raidset, r.memberCount() >= 3 && r.degraded() == 0 && raidset->GetFreeCapacity() != 0);
}

QVolumeSetSortFilterProxyModel::QVolumeSetSortFilterProxyModel(CheckList* list, QObject* parent)
    : QCheckListProxy<QZynVolumeSet>(list, QZynDevice::VolumeSet, parent)
{
}

bool QVolumeSetSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    QZynDevice* device = sourceDevice(sourceRow, sourceParent);
    return isKind(device) && static_cast<QZynVolumeSet*>(device)->GetRecord().exists();
}

bool QNestedVolumeSetSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    QZynDevice* device = sourceDevice(sourceRow, sourceParent);
    if (!isKind(device))
        return false;
    auto* volume = static_cast<QZynVolumeSet*>(device);
    const sGUI_VOLUMESET r = volume->GetRecord();
    return offer(volume, r.exists() && r.isNested());
}
