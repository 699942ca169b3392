// The controller tree: "LocalHost" and "Network" with the controllers of each connection under
// them, each controller's raid sets under it and each raid set's volume sets under that.
#pragma once

#include <QStandardItemModel>

#include <memory>

class QZynController;
class QZynDevice;
class QZynHost;
class QZynRaidSet;
class QZynVolumeSet;

class QControllerItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    QControllerItemModel(QZynHost* host, QObject* parent);
    ~QControllerItemModel() override;

    void UpdateHeader();
    void AddControllerItem(QZynController* controller, QStandardItem* parent);
    void AddRaidSetItem(QZynRaidSet* raidset, QStandardItem* parent);
    void AddVolumeSetItem(QZynVolumeSet* volume, QStandardItem* parent);
    void UpdateControllerItem(QZynController* controller, QStandardItem* item);
    void UpdateRaidSetItem(QZynRaidSet* raidset, QStandardItem* item);
    void UpdateVolumeSetItem(QZynVolumeSet* volume, QStandardItem* item);
    void RemoveControllerItem(QStandardItem* item);
    void RemoveRaidSetItem(QStandardItem* item);
    void RemoveVolumeSetItem(QStandardItem* item);
    QStandardItem* FindItem(QZynDevice* device, QStandardItem* start) const;

    QStandardItem* GetLocalHostItem() const { return m_localHost; }
    QStandardItem* GetNetworkItem() const { return m_network; }

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);

private:
    QStandardItem* newDeviceItem(QZynDevice* device, const QString& text, const QString& icon) const;
    // The row directly under `parent` that holds `device`; null when none does.
    static QStandardItem* childRow(QStandardItem* parent, QZynDevice* device);
    // The row of a controller: directly under LocalHost or Network, the only places it can be.
    QStandardItem* controllerRow(QZynController* controller) const;
    // The row of a raid set or volume set, searched for (as FindItem does) under its controller's
    // row only: a change then costs a search of one controller's rows, not of every controller's.
    QStandardItem* rowOf(QZynDevice* device) const;

    QStandardItem* m_currentParent = nullptr;
    QStandardItem* m_localHost = nullptr;
    QStandardItem* m_network = nullptr;
    QZynHost* m_host;
    std::unique_ptr<QZynDevice> m_localHostDevice;
    std::unique_ptr<QZynDevice> m_networkDevice;
};
