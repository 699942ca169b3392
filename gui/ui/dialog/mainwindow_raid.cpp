// The main window's RAID commands: each finds its object in the controller tree's current row,
// passes the password gate, checks what the command needs, and then runs its dialog or asks
// and sends its one library command. A page button fires its action even while the action is
// disabled, so every command looks at the current row again itself and does nothing when it
// does not fit. The gate and the boxes run nested event loops in which the controller may go
// and the polling may empty a raid set: objects are held by guarded pointers and looked at
// again after every modal step.
#include "ui/dialog/mainwindow.h"

#include "devices/controller.h"
#include "devices/raidset.h"
#include "devices/sysinfo.h"
#include "devices/volumeset.h"
#include "ui/dialog/dialogaddhotsparedisk.h"
#include "ui/dialog/dialogaddpassthroughdisk.h"
#include "ui/dialog/dialogaddraidset.h"
#include "ui/dialog/dialogaddvolume.h"
#include "ui/dialog/dialogdeletehotsparedisk.h"
#include "ui/dialog/raiddialogs.h"

#include <QMessageBox>
#include <QPointer>

#include <vector>

namespace {

constexpr double kBytesPerBlock = 512.0;
constexpr double kBytesPerGB = 1000.0 * 1000.0 * 1000.0;
// The least free space a new volume set needs, in GB.
constexpr double kMinVolumeGB = 1.0;
// The volume-state bits that keep a raid set out of normal state.
constexpr uint32_t kMigrationStates = sGUI_VOLUMESET::kStateMigrating | sGUI_VOLUMESET::kStateNeedMigrate;

QZynController* asController(QZynDevice* device)
{
    if (device == nullptr || device->type != QZynDevice::Controller)
        return nullptr;
    return static_cast<QZynController*>(device);
}

// A raid set with an owner whose raid sets may be commanded (not a JBOD controller).
QZynRaidSet* asRaidSet(QZynDevice* device)
{
    if (device == nullptr || device->type != QZynDevice::RaidSet)
        return nullptr;
    auto* raidSet = static_cast<QZynRaidSet*>(device);
    const QZynController* owner = raidSet->GetOwner();
    if (owner == nullptr || owner->GetSysInfo()->GetRecord().jbodMode())
        return nullptr;
    return raidSet;
}

// The same, for the commands that do not apply to a pass-through disk's entry.
QZynRaidSet* asOrdinaryRaidSet(QZynDevice* device)
{
    QZynRaidSet* raidSet = asRaidSet(device);
    return raidSet != nullptr && !raidSet->GetRecord().isPassThrough() ? raidSet : nullptr;
}

// The controller of a controller, raid set or volume set row.
QZynController* controllerOfRow(QZynDevice* device)
{
    if (device == nullptr)
        return nullptr;
    switch (device->type) {
    case QZynDevice::Controller:
        return static_cast<QZynController*>(device);
    case QZynDevice::RaidSet:
        return static_cast<QZynRaidSet*>(device)->GetOwner();
    case QZynDevice::VolumeSet:
        return static_cast<QZynVolumeSet*>(device)->GetOwner();
    default:
        return nullptr;
    }
}

QString modelOf(const QZynController* controller)
{
    return controller->GetSysInfo()->GetModelName();
}

QString nameOf(const QZynRaidSet* raidSet)
{
    return raiddialog::Shown(raidSet->GetName());
}

QString nameOf(const QZynVolumeSet* volume)
{
    return raiddialog::Shown(volume->GetName());
}

// Complete and active, not degraded, and no volume set migrating or waiting to.
bool inNormalState(const QZynRaidSet* raidSet)
{
    const sGUI_RAIDSET record = raidSet->GetRecord();
    return (record.stateFlags() & sGUI_RAIDSET::kStateComplete) != 0 && record.degraded() == 0
        && (raidSet->GetCombinedState() & kMigrationStates) == 0;
}

bool hasFreeDisks(const QZynController* controller)
{
    std::vector<QZynDiskIndex> disks;
    controller->GetFreeDiskCount(disks);
    return !disks.empty();
}

// Runs a dialog that takes free disks of `controller`, or says `none` when it has none.
template <typename Dialog>
void runOnFreeDisks(QWidget* parent, QZynController* controller, const QString& none)
{
    if (!hasFreeDisks(controller)) {
        QMessageBox::warning(parent, modelOf(controller), none, QMessageBox::Ok);
        return;
    }
    Dialog dialog(controller, parent);
    dialog.exec();
}

// The question of a command of the main window on `controller`, No the default; true for Yes.
// It closes, answered No, when the controller goes.
bool confirmCommand(QWidget* parent, QZynController* controller, const QString& title, const QString& question)
{
    QMessageBox box(QMessageBox::Critical, title, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    raiddialog::CloseWithController(&box, controller);
    return box.exec() == QMessageBox::Yes;
}

// The outcome of a library call: `failure` when it failed, else `success`.
void reportCommand(QWidget* parent, const QString& title, u32 result, const QString& failure, const QString& success)
{
    if (result != ZYN_OK)
        QMessageBox::warning(parent, title, failure, QMessageBox::Ok);
    else
        QMessageBox::information(parent, title, success, QMessageBox::Ok);
}

QString code(u32 result)
{
    return QString::number(result);
}

} // namespace

// The current row's controller once the password gate let it through; null for another row, a
// refused password, or a controller that went away while the password was asked.
QZynController* MainWindow::CurrentControllerPastGate()
{
    QPointer<QZynController> controller = asController(GetCurrentControllerTreeItem());
    if (controller.isNull() || !CheckPassword(controller))
        return nullptr;
    return controller.data();
}

void MainWindow::DoActionQuickCreate()
{
    QZynController* controller = CurrentControllerPastGate();
    if (controller == nullptr)
        return;
    const QString model = modelOf(controller);
    if (!hasFreeDisks(controller)) {
        QMessageBox::warning(this, model, tr("No Disk Available"), QMessageBox::Ok);
        return;
    }
    // Pass-through disks' entries do not count as raid sets here.
    std::vector<int> raidSets;
    controller->GetRaidSetCount(raidSets);
    for (int number : raidSets) {
        const QZynRaidSet* raidSet = controller->GetRaidSet(number);
        if (raidSet != nullptr && !raidSet->GetRecord().isPassThrough()) {
            QMessageBox::warning(this, model, tr("Raid Set Already Exist"), QMessageBox::Ok);
            return;
        }
    }
    RunQuickCreateDialog(controller);
}

void MainWindow::DoActionAddRaidSet()
{
    QZynController* controller = CurrentControllerPastGate();
    if (controller == nullptr)
        return;
    runOnFreeDisks<DialogAddRaidSet>(this, controller, tr("No Disks Available For RaidSet"));
}

void MainWindow::DoActionAddNestedRaid()
{
    QZynController* controller = CurrentControllerPastGate();
    if (controller == nullptr)
        return;
    RunAddNestedVolumeDialog(controller);
}

void MainWindow::DoActionRemoveNestedRaid()
{
    QZynController* controller = CurrentControllerPastGate();
    if (controller == nullptr)
        return;
    RunDeleteNestedVolumesDialog(controller);
}

void MainWindow::DoActionRemoveRaidSet()
{
    QZynRaidSet* selected = asRaidSet(GetCurrentControllerTreeItem());
    if (selected == nullptr)
        return;
    QPointer<QZynRaidSet> raidSet = selected;
    QPointer<QZynController> controller = selected->GetOwner();
    // What the user picked: its name and kind as shown when the command began.
    const QString name = nameOf(selected);
    const bool passThrough = selected->GetRecord().isPassThrough();
    if (!CheckPassword(controller) || controller.isNull() || raidSet.isNull())
        return;

    if (passThrough) {
        if (!confirmCommand(this, controller, name, tr("Are you sure you want to remove this passthrough disk ?")))
            return;
        if (controller.isNull() || raidSet.isNull())
            return;
        // The polling may have emptied the entry meanwhile: without a member there is no disk
        // to name.
        std::vector<QZynDiskIndex> members;
        raidSet->GetDiskCount(members);
        const u32 rc = members.empty() ? u32(ZYN_ERR_NO_OBJECT)
                                       : controller->ZynDelPassthroughDisk(uint8_t(members.front().enclosure),
                                                                           uint8_t(members.front().slot));
        reportCommand(this, name, rc, tr("Failed to remove %1, Error = %2.").arg(name, code(rc)),
                      tr("%1 has been removed successfully.").arg(name));
        return;
    }

    if (raidSet->HasR5060Volumes()) {
        QMessageBox::warning(this, name, tr("Failed to delete %1, please delete Raid30/50/60 volume first.").arg(name),
                             QMessageBox::Ok);
        return;
    }
    if (!confirmCommand(this, controller, name,
                        tr("ALL VOLUMES IN THIS RAIDSET WILL BE DELETED TOO!!!\n"
                           "Are you sure you want to delete this raidset ?")))
        return;
    if (controller.isNull() || raidSet.isNull())
        return;
    // A raid set that went away during the question is not asked for by number: its number
    // may be taken again by then.
    const u32 rc = raidSet->IsPresent() ? controller->ZynDelRaidSet(char(raidSet->GetIndex())) : u32(ZYN_ERR_NO_OBJECT);
    reportCommand(this, name, rc, tr("Failed to delete %1, Error = %2.").arg(name, code(rc)),
                  tr("%1 has been deleted successfully.").arg(name));
}

void MainWindow::DoActionActivateIncompleteRaidSet()
{
    QZynRaidSet* selected = asOrdinaryRaidSet(GetCurrentControllerTreeItem());
    if (selected == nullptr)
        return;
    QPointer<QZynRaidSet> raidSet = selected;
    QPointer<QZynController> controller = selected->GetOwner();
    if (!CheckPassword(controller) || controller.isNull() || raidSet.isNull() || !raidSet->IsPresent())
        return;
    const QString name = nameOf(raidSet);
    if (raidSet->GetRecord().stateFlags() & sGUI_RAIDSET::kStateComplete) {
        QMessageBox::warning(this, name, tr("RaidSet Already Active"), QMessageBox::Ok);
        return;
    }
    const u32 rc = controller->ZynActiveRaidSet(uint8_t(raidSet->GetIndex()));
    reportCommand(this, name, rc, tr("Failed to activate %1, Error = %2.").arg(name, code(rc)),
                  tr("%1 has been activated successfully.\nNote: Create a \"Hot Spare Disk\" to rebuild the raidset!!")
                      .arg(name));
}

void MainWindow::DoActionExpandRaidSet()
{
    QZynRaidSet* selected = asOrdinaryRaidSet(GetCurrentControllerTreeItem());
    if (selected == nullptr)
        return;
    QPointer<QZynRaidSet> raidSet = selected;
    QPointer<QZynController> controller = selected->GetOwner();
    if (!CheckPassword(controller) || controller.isNull() || raidSet.isNull() || !raidSet->IsPresent())
        return;
    if (!inNormalState(raidSet)) {
        const QString name = nameOf(raidSet);
        QMessageBox::warning(this, name, tr("%1 is not in normal state!!").arg(name), QMessageBox::Ok);
        return;
    }
    RunExpandRaidSetDialog(raidSet);
}

void MainWindow::DoActionAddVolume()
{
    QZynRaidSet* selected = asOrdinaryRaidSet(GetCurrentControllerTreeItem());
    if (selected == nullptr)
        return;
    QPointer<QZynRaidSet> raidSet = selected;
    QPointer<QZynController> controller = selected->GetOwner();
    if (!CheckPassword(controller) || controller.isNull() || raidSet.isNull() || !raidSet->IsPresent())
        return;
    AddVolume(raidSet);
}

void MainWindow::AddVolume(QZynRaidSet* raidSet)
{
    if (raidSet == nullptr || raidSet->GetOwner() == nullptr)
        return;
    const QString name = nameOf(raidSet);
    if (!inNormalState(raidSet)) {
        QMessageBox::warning(this, name, tr("%1 is not in normal state!!").arg(name), QMessageBox::Ok);
        return;
    }
    const double freeGB = double(raidSet->GetFreeCapacity()) * kBytesPerBlock / kBytesPerGB;
    if (freeGB < kMinVolumeGB) {
        QMessageBox::warning(this, name, tr("No Space For Volume"), QMessageBox::Ok);
        return;
    }
    DialogAddVolume dialog(raidSet, this);
    dialog.exec();
}

void MainWindow::DoActionRemoveVolume()
{
    QZynDevice* device = GetCurrentControllerTreeItem();
    if (device == nullptr || device->type != QZynDevice::VolumeSet)
        return;
    auto* selected = static_cast<QZynVolumeSet*>(device);
    // Not a part of a nested volume set (it goes with the nested one), nor the volume of a
    // pass-through disk (it goes with the disk).
    const sGUI_VOLUMESET record = selected->GetRecord();
    const QZynRaidSet* raidSet = selected->GetRaidSet();
    if (selected->GetOwner() == nullptr || (record.isNestedMember() && !record.isNested())
        || (raidSet != nullptr && raidSet->GetRecord().isPassThrough()))
        return;
    QPointer<QZynVolumeSet> volume = selected;
    QPointer<QZynController> controller = selected->GetOwner();
    if (!CheckPassword(controller) || controller.isNull() || volume.isNull())
        return;
    RemoveVolume(volume);
}

void MainWindow::RemoveVolume(QZynVolumeSet* selected)
{
    if (selected == nullptr || selected->GetOwner() == nullptr)
        return;
    QPointer<QZynVolumeSet> volume = selected;
    QPointer<QZynController> controller = selected->GetOwner();
    const QString name = nameOf(selected);
    if (!confirmCommand(this, controller, name,
                        tr("ALL DATA IN THIS VOLUME WILL BE LOST!!!\nAre you sure you want to delete this volume ?")))
        return;
    if (controller.isNull() || volume.isNull())
        return;
    // Gone during the question: its number may name another volume set by now.
    const u32 rc = volume->IsPresent() ? controller->ZynDelVolSet(uint8_t(volume->GetIndex())) : u32(ZYN_ERR_NO_OBJECT);
    reportCommand(this, name, rc, tr("Failed to delete %1, Error = %2.").arg(name, code(rc)),
                  tr("%1 has been deleted successfully.").arg(name));
}

void MainWindow::DoActionStopVolumeChecking()
{
    QZynController* controller = CurrentControllerPastGate();
    if (controller == nullptr)
        return;
    StopVolumeChecking(controller);
}

void MainWindow::StopVolumeChecking(QZynController* selected)
{
    if (selected == nullptr)
        return;
    QPointer<QZynController> controller = selected;
    const QString model = modelOf(selected);
    if (!confirmCommand(this, controller, model, tr("Are you sure you want to stop the volume checking ?"))
        || controller.isNull())
        return;
    const u32 rc = controller->ZynStopCheckVolume();
    reportCommand(this, model, rc, tr("Failed to stop volume checking, Error = %1.").arg(code(rc)),
                  tr("%1 has been stopped volume checking successfully.").arg(model));
}

void MainWindow::DoActionAddHotSpareDisk()
{
    // A controller row makes a global spare; a raid set row one dedicated to that raid set.
    QZynDevice* device = GetCurrentControllerTreeItem();
    QPointer<QZynController> controller = asController(device);
    QPointer<QZynRaidSet> raidSet;
    if (controller.isNull()) {
        QZynRaidSet* selected = asOrdinaryRaidSet(device);
        if (selected == nullptr)
            return;
        raidSet = selected;
        controller = selected->GetOwner();
    }
    const bool dedicated = !raidSet.isNull();
    if (!CheckPassword(controller) || controller.isNull())
        return;
    if (dedicated && (raidSet.isNull() || !raidSet->IsPresent()))
        return;
    if (!hasFreeDisks(controller)) {
        QMessageBox::warning(this, modelOf(controller), tr("No Disks Available For Hot Spare"), QMessageBox::Ok);
        return;
    }
    DialogAddHotSpareDisk dialog(controller, raidSet, this);
    dialog.exec();
}

void MainWindow::DoActionRemoveHotSpareDisk()
{
    QZynDevice* device = GetCurrentControllerTreeItem();
    QPointer<QZynController> controller = asController(device);
    if (controller.isNull()) {
        QZynRaidSet* selected = asOrdinaryRaidSet(device);
        if (selected == nullptr)
            return;
        controller = selected->GetOwner();
    }
    if (!CheckPassword(controller) || controller.isNull())
        return;
    std::vector<QZynDiskIndex> spares;
    controller->GetHotSpareDiskCount(spares);
    if (spares.empty()) {
        QMessageBox::warning(this, modelOf(controller), tr("No Hot Spare Available"), QMessageBox::Ok);
        return;
    }
    DialogDeleteHotSpareDisk dialog(controller, this);
    dialog.exec();
}

void MainWindow::DoActionAddPassThroughDisk()
{
    QZynController* controller = CurrentControllerPastGate();
    if (controller == nullptr)
        return;
    runOnFreeDisks<DialogAddPassThroughDisk>(this, controller, tr("No Disks Available For Pass Through"));
}

void MainWindow::DoActionMuteBeeper()
{
    // No password: silencing the alarm changes nothing of the configuration.
    QZynController* controller = controllerOfRow(GetCurrentControllerTreeItem());
    if (controller != nullptr)
        controller->ZynMuteBeeper();
}
