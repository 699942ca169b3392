#include "devices/guiitem.h"

#include <QStandardItemModel>

QZynGuiItem::QZynGuiItem(QZynController* controller)
    : controller(controller)
{
}

QZynGuiItem::~QZynGuiItem()
{
    delete diskModel;
    delete eventModel;
    delete raidSetModel;
    delete volumeSetModel;
    delete memberDiskModel;
    delete hwMonitorModel;
}
