// What the RAID configuration dialogs share: the set-up of a list of check boxes, the device
// list of the ticked disks, the question and result boxes titled with the controller's model
// name, and the rule that a dialog closes when its controller goes away.
#pragma once

#include "cli/passwordgate.h"
#include "records.h"
#include "zynlib.h"

#include <QDialog>
#include <QList>
#include <QTreeView>
#include <QPair>
#include <QString>

class QAbstractItemModel;
class QWidget;
class QZynController;
class QZynDisk;

namespace raiddialog {

using DiskCheckList = QList<QPair<QZynDisk*, bool>>;

// Rows of the device lists are 20 x 20 and the columns fit their contents.
constexpr int kIconSize = 20;

// Puts `proxy` on `view`: small icons, no root decoration, columns fitted, every row open.
void SetUpView(QTreeView* view, QAbstractItemModel* proxy);
// Ticks (or unticks) every top-level row of `proxy` (none when null); an enclosure row passes
// it to its disks.
void SetTopLevelChecks(QAbstractItemModel* proxy, bool checked);

enum class Collected { Nothing, Listed, TooMany };
// Zeroes `out` and lists the ticked disks of `list` in list order, each as {enclosure, slot}
// (low bytes). More ticked disks than the list holds: TooMany, and nothing is listed.
Collected CollectDisks(const DiskCheckList& list, _DEVICE_LIST* out);

// The controller's disk model, the source of the disk lists; null without a controller or
// before the controller has started.
QAbstractItemModel* DiskModelOf(QZynController* controller);
// The controller's raid set and volume set models, null as the disk model is.
QAbstractItemModel* RaidSetModelOf(QZynController* controller);
QAbstractItemModel* VolumeSetModelOf(QZynController* controller);

// A fixed-width text field of a record as shown: up to its first NUL byte.
QString Shown(const QString& field);

// The title of the configuration boxes: the controller's model name.
QString ModelTitle(QZynController* controller);
// Whether the controller makes Raid6 volumes (and Raid60 nested ones), as its system
// information says; false without a controller.
bool OffersRaid6(const QZynController* controller);
// Whether the controller makes nested volumes: the library makes them only where the volume
// records have their extended part, as the system information says; false without a controller.
bool OffersNested(const QZynController* controller);
// The question of a configuration command, Yes the default; true for Yes.
bool Confirm(QWidget* parent, const QString& title, const QString& question);
// The result of a library call: `failure` with %0 the result in decimal, or `success`.
void Report(QWidget* parent, const QString& title, u32 result, const QString& failure, const QString& success);
// The refusal of a selection larger than the device list holds.
void WarnTooMany(QWidget* parent, const QString& title);

// The volume level of the first checked button of a form's raid 0, 1, 3 and 5 buttons, RAID 6
// when none is (the raid 1 button stands for RAID 1+0).
template <typename Form>
u8 CheckedLevel(const Form* form)
{
    if (form->raid0RadioButton->isChecked())
        return sGUI_VOLUMESET::kLevelRaid0;
    if (form->raid1RadioButton->isChecked())
        return sGUI_VOLUMESET::kLevelRaid10;
    if (form->raid3RadioButton->isChecked())
        return sGUI_VOLUMESET::kLevelRaid3;
    if (form->raid5RadioButton->isChecked())
        return sGUI_VOLUMESET::kLevelRaid5;
    return sGUI_VOLUMESET::kLevelRaid6;
}

// Closes a dialog, and the question it asks, when its controller goes.
using ::CloseWithController;

// Puts a proxy over `source` on the dialog's view and keeps it only as long as the source: when
// the controller deletes its model, the view lets go of the proxy, the proxy is deleted and
// nulled, the list forgets its devices and the dialog closes.
template <typename Proxy, typename CheckList>
void ShowList(QDialog* dialog, QTreeView* view, QAbstractItemModel* source, Proxy** proxy, CheckList* list)
{
    if (source != nullptr)
        (*proxy)->setSourceModel(source);
    SetUpView(view, *proxy);
    if (source == nullptr)
        return;
    QObject::connect(source, &QObject::destroyed, dialog, [dialog, view, proxy, list] {
        view->setModel(nullptr);
        delete *proxy;
        *proxy = nullptr;
        list->clear();
        CloseWithQuestions(dialog);
    });
}

} // namespace raiddialog
