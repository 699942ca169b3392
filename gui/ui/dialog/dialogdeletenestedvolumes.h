// "Delete Nested(Hybrid) RAID": tick nested volume sets of one controller and delete them, one
// command and one result box each.
#pragma once

#include "ui/dialog/raiddialogs.h"

#include <QDialog>
#include <QList>
#include <QModelIndex>
#include <QPair>
#include <QPointer>
#include <QVector>

class Ui_DialogDeleteNestedVolumes;
class QNestedVolumeSetSortFilterProxyModel;
class QZynController;
class QZynVolumeSet;

class DialogDeleteNestedVolumes : public QDialog {
    Q_OBJECT
public:
    using VolumeSetCheckList = QList<QPair<QZynVolumeSet*, bool>>;

    DialogDeleteNestedVolumes(QZynController* controller, QWidget* parent = nullptr);
    ~DialogDeleteNestedVolumes() override;

    Ui_DialogDeleteNestedVolumes* Form() const { return ui; }
    QNestedVolumeSetSortFilterProxyModel* Proxy() const { return m_proxy; }

public slots:
    void DataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles);
    void on_selectAllCheckBox_clicked(bool checked);
    void on_deletePushButton_clicked();
    void on_exitButton_clicked();

private:
    void InitDialog();

    VolumeSetCheckList m_list;
    Ui_DialogDeleteNestedVolumes* ui;
    QPointer<QZynController> m_controller;
    QNestedVolumeSetSortFilterProxyModel* m_proxy = nullptr;
};
