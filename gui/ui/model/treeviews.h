// The tree views of the device lists; each only sets its presentation.
#pragma once

#include <QItemDelegate>
#include <QTreeView>

class TreeViewController : public QTreeView {
    Q_OBJECT
public:
    explicit TreeViewController(QWidget* parent = nullptr);
};

class TreeViewDisk : public QTreeView {
    Q_OBJECT
public:
    explicit TreeViewDisk(QWidget* parent = nullptr);
};

class TreeViewEvent : public QTreeView {
    Q_OBJECT
public:
    explicit TreeViewEvent(QWidget* parent = nullptr);
};

class TreeViewHwMon : public QTreeView {
    Q_OBJECT
public:
    explicit TreeViewHwMon(QWidget* parent = nullptr);
};

class TreeViewRaidSet : public QTreeView {
    Q_OBJECT
public:
    explicit TreeViewRaidSet(QWidget* parent = nullptr);
};

class TreeViewVolumeSet : public QTreeView {
    Q_OBJECT
public:
    explicit TreeViewVolumeSet(QWidget* parent = nullptr);
};

class TreeViewScheduler : public QTreeView {
    Q_OBJECT
public:
    explicit TreeViewScheduler(QWidget* parent = nullptr);
};

// Rows of 24x24.
class ControllerViewDelegate : public QItemDelegate {
    Q_OBJECT
public:
    using QItemDelegate::QItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
