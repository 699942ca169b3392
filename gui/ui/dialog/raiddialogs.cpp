#include "ui/dialog/raiddialogs.h"

#include "devices/controller.h"
#include "devices/guiitem.h"

#include <QCoreApplication>
#include <QStandardItemModel>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>

#include <cstring>

namespace raiddialog {

QAbstractItemModel* DiskModelOf(QZynController* controller)
{
    return controller != nullptr && controller->GetGuiItem() != nullptr ? controller->GetGuiItem()->diskModel : nullptr;
}

QAbstractItemModel* RaidSetModelOf(QZynController* controller)
{
    return controller != nullptr && controller->GetGuiItem() != nullptr ? controller->GetGuiItem()->raidSetModel : nullptr;
}

QAbstractItemModel* VolumeSetModelOf(QZynController* controller)
{
    return controller != nullptr && controller->GetGuiItem() != nullptr ? controller->GetGuiItem()->volumeSetModel
                                                                        : nullptr;
}

void SetUpView(QTreeView* view, QAbstractItemModel* proxy)
{
    view->setIconSize(QSize(kIconSize, kIconSize));
    view->setRootIsDecorated(false);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->setModel(proxy);
    view->expandAll();
}

void SetTopLevelChecks(QAbstractItemModel* proxy, bool checked)
{
    if (proxy == nullptr)
        return;
    const int rows = proxy->rowCount();
    for (int r = 0; r < rows; ++r)
        proxy->setData(proxy->index(r, 0), checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

Collected CollectDisks(const DiskCheckList& list, _DEVICE_LIST* out)
{
    std::memset(out, 0, sizeof *out);
    int ticked = 0;
    for (const auto& pair : list)
        if (pair.second)
            ++ticked;
    if (ticked == 0)
        return Collected::Nothing;
    if (ticked > _DEVICE_LIST::kMaxDrives)
        return Collected::TooMany;
    for (const auto& pair : list) {
        if (!pair.second || pair.first == nullptr)
            continue;
        const QZynDiskIndex& index = pair.first->GetIndex();
        _DEVICE_LIST::Drive& drive = out->drives[out->count++];
        drive.enclosure = uint8_t(index.enclosure & 0xFF);
        drive.slot = uint8_t(index.slot & 0xFF);
    }
    return out->count == 0 ? Collected::Nothing : Collected::Listed;
}

QString Shown(const QString& field)
{
    const int end = field.indexOf(QChar(0));
    return end < 0 ? field : field.left(end);
}

QString ModelTitle(QZynController* controller)
{
    return controller != nullptr ? controller->GetSysInfo()->GetModelName() : QString();
}

bool OffersRaid6(const QZynController* controller)
{
    return controller != nullptr && controller->GetSysInfo()->GetRecord().supportsRaid6();
}

bool OffersNested(const QZynController* controller)
{
    return controller != nullptr && controller->GetSysInfo()->GetRecord().hasExtendedVolumeRecord();
}

bool Confirm(QWidget* parent, const QString& title, const QString& question)
{
    return QMessageBox::information(parent, title, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

void Report(QWidget* parent, const QString& title, u32 result, const QString& failure, const QString& success)
{
    if (result != ZYN_OK)
        QMessageBox::warning(parent, title, failure.arg(result), QMessageBox::Ok);
    else
        QMessageBox::information(parent, title, success, QMessageBox::Ok);
}

void WarnTooMany(QWidget* parent, const QString& title)
{
    // The context is the namespace's name, the one lupdate files this text under.
    const QString text = QCoreApplication::translate("raiddialog", "At most %1 disks can be selected at a time.");
    QMessageBox::warning(parent, title, text.arg(_DEVICE_LIST::kMaxDrives), QMessageBox::Ok);
}

} // namespace raiddialog
