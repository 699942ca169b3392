#include "ui/dialog/dialogdeletenestedvolumes.h"

#include "ui_dialogdeletenestedvolumes.h"

#include "devices/controller.h"
#include "devices/volumeset.h"
#include "ui/model/selectionproxy.h"

DialogDeleteNestedVolumes::DialogDeleteNestedVolumes(QZynController* controller, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogDeleteNestedVolumes)
    , m_controller(controller)
{
    ui->setupUi(this);
    InitDialog();
    raiddialog::CloseWithController(this, m_controller.data());
}

DialogDeleteNestedVolumes::~DialogDeleteNestedVolumes()
{
    delete m_proxy;
    delete ui;
}

void DialogDeleteNestedVolumes::InitDialog()
{
    setWindowTitle(tr("Delete Nested(Hybrid) RAID"));
    m_list.clear();
    m_proxy = new QNestedVolumeSetSortFilterProxyModel(&m_list, nullptr);
    raiddialog::ShowList(this, ui->r5060VolumeTreeView, raiddialog::VolumeSetModelOf(m_controller.data()), &m_proxy,
                         &m_list);
    connect(m_proxy, &QAbstractItemModel::dataChanged, this, &DialogDeleteNestedVolumes::DataChanged);
}

void DialogDeleteNestedVolumes::DataChanged(const QModelIndex&, const QModelIndex&, const QVector<int>&)
{
}

void DialogDeleteNestedVolumes::on_selectAllCheckBox_clicked(bool checked)
{
    raiddialog::SetTopLevelChecks(m_proxy, checked);
}

void DialogDeleteNestedVolumes::on_deletePushButton_clicked()
{
    if (!m_controller || m_list.isEmpty())
        return;
    // The ticked volume sets as they stand now: every box lets polls re-filter the list, and a
    // re-filtered row loses its tick (an initialising volume set changes every second).
    QList<QPointer<QZynVolumeSet>> ticked;
    for (const auto& pair : m_list)
        if (pair.second && pair.first != nullptr)
            ticked << pair.first;
    const QString title = raiddialog::ModelTitle(m_controller.data());
    if (!raiddialog::Confirm(this, title, tr("ALL DATA IN THESE VOLUMES WILL BE LOST!!!\nAre you sure you want to continue ?")))
        return;
    for (const QPointer<QZynVolumeSet>& volume : ticked) {
        if (!m_controller)
            return;
        // Gone meanwhile (deleted, or its number now holds another kind of volume set): skipped.
        if (volume.isNull() || volume->GetIndex() < 0 || volume->GetIndex() >= QZynController::kVolumeSets)
            continue;
        const sGUI_VOLUMESET record = volume->GetRecord();
        if (!record.exists() || !record.isNested())
            continue;
        const u32 rc = m_controller->ZynDelVolSet(u8(volume->GetIndex()));
        raiddialog::Report(this, title, rc, tr("Failed to ZynDelVolSet(..), Error = %0."),
                           tr("Nested(Hybrid) RAID(s) have been deleted successfully."));
    }
}

void DialogDeleteNestedVolumes::on_exitButton_clicked()
{
    close();
}
