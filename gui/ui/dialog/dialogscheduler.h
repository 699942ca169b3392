// "Scheduler": the scheduled tasks of the settings record's scheduler. Adds tasks (at most
// five), deletes them, and edits the current one: start, enabled, trigger and action. It works
// on the live task objects; Apply writes the current task and restarts the scheduler.
#pragma once

#include "devices/scheduler.h"

#include <QDialog>
#include <QModelIndex>

class QAbstractButton;
class QCheckBox;
class QZynSettings;
class QZynTask;
class SchedulerItemModel;
class Ui_DialogScheduler;

class DialogScheduler : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxTasks = QZynScheduler::kMaxTasks;
    static constexpr int kMaxMessageLength = 256;
    static constexpr int kMonthDays = 28;
    static constexpr int kWeekdays = 7;

    explicit DialogScheduler(QWidget* parent = nullptr);
    ~DialogScheduler() override;

    Ui_DialogScheduler* Form() const { return ui; }
    SchedulerItemModel* Model() const { return m_model; }

    // The task of the list's current row, or null.
    QZynTask* GetCurrentTask() const;
    bool DisplayTask(QZynTask* task);
    // Checks the controls and, only when every check passes, writes them into `task` and
    // restarts the scheduler; false (the task untouched) when a check refuses or `task` is null.
    bool Apply(QZynTask* task);

    bool CheckWeeklyElements();
    bool CheckMonthlyElements();
    bool CheckActionMessageBoxElements();
    bool CheckActionMailElements();

signals:
    // `code` as the scheduler's: 0 added, 1 removed, 2 changed.
    void item_changed(QZynTask* task, int code);

public slots:
    void TaskTreeCurrentChanged(const QModelIndex& selected, const QModelIndex& deselected);
    void on_addPushButton_clicked();
    void on_buttonBox_clicked(QAbstractButton* button);
    void on_buttonGroupTriggerType_buttonClicked(int id);
    void on_buttonGroupActionType_buttonClicked(int id);
    void on_deletePushButton_clicked();
    void on_labelEmailSettings_linkActivated(const QString& link);

private:
    void InitDialog();
    // A warning box with one OK button; returns false for the checks to pass on.
    bool Refuse(const QString& text);

    Ui_DialogScheduler* ui;
    QZynSettings* m_settings;
    SchedulerItemModel* m_model = nullptr;
    // Entry i: day i + 1 of the month; weekday i, Monday first.
    QCheckBox* dayCheckBoxes[kMonthDays] = {};
    QCheckBox* weekdayCheckBoxes[kWeekdays] = {};
};
