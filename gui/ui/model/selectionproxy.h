// Sort-filter proxies that offer a configuration dialog only the eligible disks, raid sets or
// volume sets, each with a check box in column 0 whose state is kept in a list the dialog owns.
// Every time the proxy filters an offered row its pair is reset to unchecked; a row that no
// longer qualifies leaves the list.
#pragma once

#include "ui/model/itemmodel.h"

#include <QList>
#include <QPair>
#include <QSortFilterProxyModel>

#include <functional>

class QZynDevice;
class QZynDisk;
class QZynRaidSet;
class QZynVolumeSet;

// The check-box mechanics over a list of (device, checked) pairs, for the rows of one device
// kind.
template <typename Device>
class QCheckListProxy : public QSortFilterProxyModel {
public:
    using CheckList = QList<QPair<Device*, bool>>;

    QCheckListProxy(CheckList* list, int kind, QObject* parent)
        : QSortFilterProxyModel(parent), m_list(list), m_kind(kind) {}

    // The device's pair gets `checked`; a device without one is appended.
    void insertToBooleanList(Device* device, bool checked) const
    {
        for (auto& pair : *m_list)
            if (pair.first == device) {
                pair.second = checked;
                return;
            }
        m_list->append(qMakePair(device, checked));
    }
    // Removes the device's first pair.
    void removeFromBooleanList(Device* device) const
    {
        for (int i = 0; i < m_list->size(); ++i)
            if (m_list->at(i).first == device) {
                m_list->removeAt(i);
                return;
            }
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        QZynDevice* device = deviceAt(index);
        if (device == nullptr && holdsNullDevice(index))
            return QVariant(false);
        if (isKind(device)) {
            if (index.column() == 0 && (role == Qt::CheckStateRole || role == Qt::EditRole))
                for (const auto& pair : *m_list)
                    if (pair.first == static_cast<Device*>(device))
                        return pair.second ? 2 : 0;
        }
        return QSortFilterProxyModel::data(index, role);
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid())
            return false;
        QZynDevice* device = deviceAt(index);
        if (isKind(device) && role == Qt::CheckStateRole && index.column() == 0) {
            for (auto& pair : *m_list)
                if (pair.first == static_cast<Device*>(device)) {
                    pair.second = value.toInt() == Qt::Checked;
                    emit dataChanged(index, index);
                }
            // The parent's state follows its children; a top-level row has none to tell.
            if (index.parent().isValid())
                emit dataChanged(index.parent(), index.parent());
            return true;
        }
        return QSortFilterProxyModel::setData(index, value, role);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        // The root keeps the flags Qt's item models give it (the drop flag at most).
        Qt::ItemFlags f = QSortFilterProxyModel::flags(index);
        if (!index.isValid())
            return f;
        if (index.column() == 0 && isKind(deviceAt(index)))
            f |= Qt::ItemIsUserCheckable;
        return f;
    }

protected:
    // A column of numbers shown as text sorts by the numbers.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        bool less = false;
        if (zynmodel::NumbersOrder(left.data(zynmodel::SortRole), right.data(zynmodel::SortRole), &less))
            return less;
        return QSortFilterProxyModel::lessThan(left, right);
    }

    // The device of a source row, from its column 0.
    QZynDevice* sourceDevice(int sourceRow, const QModelIndex& sourceParent) const
    {
        if (sourceModel() == nullptr)
            return nullptr;
        return sourceModel()->index(sourceRow, 0, sourceParent).data(zynmodel::DeviceItemRole).template value<QZynDevice*>();
    }
    QZynDevice* deviceAt(const QModelIndex& index) const
    {
        const QModelIndex source = mapToSource(index);
        return sourceDevice(source.row(), source.parent());
    }
    bool isKind(const QZynDevice* device) const;
    // A row whose device role holds a null device pointer (not a row without a device).
    bool holdsNullDevice(const QModelIndex& index) const
    {
        const QModelIndex source = mapToSource(index);
        const QVariant v = source.sibling(source.row(), 0).data(zynmodel::DeviceItemRole);
        return v.isValid() && v.template value<QZynDevice*>() == nullptr;
    }
    // Accepts or rejects an offered row and keeps the list in step.
    bool offer(Device* device, bool accepted) const
    {
        if (accepted)
            insertToBooleanList(device, false);
        else
            removeFromBooleanList(device);
        return accepted;
    }

    CheckList* m_list;
    int m_kind;
};

// Disks, under enclosure rows on the enclosure family.
class QDiskSortFilterProxyModel : public QCheckListProxy<QZynDisk> {
public:
    QDiskSortFilterProxyModel(CheckList* list, QObject* parent);
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    // Enclosures with a free slot, and free drives that have not failed and pass `also`.
    bool acceptsFree(int sourceRow, const QModelIndex& sourceParent,
                     const std::function<bool(const QZynDisk*)>& also) const;
};

class QHotSpareDiskSortFilterProxyModel : public QDiskSortFilterProxyModel {
public:
    using QDiskSortFilterProxyModel::QDiskSortFilterProxyModel;
protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};

class QFreeDiskSortFilterProxyModel : public QDiskSortFilterProxyModel {
public:
    using QDiskSortFilterProxyModel::QDiskSortFilterProxyModel;
protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};

class QExpandSortFilterProxyModel : public QDiskSortFilterProxyModel {
public:
    QExpandSortFilterProxyModel(QZynRaidSet* raidset, CheckList* list, QObject* parent);
protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
private:
    QZynRaidSet* m_raidSet;
};

class QRaidSetSortFilterProxyModel : public QCheckListProxy<QZynRaidSet> {
public:
    QRaidSetSortFilterProxyModel(CheckList* list, QObject* parent);
protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};

// Raid sets a nested volume can use: three members or more, not degraded, with free space.
class QFreeRaidSetSortFilterProxyModel : public QRaidSetSortFilterProxyModel {
public:
    using QRaidSetSortFilterProxyModel::QRaidSetSortFilterProxyModel;
protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};

class QVolumeSetSortFilterProxyModel : public QCheckListProxy<QZynVolumeSet> {
public:
    QVolumeSetSortFilterProxyModel(CheckList* list, QObject* parent);
protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};

class QNestedVolumeSetSortFilterProxyModel : public QVolumeSetSortFilterProxyModel {
public:
    using QVolumeSetSortFilterProxyModel::QVolumeSetSortFilterProxyModel;
protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};
