// The holder of a controller's six item models.
#pragma once

class QStandardItemModel;
class QZynController;

class QZynGuiItem {
public:
    explicit QZynGuiItem(QZynController* controller);
    virtual ~QZynGuiItem();
    QZynGuiItem(const QZynGuiItem&) = delete;
    QZynGuiItem& operator=(const QZynGuiItem&) = delete;

    // Made by the controller's Start, owned here; null until then.
    QStandardItemModel* diskModel = nullptr;
    QStandardItemModel* eventModel = nullptr;
    QStandardItemModel* raidSetModel = nullptr;
    QStandardItemModel* volumeSetModel = nullptr;
    QStandardItemModel* hwMonitorModel = nullptr;
    QStandardItemModel* memberDiskModel = nullptr;
    QZynController* controller;
};
