#include "ui/model/controlleritemmodel.h"

#include "devices/controller.h"
#include "devices/host.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

using namespace zynmodel;

QControllerItemModel::QControllerItemModel(QZynHost* host, QObject* parent)
    : QStandardItemModel(parent)
    , m_host(host)
    , m_localHostDevice(std::make_unique<QZynDevice>(QZynDevice::LocalHost))
    , m_networkDevice(std::make_unique<QZynDevice>(QZynDevice::Network))
{
    PalvirInitImages();
    connect(m_host, &QZynHost::DeviceChanged, this, &QControllerItemModel::DeviceItemChanged);
    m_localHost = newDeviceItem(m_localHostDevice.get(), tr("LocalHost"), QStringLiteral(":/images/icons/app/localhost.png"));
    m_network = newDeviceItem(m_networkDevice.get(), tr("Network"), QStringLiteral(":/images/icons/app/network_w.png"));
    invisibleRootItem()->insertRow(0, m_localHost);
    invisibleRootItem()->insertRow(1, m_network);
    m_currentParent = m_localHost;
    UpdateHeader();
}

QControllerItemModel::~QControllerItemModel()
{
    disconnect(m_host, &QZynHost::DeviceChanged, this, &QControllerItemModel::DeviceItemChanged);
}

void QControllerItemModel::UpdateHeader()
{
    setHorizontalHeaderLabels({tr("Controller Hierarchy")});
}

QStandardItem* QControllerItemModel::newDeviceItem(QZynDevice* device, const QString& text, const QString& icon) const
{
    auto* item = new QStandardItem(ViewText(text));
    SetIcon(item, icon);
    item->setEditable(false);
    item->setData(DeviceVariant(device), DeviceItemRole);
    return item;
}

QStandardItem* QControllerItemModel::FindItem(QZynDevice* device, QStandardItem* start) const
{
    return device != nullptr ? FindDeviceItem(this, DeviceVariant(device), start) : nullptr;
}

QStandardItem* QControllerItemModel::childRow(QStandardItem* parent, QZynDevice* device)
{
    if (parent == nullptr || device == nullptr)
        return nullptr;
    const QVariant wanted = DeviceVariant(device);
    for (int r = 0; r < parent->rowCount(); ++r) {
        QStandardItem* row = parent->child(r, 0);
        if (row != nullptr && row->data(DeviceItemRole) == wanted)
            return row;
    }
    return nullptr;
}

QStandardItem* QControllerItemModel::controllerRow(QZynController* controller) const
{
    QStandardItem* row = childRow(m_localHost, controller);
    return row != nullptr ? row : childRow(m_network, controller);
}

QStandardItem* QControllerItemModel::rowOf(QZynDevice* device) const
{
    if (device == nullptr)
        return nullptr;
    QZynController* owner = nullptr;
    if (device->type == QZynDevice::RaidSet)
        owner = static_cast<QZynRaidSet*>(device)->GetOwner();
    else if (device->type == QZynDevice::VolumeSet)
        owner = static_cast<QZynVolumeSet*>(device)->GetOwner();
    else
        return FindItem(device, nullptr);
    QStandardItem* under = controllerRow(owner);
    return under != nullptr ? FindItem(device, under) : nullptr;
}

void QControllerItemModel::AddControllerItem(QZynController* controller, QStandardItem* parent)
{
    if (controller == nullptr || parent == nullptr)
        return;
    connect(controller, &QZynController::DeviceChanged, this, &QControllerItemModel::DeviceItemChanged,
            Qt::UniqueConnection);
    QStandardItem* row = newDeviceItem(controller, controller->GetText(), QZynController::StateIconPath(controller->GetState()));
    parent->appendRow(row);
    std::vector<int> raidSets;
    controller->GetRaidSetCount(raidSets);
    for (int number : raidSets) {
        QZynRaidSet* raidset = controller->GetRaidSet(number);
        if (raidset == nullptr)
            continue;
        QStandardItem* raidRow = newDeviceItem(raidset, raidset->GetName(), QZynRaidSet::StateIconPath(raidset->GetStateString()));
        row->appendRow(raidRow);
        std::vector<int> volumes;
        raidset->GetVolumeSetCount(volumes);
        for (int v : volumes)
            if (QZynVolumeSet* volume = controller->GetVolumeSet(v))
                raidRow->appendRow(newDeviceItem(volume, volume->GetName(), volume->GetStateIconPath()));
    }
}

void QControllerItemModel::AddRaidSetItem(QZynRaidSet* raidset, QStandardItem*)
{
    if (raidset == nullptr)
        return;
    QStandardItem* under = controllerRow(raidset->GetOwner());
    if (under == nullptr || FindItem(raidset, under) != nullptr)
        return;
    InsertChecked(under, raidset->PositionAtController(),
                  {newDeviceItem(raidset, raidset->GetName(), QZynRaidSet::StateIconPath(raidset->GetStateString()))},
                  ZYN_INSERT_SITE("AddRaidSetItem"), true);
}

void QControllerItemModel::AddVolumeSetItem(QZynVolumeSet* volume, QStandardItem*)
{
    if (volume == nullptr || volume->GetRecord().isNested())
        return;
    QStandardItem* raidRow = rowOf(volume->GetRaidSet());
    if (raidRow == nullptr || FindItem(volume, raidRow) != nullptr)
        return;
    InsertChecked(raidRow, volume->PositionAtRaidSet(), {newDeviceItem(volume, volume->GetName(), volume->GetStateIconPath())},
                  ZYN_INSERT_SITE("AddVolumeSetItem"), true);
}

void QControllerItemModel::UpdateControllerItem(QZynController* controller, QStandardItem* item)
{
    if (controller == nullptr || item == nullptr)
        return;
    item->setText(ViewText(controller->GetSysInfo()->GetModelName()));
    SetIcon(item, QZynController::StateIconPath(controller->GetState()));
}

void QControllerItemModel::UpdateRaidSetItem(QZynRaidSet* raidset, QStandardItem* item)
{
    if (raidset == nullptr || item == nullptr)
        return;
    item->setText(ViewText(raidset->GetName()));
    SetIcon(item, QZynRaidSet::StateIconPath(raidset->GetStateString()));
}

void QControllerItemModel::UpdateVolumeSetItem(QZynVolumeSet* volume, QStandardItem* item)
{
    if (volume == nullptr || item == nullptr)
        return;
    item->setText(ViewText(volume->GetName()));
    SetIcon(item, volume->GetStateIconPath());
}

void QControllerItemModel::RemoveControllerItem(QStandardItem* item)
{
    RemoveRowOf(this, item);
}

void QControllerItemModel::RemoveRaidSetItem(QStandardItem* item)
{
    RemoveRowOf(this, item);
}

void QControllerItemModel::RemoveVolumeSetItem(QStandardItem* item)
{
    RemoveRowOf(this, item);
}

void QControllerItemModel::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr)
        return;
    switch (device->type) {
    case QZynDevice::Controller: {
        auto* controller = static_cast<QZynController*>(device);
        if (code == QZynDevice::DeviceAdded) {
            m_currentParent = controller->GetConnectionType() == QZynController::ConnectionEthernet ? m_network : m_localHost;
            // A controller announced again keeps its one row.
            if (childRow(m_currentParent, controller) == nullptr)
                AddControllerItem(controller, m_currentParent);
        } else if (code == QZynDevice::DeviceRemoved) {
            RemoveControllerItem(controllerRow(controller));
        }
        break;
    }
    case QZynDevice::RaidSet: {
        auto* raidset = static_cast<QZynRaidSet*>(device);
        if (code == QZynDevice::DeviceAdded)
            AddRaidSetItem(raidset, nullptr);
        else if (code == QZynDevice::DeviceRemoved)
            RemoveRaidSetItem(rowOf(raidset));
        else if (code == QZynDevice::DeviceUpdated)
            UpdateRaidSetItem(raidset, rowOf(raidset));
        break;
    }
    case QZynDevice::VolumeSet: {
        auto* volume = static_cast<QZynVolumeSet*>(device);
        if (volume->GetRecord().isNested())
            break;
        if (code == QZynDevice::DeviceAdded)
            AddVolumeSetItem(volume, nullptr);
        else if (code == QZynDevice::DeviceRemoved)
            RemoveVolumeSetItem(rowOf(volume));
        else if (code == QZynDevice::DeviceUpdated)
            UpdateVolumeSetItem(volume, rowOf(volume));
        // The raid set's state follows its volume sets' (an initialisation ending, a rebuild).
        if (QZynRaidSet* raidset = volume->GetRaidSet())
            UpdateRaidSetItem(raidset, rowOf(raidset));
        break;
    }
    default:
        break;
    }
}
