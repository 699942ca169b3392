// "New Hot Spare Disk": tick free disks and make them hot spares, global or dedicated to the
// raid set the dialog was given.
#pragma once

#include "ui/dialog/raiddialogs.h"

#include <QDialog>
#include <QModelIndex>
#include <QPointer>
#include <QVector>

class Ui_DialogAddHotSpareDisk;
class QFreeDiskSortFilterProxyModel;
class QZynController;
class QZynRaidSet;

class DialogAddHotSpareDisk : public QDialog {
    Q_OBJECT
public:
    // The kinds of hot spare the command takes.
    enum SpareType : unsigned char { GlobalSpare = 0, DedicatedSpare = 1 };

    DialogAddHotSpareDisk(QZynController* controller, QZynRaidSet* raidSet, QWidget* parent = nullptr);
    ~DialogAddHotSpareDisk() override;

    Ui_DialogAddHotSpareDisk* Form() const { return ui; }
    QFreeDiskSortFilterProxyModel* Proxy() const { return m_proxy; }

public slots:
    void DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles);
    void on_selectAllCheckBox_clicked(bool checked);
    void on_createHotSparePushButton_clicked();
    void on_exitButton_clicked();

private:
    void InitDialog();

    raiddialog::DiskCheckList m_list;
    Ui_DialogAddHotSpareDisk* ui;
    QPointer<QZynController> m_controller;
    // Null for global spares.
    QPointer<QZynRaidSet> m_raidSet;
    bool m_dedicated;
    QFreeDiskSortFilterProxyModel* m_proxy = nullptr;
};
