// The raid sets of one controller, one top-level row each.
#pragma once

#include <QStandardItemModel>

class QZynController;
class QZynDevice;
class QZynRaidSet;

class QZynRaidSetItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    QZynRaidSetItemModel(QZynController* controller, QObject* parent);
    ~QZynRaidSetItemModel() override;

    void UpdateHeader();
    void SetupData();
    void UpdateItem(QZynRaidSet* raidset, int code, QStandardItem* parent);
    QStandardItem* FindItem(QZynRaidSet* raidset, QStandardItem* parent) const;
    QList<QStandardItem*> PrepareRow() const;
    void RemoveItem(QZynRaidSet* raidset);

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);

private:
    QZynController* m_controller;
};
