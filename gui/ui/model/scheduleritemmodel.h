// The scheduled tasks, newest on top, as the scheduler dialog lists them.
#pragma once

#include <QStandardItemModel>

class QZynScheduler;
class QZynTask;

class SchedulerItemModel : public QStandardItemModel {
    Q_OBJECT
public:
    // Follows the item_changed(QZynTask*, int) of `parent` (the scheduler dialog) when it has
    // that signal, and of the application's scheduler.
    explicit SchedulerItemModel(QObject* parent);

    void SetupData(QZynScheduler* scheduler);
    void AddItem(QZynTask* task, QStandardItem* parent);
    void UpdateItem(QZynTask* task, QStandardItem* parent);
    void RemoveItem(QZynTask* task);

    // The texts of a task's cells.
    static QString TriggerText(const QZynTask* task);
    static QString DetailsText(const QZynTask* task);

public slots:
    void DeviceItemChanged(QZynTask* task, int code);
};
