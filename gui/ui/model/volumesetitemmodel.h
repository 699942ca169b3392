// The volume sets of one controller, one top-level row each, and the delegate that draws the
// state of a busy volume set as a progress bar.
#pragma once

#include <QItemDelegate>
#include <QStandardItemModel>

class QZynController;
class QZynDevice;
class QZynVolumeSet;

class QZynVolumeSetItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    QZynVolumeSetItemModel(QZynController* controller, QObject* parent);
    ~QZynVolumeSetItemModel() override;

    void UpdateHeader();
    void SetupData();
    void UpdateItem(QZynVolumeSet* volume, QStandardItem* parent);
    QStandardItem* FindItem(QZynVolumeSet* volume, QStandardItem* parent) const;
    void RemoveItem(QZynVolumeSet* volume);
    QList<QStandardItem*> PrepareRow() const;

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);

private:
    QZynController* m_controller;
};

class VolumeSetViewDelegate : public QItemDelegate {
    Q_OBJECT
public:
    using QItemDelegate::QItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
