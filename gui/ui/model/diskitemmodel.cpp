#include "ui/model/diskitemmodel.h"

#include "devices/controller.h"
#include "devices/disk.h"
#include "devices/enclosure.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"
#include "devices/raidset.h"

using namespace zynmodel;

namespace {
constexpr int kDiskColumns = 7;
constexpr int kMemberColumns = 6;
const char* const kEnclosureIcon = ":/images/icons/devices/enclosure.jpg";
}

// ---- QZynDiskItemModel ----------------------------------------------------------------------

QZynDiskItemModel::QZynDiskItemModel(QZynController* controller, QObject* parent)
    : QStandardItemModel(parent)
    , m_controller(controller)
{
    PalvirInitImages();
    connect(m_controller, &QZynController::DeviceChanged, this, &QZynDiskItemModel::DeviceItemChanged);
    UpdateHeader();
    SetupData();
}

QZynDiskItemModel::~QZynDiskItemModel()
{
    disconnect(m_controller, &QZynController::DeviceChanged, this, &QZynDiskItemModel::DeviceItemChanged);
}

void QZynDiskItemModel::UpdateHeader()
{
    setHorizontalHeaderLabels({tr("Name"), tr("Serial#"), tr("Firmware Rev."), tr("Capacity"), tr("Usage"),
                               tr("State"), tr("Slot#")});
}

void QZynDiskItemModel::SetupData()
{
    if (m_controller->IsEnclosureFamily()) {
        SetupSASData();
        return;
    }
    std::vector<QZynDiskIndex> addresses;
    m_controller->GetDiskSlotCount(addresses);
    for (const QZynDiskIndex& index : addresses)
        UpdateItem(m_controller->GetDisk(index), QZynDevice::DeviceAdded, invisibleRootItem());
}

void QZynDiskItemModel::SetupSASData()
{
    std::vector<int> enclosures;
    m_controller->GetEnclosureCount(enclosures);
    for (int number : enclosures)
        AddEnclosureItem(m_controller->GetEnclosure(number), nullptr);
}

QList<QStandardItem*> QZynDiskItemModel::PrepareRow() const
{
    return NewRow(kDiskColumns);
}

QStandardItem* QZynDiskItemModel::FindItem(QZynEnclosure* enclosure, QStandardItem* parent) const
{
    return zynmodel::FindItem(this, enclosure, parent);
}

QStandardItem* QZynDiskItemModel::FindItem(QZynDisk* disk, QStandardItem* parent) const
{
    return zynmodel::FindItem(this, disk, parent);
}

QString QZynDiskItemModel::SlotText(const QZynController* controller, const QZynDisk* disk)
{
    const QZynDiskIndex& at = disk->GetIndex();
    if (!controller->IsEnclosureFamily())
        return QString::number(at.slot);
    const QZynEnclosure* enclosure = controller->GetEnclosure(at.enclosure);
    return enclosure != nullptr ? enclosure->GetDiskDescriptor(at.slot) : QString();
}

void QZynDiskItemModel::UpdateItem(QZynDisk* disk, int code, QStandardItem* parent)
{
    if (disk == nullptr)
        return;
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    QStandardItem* item = FindItem(disk, parent);
    if (item == nullptr) {
        if (code != QZynDevice::DeviceAdded)
            return;
        const QList<QStandardItem*> row = PrepareRow();
        row[0]->setData(QVariant::fromValue(disk), DeviceItemRole);
        under->appendRow(row);
        item = row[0];
    }
    const int r = item->row();
    const bool present = disk->GetState() != 0;
    const QString none = QStringLiteral("N.A.");
    SetCell(item, present ? disk->GetName() : none);
    SetIcon(item, disk->GetStateIconPath());
    item->setData(QVariant::fromValue(disk), DeviceItemRole);
    SetCell(under->child(r, 1), present ? disk->GetSerialNumber() : none);
    SetCell(under->child(r, 2), present ? disk->GetFirmwareRevString() : none);
    const uint64_t capacity = present ? disk->GetRecord().capacity() : 0;
    SetCell(under->child(r, 3), present ? CapacityText(capacity) : none, capacity);
    SetCell(under->child(r, 4), present ? disk->GetUsageString() : none);
    SetCell(under->child(r, 5), present ? disk->GetStateString() : none);
    SetCell(under->child(r, 6), SlotText(m_controller, disk), qulonglong(disk->GetIndex().slot));
}

QString QZynDiskItemModel::enclosureText(const QZynEnclosure* enclosure) const
{
    return tr("Enclsoure#%1: %2")
        .arg(QString::number(enclosure->GetIndex() + 1),
             enclosure->GetVendorName() + enclosure->GetName() + enclosure->GetReversion());
}

void QZynDiskItemModel::AddEnclosureItem(QZynEnclosure* enclosure, QStandardItem* parent)
{
    if (enclosure == nullptr)
        return;
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    const int slotCount = std::min(enclosure->GetRecord().slotCount(), QZynController::kSlots);
    if (slotCount == 0)
        return;
    // A repeated announcement of the same enclosure keeps its one row.
    QStandardItem* item = FindItem(enclosure, nullptr);
    if (item == nullptr) {
        item = new QStandardItem;
        SetCell(item, enclosureText(enclosure));
        SetIcon(item, QString::fromLatin1(kEnclosureIcon));
        item->setData(QVariant::fromValue(enclosure), DeviceItemRole);
        under->appendRow(item);
    }
    for (int slot = 0; slot < slotCount; ++slot) {
        QZynDisk* disk = m_controller->GetDisk(QZynDiskIndex(slot, enclosure->GetIndex()));
        if (disk != nullptr && !disk->GetIndex().IsDummy() && FindItem(disk, item) == nullptr)
            UpdateItem(disk, QZynDevice::DeviceAdded, item);
    }
}

void QZynDiskItemModel::RemoveEnclosureItem(QZynEnclosure* enclosure, QStandardItem* parent)
{
    if (enclosure == nullptr)
        return;
    QStandardItem* item = FindItem(enclosure, nullptr);
    if (item == nullptr)
        return;
    const int slotCount = std::min(enclosure->GetRecord().slotCount(), QZynController::kSlots);
    for (int slot = 0; slot < slotCount; ++slot)
        RemoveSlot(m_controller->GetDisk(QZynDiskIndex(slot, enclosure->GetIndex())), item);
    QStandardItem* under = item->parent() != nullptr ? item->parent() : (parent != nullptr ? parent : invisibleRootItem());
    under->removeRow(item->row());
}

void QZynDiskItemModel::AddSlot(QZynDisk* disk, QStandardItem* parent)
{
    if (FindItem(disk, parent) == nullptr)
        UpdateItem(disk, QZynDevice::DeviceAdded, parent);
}

void QZynDiskItemModel::RemoveSlot(QZynDisk* disk, QStandardItem* parent)
{
    QStandardItem* item = FindItem(disk, parent);
    if (item != nullptr && parent != nullptr && item->row() < parent->rowCount())
        parent->removeRow(item->row());
}

void QZynDiskItemModel::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr)
        return;
    if (device->type == QZynDevice::Disk) {
        auto* disk = static_cast<QZynDisk*>(device);
        QStandardItem* parent = invisibleRootItem();
        if (m_controller->IsEnclosureFamily()) {
            // The dummy disk and disks of unknown enclosures have no enclosure row.
            parent = FindItem(m_controller->GetEnclosure(disk->GetIndex().enclosure), nullptr);
            if (parent == nullptr)
                return;
        }
        UpdateItem(disk, QZynDevice::DeviceUpdated, parent);
    } else if (device->type == QZynDevice::Enclosure) {
        auto* enclosure = static_cast<QZynEnclosure*>(device);
        if (code == QZynDevice::DeviceRemoved)
            RemoveEnclosureItem(enclosure, nullptr);
        else if (code == QZynDevice::DeviceAdded)
            AddEnclosureItem(enclosure, nullptr);
    }
}

// ---- QZynRaidSetMemberDiskItemModel ---------------------------------------------------------

QZynRaidSetMemberDiskItemModel::QZynRaidSetMemberDiskItemModel(QZynController* controller, QObject* parent)
    : QStandardItemModel(parent)
    , m_controller(controller)
{
    PalvirInitImages();
    connect(m_controller, &QZynController::DeviceChanged, this, &QZynRaidSetMemberDiskItemModel::DeviceItemChanged);
}

QZynRaidSetMemberDiskItemModel::~QZynRaidSetMemberDiskItemModel()
{
    disconnect(m_controller, &QZynController::DeviceChanged, this,
               &QZynRaidSetMemberDiskItemModel::DeviceItemChanged);
}

void QZynRaidSetMemberDiskItemModel::UpdateHeader()
{
    setHorizontalHeaderLabels({tr("Name"), tr("Serial#"), tr("Capacity"), tr("State"), tr("Slot#"), tr("Enclosure#")});
}

QList<QStandardItem*> QZynRaidSetMemberDiskItemModel::PrepareRow() const
{
    return NewRow(kMemberColumns);
}

void QZynRaidSetMemberDiskItemModel::SetupData(QZynRaidSet* raidset)
{
    if (raidset == nullptr)
        return;
    m_raidSet = raidset;
    clear();
    UpdateHeader();
    SetupSASData(raidset);
}

void QZynRaidSetMemberDiskItemModel::SetupSASData(QZynRaidSet* raidset)
{
    std::vector<QZynDiskIndex> members;
    raidset->GetDiskCount(members);
    for (const QZynDiskIndex& member : members)
        UpdateItem(m_controller->GetDisk(member), nullptr);
}

void QZynRaidSetMemberDiskItemModel::fillRow(QStandardItem* parent, int r, QZynDisk* disk)
{
    const bool present = disk->GetState() != 0;
    const QString none = QStringLiteral("-----");
    QStandardItem* first = parent->child(r, 0);
    SetCell(first, present ? disk->GetName() : none);
    SetIcon(first, disk->GetStateIconPath());
    first->setData(QVariant::fromValue(disk), DeviceItemRole);
    SetCell(parent->child(r, 1), present ? disk->GetSerialNumber() : none);
    const uint64_t capacity = present ? disk->GetRecord().capacity() : 0;
    SetCell(parent->child(r, 2), present ? CapacityText(capacity) : none, capacity);
    SetCell(parent->child(r, 3), present ? disk->GetStateString() : none);
    const QZynDiskIndex& at = disk->GetIndex();
    SetCell(parent->child(r, 4), present ? QZynDiskItemModel::SlotText(m_controller, disk) : none, qulonglong(at.slot));
    QString enclosure = none;
    if (present)
        enclosure = m_controller->IsEnclosureFamily() ? QString::asprintf("Enc#%d", at.enclosure + 1)
                                                      : QStringLiteral("N.A");
    SetCell(parent->child(r, 5), enclosure, qulonglong(at.enclosure));
}

void QZynRaidSetMemberDiskItemModel::UpdateItem(QZynDisk* disk, QStandardItem* parent)
{
    if (disk == nullptr)
        return;
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    under->appendRow(PrepareRow());
    fillRow(under, under->rowCount() - 1, disk);
}

void QZynRaidSetMemberDiskItemModel::AddItem(int row, QZynDisk* disk, QStandardItem* parent)
{
    if (disk == nullptr)
        return;
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    if (!InsertChecked(under, row, PrepareRow(), ZYN_INSERT_SITE("AddItem")))
        return;
    fillRow(under, std::min(row, under->rowCount() - 1), disk);
}

void QZynRaidSetMemberDiskItemModel::DeviceItemChanged(QZynDevice* device, int code)
{
    Q_UNUSED(code);
    if (device != nullptr && device->type == QZynDevice::RaidSet && device == m_raidSet)
        SetupData(m_raidSet);
}
