// What every device view model shares: the role that holds a row's device, the lookup of a
// device's row, the checked insertion of a new row and the shared value texts.
#pragma once

#include <QIcon>
#include <QList>
#include <QStandardItemModel>
#include <QString>
#include <QVariant>

#include <cstdint>

class QZynDevice;

namespace zynmodel {

// Column 0 of every device row holds the device's own pointer type in this role.
constexpr int DeviceItemRole = Qt::UserRole + 1;
// A cell that shows a number as text ("10.0 GB", a slot number) holds the number in this role;
// the rows of NewRow and the selection proxies sort such a column by it.
constexpr int SortRole = Qt::UserRole + 3;

// Capacity of `blocks` 512-byte blocks: decimal gigabytes with one decimal and " GB".
QString CapacityText(uint64_t blocks);
// Channel, id and LUN of a volume set: "%02d/%02d/%02d".
QString LocationText(unsigned channel, unsigned id, unsigned lun);
// Stripe length in blocks: half of it, then " KB".
QString StripeText(uint32_t blocks);
// A name as a view shows it: NUL padding from fixed-width fields left out.
QString ViewText(const QString& text);

// `count` new items, which sort by their SortRole numbers where both cells hold one.
QList<QStandardItem*> NewRow(int count);
// Writes a cell's text (as ViewText shows it) and makes it read-only.
void SetCell(QStandardItem* item, const QString& text);
// The same for a cell that shows `number`: it sorts by the number, not by the text.
void SetCell(QStandardItem* item, const QString& text, qulonglong number);
// Whether two cells are ordered by their numbers: then `less` tells their order.
bool NumbersOrder(const QVariant& left, const QVariant& right, bool* less);

// The one icon of an image path (the empty icon for an empty path).
QIcon CachedIcon(const QString& path);
// Gives the item the icon of `path` unless it shows that image already: a row rewritten with
// what it holds changes nothing (and so tells no view or proxy of a change).
void SetIcon(QStandardItem* item, const QString& path);

// Where a checked insertion's warnings come from.
struct InsertSite {
    const char* member;
    int line;
};
// Inserts `row` under `parent` at `position`. A position past the row count warns and appends;
// a negative one warns, frees the row and inserts nothing (false). `treeWording`: the controller
// tree's wording of the second warning.
bool InsertChecked(QStandardItem* parent, int position, const QList<QStandardItem*>& row, InsertSite site,
                   bool treeWording = false);

// The column-0 item of the row holding `device` under `parent` (the root when null), searching
// its rows and, depth first, their children; null when there is none.
QStandardItem* FindDeviceItem(const QStandardItemModel* model, const QVariant& device, QStandardItem* parent);
template <typename Device>
QStandardItem* FindItem(const QStandardItemModel* model, Device* device, QStandardItem* parent)
{
    if (device == nullptr)
        return nullptr;
    return FindDeviceItem(model, QVariant::fromValue(device), parent);
}

// A device as the row of its own type holds it (QZynRaidSet*, QZynDisk*, ...).
QVariant DeviceVariant(QZynDevice* device);

// The column-0 item of `device`'s row under `parent` (the root when null). A device without a
// row gets a new row of `columns` items, holding the device, inserted with the position check
// at `position()`; null when that position is negative.
template <typename Device, typename Position>
QStandardItem* FindOrInsert(QStandardItemModel* model, Device* device, QStandardItem* parent, int columns,
                            Position position, InsertSite site)
{
    if (QStandardItem* item = FindItem(model, device, parent))
        return item;
    const QList<QStandardItem*> row = NewRow(columns);
    row[0]->setData(QVariant::fromValue(device), DeviceItemRole);
    QStandardItem* under = parent != nullptr ? parent : model->invisibleRootItem();
    return InsertChecked(under, position(), row, site) ? row[0] : nullptr;
}

// Removes the row of `item` from its parent (the root for a top-level row).
void RemoveRowOf(QStandardItemModel* model, QStandardItem* item);

} // namespace zynmodel

#define ZYN_INSERT_SITE(member) zynmodel::InsertSite{member, __LINE__}
