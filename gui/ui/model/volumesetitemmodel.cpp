#include "ui/model/volumesetitemmodel.h"

#include "devices/controller.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <QApplication>
#include <QStyleOptionProgressBar>

#include <cmath>

using namespace zynmodel;

namespace {
constexpr int kColumns = 6;
// Initializing, migrating, rebuilding and checking: drawn with their progress.
constexpr uint32_t kBusyStates = sGUI_VOLUMESET::kStateInitializing | sGUI_VOLUMESET::kStateMigrating
    | sGUI_VOLUMESET::kStateRebuilding | sGUI_VOLUMESET::kStateChecking;
}

QZynVolumeSetItemModel::QZynVolumeSetItemModel(QZynController* controller, QObject* parent)
    : QStandardItemModel(parent)
    , m_controller(controller)
{
    PalvirInitImages();
    connect(m_controller, &QZynController::DeviceChanged, this, &QZynVolumeSetItemModel::DeviceItemChanged);
    UpdateHeader();
    SetupData();
}

QZynVolumeSetItemModel::~QZynVolumeSetItemModel()
{
    disconnect(m_controller, &QZynController::DeviceChanged, this, &QZynVolumeSetItemModel::DeviceItemChanged);
}

void QZynVolumeSetItemModel::UpdateHeader()
{
    setHorizontalHeaderLabels({tr("Name"), tr("RaidSet Name"), tr("Level"), tr("State"), tr("Ch/Id/Lun"), tr("Capacity")});
}

void QZynVolumeSetItemModel::SetupData()
{
    std::vector<int> numbers;
    m_controller->GetVolumeSetCount(numbers);
    for (int number : numbers)
        UpdateItem(m_controller->GetVolumeSet(number), nullptr);
}

QList<QStandardItem*> QZynVolumeSetItemModel::PrepareRow() const
{
    return NewRow(kColumns);
}

QStandardItem* QZynVolumeSetItemModel::FindItem(QZynVolumeSet* volume, QStandardItem* parent) const
{
    return zynmodel::FindItem(this, volume, parent);
}

void QZynVolumeSetItemModel::UpdateItem(QZynVolumeSet* volume, QStandardItem* parent)
{
    if (volume == nullptr)
        return;
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    QStandardItem* item = FindOrInsert(this, volume, parent, kColumns, [volume] { return volume->PositionAtController(); },
                                       ZYN_INSERT_SITE("UpdateItem"));
    if (item == nullptr)
        return;
    const int r = item->row();
    const sGUI_VOLUMESET record = volume->GetRecord();
    SetCell(item, volume->GetName());
    SetIcon(item, volume->GetStateIconPath());
    item->setData(QVariant::fromValue(volume), DeviceItemRole);
    QString raidSetName = QStringLiteral("-----");
    if (!record.isNested()) {
        const QZynRaidSet* raidSet = volume->GetRaidSet();
        raidSetName = raidSet != nullptr ? raidSet->GetName() : QString();
    }
    SetCell(under->child(r, 1), raidSetName);
    SetCell(under->child(r, 2), volume->GetRaidLevelString());
    SetCell(under->child(r, 5), CapacityText(record.capacity()), record.capacity());
    SetCell(under->child(r, 4), LocationText(record.channel(), record.id(), record.lun()));
    SetCell(under->child(r, 3), volume->GetStateString());
}

void QZynVolumeSetItemModel::RemoveItem(QZynVolumeSet* volume)
{
    RemoveRowOf(this, FindItem(volume, nullptr));
}

void QZynVolumeSetItemModel::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr || device->type != QZynDevice::VolumeSet)
        return;
    auto* volume = static_cast<QZynVolumeSet*>(device);
    if (code == QZynDevice::DeviceRemoved)
        RemoveItem(volume);
    else if (code == QZynDevice::DeviceAdded || code == QZynDevice::DeviceUpdated)
        UpdateItem(volume, nullptr);
}

void VolumeSetViewDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() != 3) {
        QItemDelegate::paint(painter, option, index);
        return;
    }
    const QModelIndex first = index.sibling(index.row(), 0);
    auto* volume = first.data(DeviceItemRole).value<QZynVolumeSet*>();
    const sGUI_VOLUMESET record = volume != nullptr ? volume->GetRecord() : sGUI_VOLUMESET{};
    if (volume == nullptr || record.isNested() || (record.state() & kBusyStates) == 0) {
        QItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionProgressBar bar;
    bar.state = QStyle::State_Enabled | QStyle::State_Active;
    bar.direction = QGuiApplication::layoutDirection();
    bar.rect = option.rect;
    bar.fontMetrics = QApplication::fontMetrics();
    bar.minimum = 0;
    bar.maximum = 100;
    const double percent = std::trunc(record.progress() / 10.0);
    bar.progress = percent < 0 ? 0 : int(percent);
    bar.text = volume->GetStateString();
    bar.textAlignment = Qt::AlignCenter;
    bar.textVisible = true;
    bar.orientation = Qt::Horizontal;
    QApplication::style()->drawControl(QStyle::CE_ProgressBar, &bar, painter, nullptr);
}
