// "New RaidSet": tick free disks of one controller and make a raid set of them. The dialog stays
// open after each creation, so several raid sets can be made in one visit.
#pragma once

#include "ui/dialog/raiddialogs.h"

#include <QDialog>
#include <QModelIndex>
#include <QPointer>
#include <QVector>

class Ui_DialogAddRaidSet;
class QFreeDiskSortFilterProxyModel;
class QZynController;
class QZynDevice;

class DialogAddRaidSet : public QDialog {
    Q_OBJECT
public:
    // Before the first tick the smallest member is this many GB, and it stands for none.
    static constexpr double kNoMemberGB = 1e7;
    // The smallest member is cut down to a multiple of this many GB.
    static constexpr double kSizeStepGB = 10.0;

    DialogAddRaidSet(QZynController* controller, QWidget* parent = nullptr);
    ~DialogAddRaidSet() override;

    Ui_DialogAddRaidSet* Form() const { return ui; }
    QFreeDiskSortFilterProxyModel* Proxy() const { return m_proxy; }
    const raiddialog::DiskCheckList& Selection() const { return m_list; }

public slots:
    void DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles);
    void DeviceItemChanged(QZynDevice* device, int code);
    void on_selectAllCheckBox_clicked(bool checked);
    void on_createRaidSetButton_clicked();
    void on_exitButton_clicked();

private:
    void InitDialog();
    void ShowRaidSetInformation();

    raiddialog::DiskCheckList m_list;
    Ui_DialogAddRaidSet* ui;
    QPointer<QZynController> m_controller;
    QFreeDiskSortFilterProxyModel* m_proxy = nullptr;
};
