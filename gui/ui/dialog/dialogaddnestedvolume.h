// "New Nested(Hybrid) RAID": one volume set striped over two or more ticked raid sets of a
// controller, at RAID 00, 100, 30, 50 or 60. Every raid set is assumed to give as much as the
// ticked one with the least free space. The dialog stays open after a creation.
#pragma once

#include "records.h"
#include "zynlib.h"

#include <QDialog>
#include <QList>
#include <QModelIndex>
#include <QPair>
#include <QPointer>
#include <QVector>

class Ui_DialogAddNestedVolume;
class QFreeRaidSetSortFilterProxyModel;
class QZynController;
class QZynDevice;
class QZynLog;
class QZynRaidSet;

class DialogAddNestedVolume : public QDialog {
    Q_OBJECT
public:
    using RaidSetCheckList = QList<QPair<QZynRaidSet*, bool>>;
    // The nested creation command carries at most this many raid sets.
    static constexpr int kMaxRaidSets = 8;
    // A nested volume needs at least this many raid sets.
    static constexpr int kMinRaidSets = 2;

    DialogAddNestedVolume(QZynController* controller, QWidget* parent = nullptr);
    ~DialogAddNestedVolume() override;

    Ui_DialogAddNestedVolume* Form() const { return ui; }
    QFreeRaidSetSortFilterProxyModel* Proxy() const { return m_proxy; }

signals:
    void LogMessage(QZynLog* log);

public slots:
    void DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QVector<int>& roles = QVector<int>());
    void DeviceItemChanged(QZynDevice* device, int code);
    void ShowNestedRAIDInformation();
    void UpdateVolumeInformation();
    void on_exitButton_clicked();
    void on_createButton_clicked();

private:
    void InitDialog();
    // The level code of the first checked button (raid 00, 100, 30, 50), RAID 60 when none is.
    u8 checkedLevel() const;
    QString maximumText(double gb) const;

    RaidSetCheckList m_list;
    Ui_DialogAddNestedVolume* ui;
    QPointer<QZynController> m_controller;
    // The ticked raid sets' numbers in list order, the first eight of them; m_count counts
    // them all, so that a larger selection reaches the command and is refused there.
    u8 m_raidSets[kMaxRaidSets] = {};
    int m_count = 0;
    QPointer<QZynRaidSet> m_reference;
    QFreeRaidSetSortFilterProxyModel* m_proxy = nullptr;
};
