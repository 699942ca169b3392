#include "ui/model/treeviews.h"

#include "ui/model/volumesetitemmodel.h"

#include <QHeaderView>

TreeViewController::TreeViewController(QWidget* parent)
    : QTreeView(parent)
{
    setAnimated(false);
    setRootIsDecorated(true);
    setIconSize(QSize(24, 24));
    setFocusPolicy(Qt::ClickFocus);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

TreeViewDisk::TreeViewDisk(QWidget* parent)
    : QTreeView(parent)
{
    setIconSize(QSize(20, 20));
    setRootIsDecorated(false);
    sortByColumn(6, Qt::AscendingOrder);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

TreeViewEvent::TreeViewEvent(QWidget* parent)
    : QTreeView(parent)
{
    // The header knows no sections before a model is set; the window sets them again then.
    const int widths[] = {24, 120, 150, 200, 100};
    for (int c = 0; c < int(std::size(widths)); ++c)
        setColumnWidth(c, widths[c]);
    setIconSize(QSize(20, 20));
    setRootIsDecorated(false);
}

TreeViewHwMon::TreeViewHwMon(QWidget* parent)
    : QTreeView(parent)
{
    setIconSize(QSize(20, 20));
    setRootIsDecorated(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

TreeViewRaidSet::TreeViewRaidSet(QWidget* parent)
    : QTreeView(parent)
{
    setIconSize(QSize(20, 20));
    setRootIsDecorated(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

TreeViewVolumeSet::TreeViewVolumeSet(QWidget* parent)
    : QTreeView(parent)
{
    setIconSize(QSize(20, 20));
    setRootIsDecorated(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    sortByColumn(1, Qt::AscendingOrder);
    setItemDelegate(new VolumeSetViewDelegate(this));
}

TreeViewScheduler::TreeViewScheduler(QWidget* parent)
    : QTreeView(parent)
{
}

QSize ControllerViewDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return QSize(24, 24);
}
