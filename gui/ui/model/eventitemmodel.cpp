#include "ui/model/eventitemmodel.h"

#include "devices/controller.h"
#include "devices/event.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"

using namespace zynmodel;

QZynEventItemModel::QZynEventItemModel(QZynController* controller, QObject* parent)
    : QStandardItemModel(parent)
    , m_controller(controller)
{
    PalvirInitImages();
    connect(m_controller, &QZynController::DeviceChanged, this, &QZynEventItemModel::DeviceItemChanged);
    SetupData();
}

QZynEventItemModel::~QZynEventItemModel()
{
    disconnect(m_controller, &QZynController::DeviceChanged, this, &QZynEventItemModel::DeviceItemChanged);
}

void QZynEventItemModel::SetupData()
{
    setHorizontalHeaderLabels({tr("State"), tr("DateTime"), tr("Device"), tr("Event Type"), tr("Elapse Time"), tr("Errors")});
    std::vector<int> events;
    m_controller->GetEventCount(events);
    for (int i : events)
        AddItem(m_controller->GetEvent(i));
}

void QZynEventItemModel::AddItem(QZynEvent* event)
{
    if (event == nullptr)
        return;
    const QList<QStandardItem*> row = NewRow(6);
    SetIcon(row[0], event->GetIconPath());
    row[0]->setData(QVariant::fromValue(event), DeviceItemRole);
    row[0]->setEditable(false);
    SetCell(row[1], event->GetDateText());
    SetCell(row[2], event->GetDeviceText());
    SetCell(row[3], event->GetEventText());
    SetCell(row[4], event->GetDurationText());
    SetCell(row[5], event->GetCountText());
    invisibleRootItem()->insertRow(0, row);
}

void QZynEventItemModel::DeviceItemChanged(QZynDevice* device, int)
{
    if (device != nullptr && device->type == QZynDevice::Event)
        AddItem(static_cast<QZynEvent*>(device));
}
