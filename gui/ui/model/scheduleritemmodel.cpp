#include "ui/model/scheduleritemmodel.h"

#include "ui/model/itemmodel.h"
#include "devices/scheduler.h"
#include "devices/settings.h"

using namespace zynmodel;

SchedulerItemModel::SchedulerItemModel(QObject* parent)
    : QStandardItemModel(parent)
{
    setHorizontalHeaderLabels({tr("Name"), tr("Trigger"), tr("Details"), tr("Next Run Time"), tr("Status")});
    if (parent != nullptr && parent->metaObject()->indexOfSignal("item_changed(QZynTask*,int)") >= 0)
        connect(parent, SIGNAL(item_changed(QZynTask*,int)), this, SLOT(DeviceItemChanged(QZynTask*,int)));
    if (QZynSettings* settings = QZynSettings::Application())
        connect(&settings->scheduler, &QZynScheduler::item_changed, this, &SchedulerItemModel::DeviceItemChanged);
}

void SchedulerItemModel::SetupData(QZynScheduler* scheduler)
{
    if (scheduler == nullptr)
        return;
    for (int i = 0; i < scheduler->TaskCount(); ++i)
        AddItem(scheduler->GetTask(i), nullptr);
}

QString SchedulerItemModel::TriggerText(const QZynTask* task)
{
    return QZynTask::TriggerName(task->triggertype);
}

QString SchedulerItemModel::DetailsText(const QZynTask* task)
{
    const QString at = QStringLiteral("%1:%2")
                           .arg(task->starthour, 2, 10, QLatin1Char('0'))
                           .arg(task->startminute, 2, 10, QLatin1Char('0'));
    const int interval = task->trigger.interval;
    const QString separator = tr(", ", "between the days of a task's details");
    switch (task->triggertype) {
    case QZynTask::Daily:
        return tr("At %1 every %2 day(s)").arg(at).arg(interval);
    case QZynTask::Weekly: {
        QStringList days;
        for (int d = 0; d < int(std::size(daysofweekstring)); ++d)
            if (task->trigger.weekdays & (1u << d))
                days << QZynTask::WeekdayName(d);
        return tr("At %1 on %2 of every %3 week(s)").arg(at, days.join(separator)).arg(interval);
    }
    case QZynTask::Monthly: {
        QStringList days;
        for (int bit = 0; bit < 28; ++bit)
            if (task->trigger.days & (1u << bit))
                days << QString::number(bit + 1);
        return tr("At %1 on day %2 of every %3 month(s)").arg(at, days.join(separator)).arg(interval);
    }
    default:
        return QString();
    }
}

void SchedulerItemModel::AddItem(QZynTask* task, QStandardItem* parent)
{
    if (task == nullptr)
        return;
    QStandardItem* under = parent != nullptr ? parent : invisibleRootItem();
    const QList<QStandardItem*> row = NewRow(5);
    for (QStandardItem* item : row)
        item->setEditable(false);
    row[0]->setData(QVariant::fromValue(task), DeviceItemRole);
    under->insertRow(0, row);
    UpdateItem(task, parent);
}

void SchedulerItemModel::UpdateItem(QZynTask* task, QStandardItem* parent)
{
    QStandardItem* item = zynmodel::FindItem(this, task, parent);
    if (item == nullptr)
        return;
    QStandardItem* under = item->parent() != nullptr ? item->parent() : invisibleRootItem();
    const int r = item->row();
    SetCell(item, task->name);
    SetCell(under->child(r, 1), TriggerText(task));
    // A type without a name has no details either.
    SetCell(under->child(r, 2), TriggerText(task).isEmpty() ? QString() : DetailsText(task));
    SetCell(under->child(r, 3), task->next_run_time.toString(QStringLiteral("yyyy/M/d AP hh:mm")));
    SetCell(under->child(r, 4), (task->flags & QZynTask::kFlagDisabled) ? tr("Disabled") : tr("Enabled"));
}

void SchedulerItemModel::RemoveItem(QZynTask* task)
{
    RemoveRowOf(this, zynmodel::FindItem(this, task, nullptr));
}

void SchedulerItemModel::DeviceItemChanged(QZynTask* task, int code)
{
    if (code == QZynDevice::DeviceAdded)
        AddItem(task, nullptr);
    else if (code == QZynDevice::DeviceRemoved)
        RemoveItem(task);
    else if (code == QZynDevice::DeviceUpdated)
        UpdateItem(task, nullptr);
}
