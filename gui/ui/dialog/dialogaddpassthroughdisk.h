// "New Pass Through Disk": tick free disks and present each to the host as a disk of its own at
// the first free SCSI address; one command and one result box per disk.
#pragma once

#include "ui/dialog/raiddialogs.h"

#include <QDialog>
#include <QModelIndex>
#include <QPointer>
#include <QVector>

class Ui_DialogAddPassThroughDisk;
class QFreeDiskSortFilterProxyModel;
class QZynController;

class DialogAddPassThroughDisk : public QDialog {
    Q_OBJECT
public:
    // The settings every new pass-through disk gets.
    static constexpr u8 kNoAddress = 0xFF;
    static constexpr u8 kTaggedQueuing = 1;
    static constexpr u8 kCacheOn = 1;
    static constexpr u8 kMode = 4;

    DialogAddPassThroughDisk(QZynController* controller, QWidget* parent = nullptr);
    ~DialogAddPassThroughDisk() override;

    Ui_DialogAddPassThroughDisk* Form() const { return ui; }
    QFreeDiskSortFilterProxyModel* Proxy() const { return m_proxy; }

public slots:
    void DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles);
    void on_selectAllCheckBox_clicked(bool checked);
    void on_createPassThroughPushButton_clicked();
    void on_exitButton_clicked();

private:
    void InitDialog();

    raiddialog::DiskCheckList m_list;
    Ui_DialogAddPassThroughDisk* ui;
    QPointer<QZynController> m_controller;
    QFreeDiskSortFilterProxyModel* m_proxy = nullptr;
};
