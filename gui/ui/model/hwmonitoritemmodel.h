// The hardware monitor of one controller: a group row for the controller and, on the enclosure
// family, one per enclosure, each with a row per sensor whose icon tells its health. Rows are
// found again by their text at every refresh and rewritten in place.
#pragma once

#include <QStandardItemModel>

class QZynController;
class QZynDevice;
class QZynEnclosure;
struct sSENSORS;

class QZynHwMonitorItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    QZynHwMonitorItemModel(QZynController* controller, QObject* parent);
    ~QZynHwMonitorItemModel() override;

    void UpdateHeader();
    void SetupData();
    void SetupSASHwMonitor();
    void SetupSATAHwMonitor();
    void RemoveItem(QZynEnclosure* enclosure);
    // The column-0 item of the row labelled `text` under `parent` (the root when null), searched
    // depth first; a missing row is appended first, so there always is one.
    QStandardItem* FindItem(const QString& text, QStandardItem* parent);
    QList<QStandardItem*> PrepareRow() const;
    void SetText(int row, int column, const QString& text, QStandardItem* parent);
    // `icon` is an image path; empty: no icon.
    void SetIcon(int row, int column, const QString& icon, QStandardItem* parent);

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);

private:
    // A group row: its icon and an empty value.
    QStandardItem* group(const QString& label, const QString& icon);
    void sensorRow(QStandardItem* group, const QString& label, const QString& icon, const QString* value,
                   bool textFirst = false);
    void sensorSection(QStandardItem* group, const sSENSORS& block, int section);
    QString enclosureLabel(const QZynEnclosure* enclosure) const;

    QZynController* m_controller;
};
