#include "ui/model/raidsetitemmodel.h"

#include "devices/controller.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

using namespace zynmodel;

namespace {
constexpr int kColumns = 7;
}

QZynRaidSetItemModel::QZynRaidSetItemModel(QZynController* controller, QObject* parent)
    : QStandardItemModel(parent)
    , m_controller(controller)
{
    PalvirInitImages();
    connect(m_controller, &QZynController::DeviceChanged, this, &QZynRaidSetItemModel::DeviceItemChanged);
    UpdateHeader();
    SetupData();
}

QZynRaidSetItemModel::~QZynRaidSetItemModel()
{
    disconnect(m_controller, &QZynController::DeviceChanged, this, &QZynRaidSetItemModel::DeviceItemChanged);
}

void QZynRaidSetItemModel::UpdateHeader()
{
    setHorizontalHeaderLabels({tr("Name"), tr("Member Disk"), tr("Total Raw Capacity"), tr("Free Raw Capacity"),
                               tr("Min Member Disk Capacity"), tr("Volumes"), tr("State")});
}

void QZynRaidSetItemModel::SetupData()
{
    std::vector<int> numbers;
    m_controller->GetRaidSetCount(numbers);
    for (int number : numbers)
        UpdateItem(m_controller->GetRaidSet(number), QZynDevice::DeviceAdded, nullptr);
}

QList<QStandardItem*> QZynRaidSetItemModel::PrepareRow() const
{
    return NewRow(kColumns);
}

QStandardItem* QZynRaidSetItemModel::FindItem(QZynRaidSet* raidset, QStandardItem* parent) const
{
    return zynmodel::FindItem(this, raidset, parent);
}

void QZynRaidSetItemModel::UpdateItem(QZynRaidSet* raidset, int code, QStandardItem* parent)
{
    if (raidset == nullptr)
        return;
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    // Only an added raid set gets a row.
    QStandardItem* item = code == QZynDevice::DeviceAdded
                              ? FindOrInsert(this, raidset, parent, kColumns,
                                             [raidset] { return raidset->PositionAtController(); },
                                             ZYN_INSERT_SITE("UpdateItem"))
                              : FindItem(raidset, parent);
    if (item == nullptr)
        return;
    const int r = item->row();
    const sGUI_RAIDSET record = raidset->GetRecord();
    SetCell(item, raidset->GetName());
    SetIcon(item, QZynRaidSet::StateIconPath(raidset->GetStateString()));
    item->setData(QVariant::fromValue(raidset), DeviceItemRole);
    SetCell(under->child(r, 1), QString::number(record.memberCount()), record.memberCount());
    SetCell(under->child(r, 2), CapacityText(raidset->GetTotalCapacity()), raidset->GetTotalCapacity());
    SetCell(under->child(r, 3), CapacityText(raidset->GetFreeCapacity()), raidset->GetFreeCapacity());
    SetCell(under->child(r, 4), CapacityText(raidset->GetMinDiskCapacity()), raidset->GetMinDiskCapacity());
    SetCell(under->child(r, 5), QString::number(record.volumeCount()), record.volumeCount());
    SetCell(under->child(r, 6), raidset->GetStateString());
}

void QZynRaidSetItemModel::RemoveItem(QZynRaidSet* raidset)
{
    RemoveRowOf(this, FindItem(raidset, nullptr));
}

void QZynRaidSetItemModel::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr)
        return;
    if (device->type == QZynDevice::RaidSet) {
        auto* raidset = static_cast<QZynRaidSet*>(device);
        if (code == QZynDevice::DeviceRemoved)
            RemoveItem(raidset);
        else if (code == QZynDevice::DeviceAdded || code == QZynDevice::DeviceUpdated)
            UpdateItem(raidset, code, nullptr);
    } else if (device->type == QZynDevice::VolumeSet) {
        UpdateItem(static_cast<QZynVolumeSet*>(device)->GetRaidSet(), QZynDevice::DeviceUpdated, nullptr);
    }
}
