// "Delete Hot Spare Disk": tick hot-spare disks and turn them back into free disks.
#pragma once

#include "ui/dialog/raiddialogs.h"

#include <QDialog>
#include <QPointer>

class Ui_DialogDeleteHotSpareDisk;
class QHotSpareDiskSortFilterProxyModel;
class QZynController;

class DialogDeleteHotSpareDisk : public QDialog {
    Q_OBJECT
public:
    DialogDeleteHotSpareDisk(QZynController* controller, QWidget* parent = nullptr);
    ~DialogDeleteHotSpareDisk() override;

    Ui_DialogDeleteHotSpareDisk* Form() const { return ui; }
    QHotSpareDiskSortFilterProxyModel* Proxy() const { return m_proxy; }

public slots:
    void on_selectAllCheckBox_clicked(bool checked);
    void on_deleteHotSparePushButton_clicked();
    void on_exitButton_clicked();

private:
    void InitDialog();

    raiddialog::DiskCheckList m_list;
    Ui_DialogDeleteHotSpareDisk* ui;
    QPointer<QZynController> m_controller;
    QHotSpareDiskSortFilterProxyModel* m_proxy = nullptr;
};
