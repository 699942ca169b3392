#include "ui/dialog/dialogscheduler.h"

#include "ui_dialogscheduler.h"

#include "devices/device.h"
#include "devices/scheduler.h"
#include "devices/images.h"
#include "devices/settings.h"
#include "ui/dialog/dialogmailsettings.h"
#include "ui/dialog/prefdialogs.h"
#include "ui/model/itemmodel.h"
#include "ui/model/scheduleritemmodel.h"

#include <QInputDialog>
#include <QMessageBox>

#include <iterator>

namespace {

// Where the boxes of the day grids go: weekdays four to a row, month days seven.
constexpr int kWeekdayColumns = 4;
constexpr int kDayColumns = 7;
// The list's first four column widths.
constexpr int kColumnWidths[] = {100, 100, 350, 150};
// The time a new edit starts from.
constexpr int kDefaultHour = 9;

} // namespace

DialogScheduler::DialogScheduler(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_DialogScheduler)
    , m_settings(QZynSettings::Application())
{
    PalvirInitImages();
    ui->setupUi(this);
    InitDialog();
}

DialogScheduler::~DialogScheduler()
{
    delete ui;
}

void DialogScheduler::InitDialog()
{
    static_assert(std::size(daysofweekstring) == kWeekdays, "one box per weekday name");
    for (int i = 0; i < kWeekdays; ++i) {
        auto* box = new QCheckBox(QZynTask::WeekdayName(i), ui->pageWeekly);
        box->setObjectName(QStringLiteral("checkBox") + QString::fromLatin1(daysofweekstring[i]));
        ui->gridLayout_5->addWidget(box, i / kWeekdayColumns, i % kWeekdayColumns);
        weekdayCheckBoxes[i] = box;
    }
    for (int i = 0; i < kMonthDays; ++i) {
        auto* box = new QCheckBox(QString::number(i + 1), ui->pageMonthly);
        box->setObjectName(QStringLiteral("checkBoxDay%1").arg(i + 1));
        ui->gridLayout_2->addWidget(box, i / kDayColumns, i % kDayColumns);
        dayCheckBoxes[i] = box;
    }

    m_model = new SchedulerItemModel(this);
    if (m_settings != nullptr)
        m_model->SetupData(&m_settings->scheduler);
    ui->taskTreeView->setModel(m_model);
    for (int c = 0; c < int(std::size(kColumnWidths)); ++c)
        ui->taskTreeView->setColumnWidth(c, kColumnWidths[c]);
    ui->taskTreeView->setRootIsDecorated(false);

    ui->dateTimeEdit->setDate(QDate::currentDate());
    ui->dateTimeEdit->setTime(QTime(kDefaultHour, 0, 0));
    ui->stackedWidgetTrigger->setCurrentIndex(QZynTask::Daily);
    ui->enabledCheckBox->setChecked(true);
    ui->stackedWidgetAction->setCurrentIndex(QZynTask::MessageBox);
    ui->lineEditMsgBoxMsg->setMaxLength(kMaxMessageLength);
    prefdialog::SetLink(ui->labelEmailSettings, tr("Email Settings"));

    // The ids are the pages of the stacked widgets and the task's codes.
    ui->buttonGroupTriggerType->setId(ui->radioButtonDaily, QZynTask::Daily);
    ui->buttonGroupTriggerType->setId(ui->radioButtonWeekly, QZynTask::Weekly);
    ui->buttonGroupTriggerType->setId(ui->radioButtonMonthly, QZynTask::Monthly);
    ui->radioButtonDaily->setChecked(true);
    ui->buttonGroupActionType->setId(ui->radioButtonMsgBox, QZynTask::MessageBox);
    ui->buttonGroupActionType->setId(ui->radioButtonSendmail, QZynTask::Mail);
    ui->buttonGroupActionType->setId(ui->radioButtonVolumecheck, QZynTask::CheckVolume);
    ui->radioButtonMsgBox->setChecked(true);

    QItemSelectionModel* selection = ui->taskTreeView->selectionModel();
    connect(selection, &QItemSelectionModel::currentChanged, this, &DialogScheduler::TaskTreeCurrentChanged);
    if (m_model->rowCount() == 0)
        TaskTreeCurrentChanged(QModelIndex(), QModelIndex());
    else if (!selection->hasSelection())
        selection->setCurrentIndex(m_model->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui->taskTreeView->setFocus();
    prefdialog::RelabelButtons(ui->buttonBox, tr("OK"), tr("Cancel"), tr("Apply"));
}

QZynTask* DialogScheduler::GetCurrentTask() const
{
    const QItemSelectionModel* selection = ui->taskTreeView->selectionModel();
    if (selection == nullptr)
        return nullptr;
    const QModelIndex current = selection->currentIndex();
    if (!current.isValid())
        return nullptr;
    const QStandardItem* item = m_model->item(current.row(), 0);
    if (item == nullptr)
        return nullptr;
    return item->data(zynmodel::DeviceItemRole).value<QZynTask*>();
}

void DialogScheduler::TaskTreeCurrentChanged(const QModelIndex& selected, const QModelIndex&)
{
    if (selected.isValid() && selected.model() != nullptr) {
        ui->groupBoxTrigger->setEnabled(true);
        ui->groupBoxAction->setEnabled(true);
        if (QZynTask* task = GetCurrentTask())
            DisplayTask(task);
        return;
    }
    ui->stackedWidgetTrigger->setCurrentIndex(0);
    ui->stackedWidgetAction->setCurrentIndex(0);
    ui->groupBoxTrigger->setEnabled(false);
    ui->groupBoxAction->setEnabled(false);
}

bool DialogScheduler::DisplayTask(QZynTask* task)
{
    ui->dateTimeEdit->setDateTime(QDateTime(QDate(task->startyear, task->startmonth, task->startday),
                                            QTime(task->starthour, task->startminute, 0)));
    ui->enabledCheckBox->setChecked((task->flags & QZynTask::kFlagDisabled) == 0);
    switch (task->triggertype) {
    case QZynTask::Monthly:
        ui->stackedWidgetTrigger->setCurrentIndex(task->triggertype);
        ui->spinBoxMonths->setValue(task->trigger.interval);
        ui->radioButtonMonthly->setChecked(true);
        for (int i = 0; i < kMonthDays; ++i)
            dayCheckBoxes[i]->setChecked((task->trigger.days >> i) & 1u);
        break;
    case QZynTask::Weekly:
        ui->stackedWidgetTrigger->setCurrentIndex(task->triggertype);
        ui->spinBoxWeeks->setValue(task->trigger.interval);
        ui->radioButtonWeekly->setChecked(true);
        for (int i = 0; i < kWeekdays; ++i)
            weekdayCheckBoxes[i]->setChecked((task->trigger.weekdays >> i) & 1u);
        break;
    case QZynTask::Daily:
        ui->stackedWidgetTrigger->setCurrentIndex(task->triggertype);
        ui->spinBoxDays->setValue(task->trigger.interval);
        ui->radioButtonDaily->setChecked(true);
        break;
    default:
        // A type the dialog has no page for: the trigger controls stay as they are.
        break;
    }
    switch (task->operation) {
    case QZynTask::CheckVolume:
        ui->stackedWidgetAction->setCurrentIndex(task->operation);
        ui->radioButtonVolumecheck->setChecked(true);
        ui->checkBoxIncludeRemote->setChecked(task->content.checkvolume & 1);
        break;
    case QZynTask::Mail:
        ui->stackedWidgetAction->setCurrentIndex(task->operation);
        ui->radioButtonSendmail->setChecked(true);
        ui->lineEditMailSubject->setText(task->content.subject);
        ui->plainTextEditMailMessage->setPlainText(task->content.msg);
        break;
    case QZynTask::MessageBox:
        ui->stackedWidgetAction->setCurrentIndex(task->operation);
        ui->radioButtonMsgBox->setChecked(true);
        ui->lineEditMsgBoxMsg->setText(task->content.msgbox);
        break;
    default:
        break;
    }
    return true;
}

bool DialogScheduler::Refuse(const QString& text)
{
    QMessageBox::warning(this, tr("Warning"), text);
    return false;
}

bool DialogScheduler::CheckWeeklyElements()
{
    for (QCheckBox* box : weekdayCheckBoxes)
        if (box->isChecked())
            return true;
    return Refuse(tr("Please select days!!"));
}

bool DialogScheduler::CheckMonthlyElements()
{
    for (QCheckBox* box : dayCheckBoxes)
        if (box->isChecked())
            return true;
    return Refuse(tr("Please select days!!"));
}

bool DialogScheduler::CheckActionMessageBoxElements()
{
    if (ui->lineEditMsgBoxMsg->text().isEmpty())
        return Refuse(tr("Please input message box text!!"));
    return true;
}

bool DialogScheduler::CheckActionMailElements()
{
    if (ui->lineEditMailSubject->text().isEmpty())
        return Refuse(tr("Please input mail subject!!"));
    if (ui->plainTextEditMailMessage->toPlainText().isEmpty())
        return Refuse(tr("Please input mail message!!"));
    return true;
}

bool DialogScheduler::Apply(QZynTask* task)
{
    if (task == nullptr)
        return false;
    const QDateTime start = ui->dateTimeEdit->dateTime();
    const int trigger = ui->buttonGroupTriggerType->checkedId();
    const int operation = ui->buttonGroupActionType->checkedId();

    // Every check comes before the first write, so a refusal leaves the task as it was.
    if (trigger == QZynTask::Monthly && !CheckMonthlyElements())
        return false;
    if (trigger == QZynTask::Weekly && !CheckWeeklyElements())
        return false;
    if (operation == QZynTask::Mail && !CheckActionMailElements())
        return false;
    if (operation == QZynTask::MessageBox && !CheckActionMessageBoxElements())
        return false;

    switch (trigger) {
    case QZynTask::Monthly:
        task->trigger.interval = quint16(ui->spinBoxMonths->value());
        task->trigger.days = 0;
        for (int i = 0; i < kMonthDays; ++i)
            if (dayCheckBoxes[i]->isChecked())
                task->trigger.days |= 1u << i;
        break;
    case QZynTask::Weekly:
        task->trigger.interval = quint16(ui->spinBoxWeeks->value());
        task->trigger.weekdays = 0;
        for (int i = 0; i < kWeekdays; ++i)
            if (weekdayCheckBoxes[i]->isChecked())
                task->trigger.weekdays |= quint16(1u << i);
        break;
    case QZynTask::Daily:
        task->trigger.interval = quint16(ui->spinBoxDays->value());
        break;
    default:
        break;
    }
    switch (operation) {
    case QZynTask::CheckVolume:
        task->content.checkvolume = (task->content.checkvolume & ~1) | (ui->checkBoxIncludeRemote->isChecked() ? 1 : 0);
        break;
    case QZynTask::Mail:
        task->content.subject = ui->lineEditMailSubject->text();
        task->content.msg = ui->plainTextEditMailMessage->toPlainText();
        break;
    case QZynTask::MessageBox:
        task->content.msgbox = ui->lineEditMsgBoxMsg->text();
        break;
    default:
        break;
    }
    task->startyear = quint16(start.date().year());
    task->startmonth = quint16(start.date().month());
    task->startday = quint16(start.date().day());
    task->starthour = quint16(start.time().hour());
    task->startminute = quint16(start.time().minute());
    if (trigger >= 0)
        task->triggertype = trigger;
    if (operation >= 0)
        task->operation = operation;
    task->flags = ui->enabledCheckBox->isChecked() ? 0 : QZynTask::kFlagDisabled;
    if (m_settings != nullptr)
        m_settings->scheduler.Restart();
    emit item_changed(task, QZynDevice::DeviceUpdated);
    return true;
}

void DialogScheduler::on_buttonBox_clicked(QAbstractButton* button)
{
    // Without a task there is nothing to apply, and OK just closes.
    prefdialog::AnswerButton(this, ui->buttonBox, button, [this] {
        QZynTask* task = GetCurrentTask();
        return task == nullptr || Apply(task);
    });
}

void DialogScheduler::on_buttonGroupTriggerType_buttonClicked(int id)
{
    ui->stackedWidgetTrigger->setCurrentIndex(id);
}

void DialogScheduler::on_buttonGroupActionType_buttonClicked(int id)
{
    ui->stackedWidgetAction->setCurrentIndex(id);
}

void DialogScheduler::on_addPushButton_clicked()
{
    if (m_settings == nullptr)
        return;
    QZynScheduler& scheduler = m_settings->scheduler;
    if (scheduler.TaskCount() >= kMaxTasks) {
        QMessageBox::warning(this, tr("Warning"), tr("Max tasks count = 5"));
        return;
    }
    bool ok = false;
    const QString name = QInputDialog::getText(this, QString(), tr("Task name:"), QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    if (name.isEmpty()) {
        QMessageBox::warning(this, tr("Warning"), tr("Please enter task name!!"));
        return;
    }
    for (int i = 0; i < scheduler.TaskCount(); ++i) {
        if (scheduler.GetTask(i)->name == name) {
            QMessageBox::warning(this, tr("Warning"), tr("Task name already exists!!"));
            return;
        }
    }
    auto* task = new QZynTask(name);
    task->UpdateNextRunTime();
    scheduler.AddTask(task);
    emit item_changed(task, QZynDevice::DeviceAdded);
}

void DialogScheduler::on_deletePushButton_clicked()
{
    QZynTask* task = GetCurrentTask();
    if (task == nullptr || m_settings == nullptr)
        return;
    if (QMessageBox::warning(this, tr("Warning"), tr("Are you sure you want to delete this task ?"),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    m_settings->scheduler.RemoveTask(task);
    emit item_changed(task, QZynDevice::DeviceRemoved);
    // Nothing refers to it any more: the list and the model have let go.
    task->deleteLater();
}

void DialogScheduler::on_labelEmailSettings_linkActivated(const QString&)
{
    DialogMailSettings dialog(this);
    dialog.exec();
}
