#include "ui/model/itemmodel.h"

#include "devices/controller.h"
#include "devices/disk.h"
#include "devices/enclosure.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <QHash>
#include <QtDebug>

namespace zynmodel {

QString CapacityText(uint64_t blocks)
{
    return QString::number(double(blocks) * 512.0 / 1000 / 1000 / 1000, 'f', 1) + QStringLiteral(" GB");
}

QString LocationText(unsigned channel, unsigned id, unsigned lun)
{
    return QString::asprintf("%02d/%02d/%02d", int(channel & 0xFF), int(id & 0xFF), int(lun & 0xFF));
}

QString StripeText(uint32_t blocks)
{
    return QString::number(blocks / 2) + QStringLiteral(" KB");
}

QString ViewText(const QString& text)
{
    QString out = text;
    out.remove(QChar(0));
    return out;
}

namespace {
// A cell that sorts by its number when it and the other cell hold one, else by its text.
class NumberSortedItem : public QStandardItem {
public:
    bool operator<(const QStandardItem& other) const override
    {
        bool less = false;
        if (NumbersOrder(data(SortRole), other.data(SortRole), &less))
            return less;
        return QStandardItem::operator<(other);
    }
    QStandardItem* clone() const override { return new NumberSortedItem(*this); }
};
} // namespace

QList<QStandardItem*> NewRow(int count)
{
    QList<QStandardItem*> row;
    for (int i = 0; i < count; ++i)
        row << new NumberSortedItem;
    return row;
}

void SetCell(QStandardItem* item, const QString& text)
{
    item->setText(ViewText(text));
    item->setEditable(false);
}

void SetCell(QStandardItem* item, const QString& text, qulonglong number)
{
    SetCell(item, text);
    item->setData(number, SortRole);
}

bool NumbersOrder(const QVariant& left, const QVariant& right, bool* less)
{
    if (!left.isValid() || !right.isValid())
        return false;
    *less = left.toULongLong() < right.toULongLong();
    return true;
}

namespace {
// The image path an item's icon was made from.
constexpr int kIconPathRole = Qt::UserRole + 2;
}

QIcon CachedIcon(const QString& path)
{
    static QHash<QString, QIcon> icons;
    auto it = icons.find(path);
    if (it == icons.end()) {
        QIcon icon;
        if (!path.isEmpty())
            icon.addFile(path, QSize(), QIcon::Normal, QIcon::Off);
        it = icons.insert(path, icon);
    }
    return it.value();
}

void SetIcon(QStandardItem* item, const QString& path)
{
    const QVariant shown = item->data(kIconPathRole);
    if (shown.isValid() && shown.toString() == path)
        return;
    item->setIcon(CachedIcon(path));
    item->setData(path, kIconPathRole);
}

bool InsertChecked(QStandardItem* parent, int position, const QList<QStandardItem*>& row, InsertSite site,
                   bool treeWording)
{
    if (position < 0) {
        qWarning("[%s] line:%d, row < 0", site.member, site.line);
        qDeleteAll(row);
        return false;
    }
    if (position > parent->rowCount()) {
        if (treeWording)
            qWarning("[%s] line:%d, row > parentitem->rowCount()", site.member, site.line);
        else
            qWarning("[%s] line:%d, row(%d) > parentitem->rowCount(%d)", site.member, site.line, position,
                     parent->rowCount());
        position = parent->rowCount();
    }
    parent->insertRow(position, row);
    return true;
}

QStandardItem* FindDeviceItem(const QStandardItemModel* model, const QVariant& device, QStandardItem* parent)
{
    QStandardItem* from = parent != nullptr ? parent : model->invisibleRootItem();
    if (from->rowCount() == 0)
        return nullptr;
    const QModelIndex start = model->indexFromItem(from->child(0, 0));
    const QModelIndexList hits =
        model->match(start, DeviceItemRole, device, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return hits.isEmpty() ? nullptr : model->itemFromIndex(hits.first());
}

QVariant DeviceVariant(QZynDevice* device)
{
    if (device == nullptr)
        return QVariant();
    switch (device->type) {
    case QZynDevice::Controller: return QVariant::fromValue(static_cast<QZynController*>(device));
    case QZynDevice::RaidSet: return QVariant::fromValue(static_cast<QZynRaidSet*>(device));
    case QZynDevice::VolumeSet: return QVariant::fromValue(static_cast<QZynVolumeSet*>(device));
    case QZynDevice::Disk: return QVariant::fromValue(static_cast<QZynDisk*>(device));
    case QZynDevice::Enclosure: return QVariant::fromValue(static_cast<QZynEnclosure*>(device));
    default: return QVariant::fromValue(device);
    }
}

void RemoveRowOf(QStandardItemModel* model, QStandardItem* item)
{
    if (item == nullptr)
        return;
    QStandardItem* parent = item->parent() != nullptr ? item->parent() : model->invisibleRootItem();
    parent->removeRow(item->row());
}

} // namespace zynmodel
