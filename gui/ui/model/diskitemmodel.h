// The drive slots of one controller (flat on the older family, under one row per enclosure on
// the enclosure family), and the member disks of one raid set.
#pragma once

#include <QStandardItemModel>

class QZynController;
class QZynDevice;
class QZynDisk;
class QZynEnclosure;
class QZynRaidSet;

class QZynDiskItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    QZynDiskItemModel(QZynController* controller, QObject* parent);
    ~QZynDiskItemModel() override;

    void UpdateHeader();
    void SetupData();
    void SetupSASData();
    void UpdateItem(QZynDisk* disk, int code, QStandardItem* parent);
    void AddEnclosureItem(QZynEnclosure* enclosure, QStandardItem* parent);
    void RemoveEnclosureItem(QZynEnclosure* enclosure, QStandardItem* parent);
    void AddSlot(QZynDisk* disk, QStandardItem* parent);
    void RemoveSlot(QZynDisk* disk, QStandardItem* parent);
    QStandardItem* FindItem(QZynEnclosure* enclosure, QStandardItem* parent) const;
    QStandardItem* FindItem(QZynDisk* disk, QStandardItem* parent) const;
    QList<QStandardItem*> PrepareRow() const;

    // The "Slot#" text of a disk: its enclosure's slot descriptor on the enclosure family, else
    // the slot number.
    static QString SlotText(const QZynController* controller, const QZynDisk* disk);

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);

private:
    QString enclosureText(const QZynEnclosure* enclosure) const;

    QZynController* m_controller;
};

class QZynRaidSetMemberDiskItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    QZynRaidSetMemberDiskItemModel(QZynController* controller, QObject* parent);
    ~QZynRaidSetMemberDiskItemModel() override;

    void UpdateHeader();
    // Shows the members of `raidset` (null: nothing changes).
    void SetupData(QZynRaidSet* raidset);
    void SetupSASData(QZynRaidSet* raidset);
    void UpdateItem(QZynDisk* disk, QStandardItem* parent);
    void AddItem(int row, QZynDisk* disk, QStandardItem* parent);
    QList<QStandardItem*> PrepareRow() const;
    QZynRaidSet* GetRaidSet() const { return m_raidSet; }

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);

private:
    void fillRow(QStandardItem* parent, int row, QZynDisk* disk);

    QZynController* m_controller;
    QZynRaidSet* m_raidSet = nullptr;
};
