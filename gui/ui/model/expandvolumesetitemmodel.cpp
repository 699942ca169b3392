#include "ui/model/expandvolumesetitemmodel.h"

#include "devices/controller.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <QComboBox>
#include <QKeyEvent>

#include <algorithm>

using namespace zynmodel;

QExpandVolumeSetItemModel::QExpandVolumeSetItemModel(QZynRaidSet* raidset, QObject* parent)
    : QStandardItemModel(parent)
    , m_raidSet(raidset)
    , m_owner(raidset->GetOwner())
{
    PalvirInitImages();
    connect(m_owner.data(), &QZynController::DeviceChanged, this, &QExpandVolumeSetItemModel::DeviceItemChanged);
    UpdateHeader();
    SetupData();
}

QExpandVolumeSetItemModel::~QExpandVolumeSetItemModel()
{
    // A model that outlives the controller has no raid set left to ask.
    if (m_owner)
        disconnect(m_owner.data(), &QZynController::DeviceChanged, this, &QExpandVolumeSetItemModel::DeviceItemChanged);
}

void QExpandVolumeSetItemModel::UpdateHeader()
{
    setHorizontalHeaderLabels({tr("Name"), tr("New Raid Level"), tr("New Stripe Size"), tr("Ch/Id/Lun"), tr("Capacity")});
}

void QExpandVolumeSetItemModel::SetupData()
{
    std::vector<int> numbers;
    m_raidSet->GetVolumeSetCount(numbers);
    for (int number : numbers)
        UpdateItem(m_raidSet->GetOwner()->GetVolumeSet(number), nullptr);
}

QList<QStandardItem*> QExpandVolumeSetItemModel::PrepareRow() const
{
    return NewRow(5);
}

QStandardItem* QExpandVolumeSetItemModel::FindItem(QZynVolumeSet* volume, QStandardItem* parent) const
{
    return zynmodel::FindItem(this, volume, parent);
}

void QExpandVolumeSetItemModel::UpdateItem(QZynVolumeSet* volume, QStandardItem* parent)
{
    if (volume == nullptr)
        return;
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    QStandardItem* item = FindOrInsert(this, volume, parent, 5, [volume] { return volume->PositionAtController(); },
                                       ZYN_INSERT_SITE("UpdateItem"));
    if (item == nullptr)
        return;
    const int r = item->row();
    const sGUI_VOLUMESET record = volume->GetRecord();
    SetCell(item, volume->GetName());
    SetIcon(item, volume->GetStateIconPath());
    item->setData(QVariant::fromValue(volume), DeviceItemRole);
    under->child(r, 1)->setText(volume->GetRaidLevelString());
    under->child(r, 1)->setEditable(true);
    under->child(r, 2)->setText(StripeText(record.stripe()));
    under->child(r, 2)->setData(qulonglong(record.stripe()), SortRole);
    under->child(r, 2)->setEditable(true);
    SetCell(under->child(r, 4), CapacityText(record.capacity()), record.capacity());
    SetCell(under->child(r, 3), LocationText(record.channel(), record.id(), record.lun()));
}

void QExpandVolumeSetItemModel::RemoveItem(QZynVolumeSet* volume)
{
    RemoveRowOf(this, FindItem(volume, nullptr));
}

void QExpandVolumeSetItemModel::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr || device->type != QZynDevice::VolumeSet)
        return;
    auto* volume = static_cast<QZynVolumeSet*>(device);
    if (volume->GetRaidSet() != m_raidSet)
        return;
    if (code == QZynDevice::DeviceRemoved)
        RemoveItem(volume);
    else if (code == QZynDevice::DeviceAdded || code == QZynDevice::DeviceUpdated)
        UpdateItem(volume, nullptr);
}

QWidget* ExpandVolumeSetViewDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                                   const QModelIndex& index) const
{
    if (index.column() == 1 || index.column() == 2)
        return new QComboBox(parent);
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void ExpandVolumeSetViewDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* box = qobject_cast<QComboBox*>(editor);
    if (box == nullptr || (index.column() != 1 && index.column() != 2)) {
        QStyledItemDelegate::setEditorData(editor, index);
        return;
    }
    const auto* volume = index.sibling(index.row(), 0).data(DeviceItemRole).value<QZynVolumeSet*>();
    box->clear();
    if (volume == nullptr)
        return;
    if (index.column() == 1)
        box->addItem(volume->GetRaidLevelString());
    else
        box->addItem(StripeText(volume->GetRecord().stripe()));
}

void ExpandVolumeSetViewDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const
{
    // The preview keeps no choice: the wizard reads the levels and stripes itself.
}

bool ExpandVolumeSetViewDelegate::eventFilter(QObject* object, QEvent* event)
{
    // The editors keep no choice (see setModelData): nothing to commit on the way out.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

QSize ExpandVolumeSetViewDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.column() != 1 && index.column() != 2)
        return size;
    if (m_editorHeight == 0) {
        QComboBox probe;
        probe.addItem(index.data().toString());
        m_editorHeight = probe.sizeHint().height();
    }
    size.setHeight(std::max(size.height(), m_editorHeight));
    return size;
}

void ExpandVolumeSetViewDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                       const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}
