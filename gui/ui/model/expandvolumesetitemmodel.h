// The expand-raid-set wizard's preview of the raid set's volume sets, and the delegate that
// opens the new level and new stripe size on the current value only.
#pragma once

#include <QPointer>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

class QZynController;
class QZynDevice;
class QZynRaidSet;
class QZynVolumeSet;

class QExpandVolumeSetItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    QExpandVolumeSetItemModel(QZynRaidSet* raidset, QObject* parent);
    ~QExpandVolumeSetItemModel() override;

    void UpdateHeader();
    void SetupData();
    void UpdateItem(QZynVolumeSet* volume, QStandardItem* parent);
    QStandardItem* FindItem(QZynVolumeSet* volume, QStandardItem* parent) const;
    void RemoveItem(QZynVolumeSet* volume);
    QList<QStandardItem*> PrepareRow() const;

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);

private:
    QZynRaidSet* m_raidSet;
    // The raid set's controller; null once it has gone, and its raid sets with it.
    QPointer<QZynController> m_owner;
};

class ExpandVolumeSetViewDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A row is as high as the combo boxes drawn over it want to be.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    // Tab and Backtab in an editor go along the focus chain, from editor to editor as the
    // dialog lays them out, not through the view's cursor.
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    mutable int m_editorHeight = 0;   // a combo box's own height, found once
};
