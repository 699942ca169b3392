// The event log of one controller, newest event on top.
#pragma once

#include <QStandardItemModel>

class QZynController;
class QZynDevice;
class QZynEvent;

class QZynEventItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    QZynEventItemModel(QZynController* controller, QObject* parent);
    ~QZynEventItemModel() override;

    void SetupData();
    void AddItem(QZynEvent* event);

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);

private:
    QZynController* m_controller;
};
