#include "ui/dialog/dialogexpandraidsetwizard.h"

#include "ui_dialogexpandraidsetwizard.h"

#include "devices/controller.h"
#include "devices/raidset.h"
#include "ui/model/expandvolumesetitemmodel.h"
#include "ui/model/selectionproxy.h"

#include <QDebug>
#include <QHeaderView>

#include <vector>

namespace {
constexpr double kBytesPerBlock = 512.0;
constexpr double kBytesPerGB = 1000.0 * 1000.0 * 1000.0;

double gigabytes(uint64_t blocks)
{
    return double(blocks) * kBytesPerBlock / kBytesPerGB;
}

QString oneDecimal(double value)
{
    return QString::number(value, 'f', 1);
}
} // namespace

DialogExpandRaidsetWizard::DialogExpandRaidsetWizard(QZynRaidSet* raidSet, QWidget* parent)
    : QWizard(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogExpandRaidsetWizard)
    , m_raidSet(raidSet)
    , m_controller(raidSet != nullptr ? raidSet->GetOwner() : nullptr)
{
    ui->setupUi(this);
    setStartId(FreeDiskPageId);
    InitDialog();
    raiddialog::CloseWithController(this, m_controller.data());
}

DialogExpandRaidsetWizard::~DialogExpandRaidsetWizard()
{
    // The proxy keeps the selection list up from the controller's live disk model: it goes
    // before anything else of the wizard.
    ui->freeDiskTreeView->setModel(nullptr);
    delete m_proxy;
    m_proxy = nullptr;
    dropVolumeModel();
    ui->volTreeView->setItemDelegate(nullptr);
    delete m_delegate;
    delete ui;
}

void DialogExpandRaidsetWizard::InitDialog()
{
    setWindowTitle(tr("Expand RaidSet"));
    m_list.clear();
    m_proxy = new QExpandSortFilterProxyModel(m_raidSet.data(), &m_list, this);
    QAbstractItemModel* disks = raiddialog::DiskModelOf(m_controller.data());
    raiddialog::ShowList(this, ui->freeDiskTreeView, disks, &m_proxy, &m_list);
    connect(m_proxy, &QAbstractItemModel::dataChanged, this, &DialogExpandRaidsetWizard::DiskDataChanged);
    // The controller deletes its item models before its raid sets: the preview goes with them.
    if (disks != nullptr)
        connect(disks, &QObject::destroyed, this, [this] { dropVolumeModel(); });

    m_delegate = new ExpandVolumeSetViewDelegate(this);
    if (m_raidSet)
        m_volumeModel = new QExpandVolumeSetItemModel(m_raidSet.data(), this);
    raiddialog::SetUpView(ui->volTreeView, m_volumeModel);
    ui->volTreeView->setItemDelegate(m_delegate);
    if (m_volumeModel != nullptr)
        connect(m_volumeModel, &QAbstractItemModel::dataChanged, this, &DialogExpandRaidsetWizard::VolumeDataChanged);

    connect(this, &DialogExpandRaidsetWizard::completedsignal, page(FreeDiskPageId), &QWizardPage::completeChanged);
    ShowRaidSetInformation();
    SetPersistentEditor();
}

void DialogExpandRaidsetWizard::dropVolumeModel()
{
    ui->volTreeView->setModel(nullptr);
    delete m_volumeModel;
    m_volumeModel = nullptr;
}

QZynRaidSet* DialogExpandRaidsetWizard::RaidSet() const
{
    return m_raidSet.data();
}

bool DialogExpandRaidsetWizard::AnyDiskTicked() const
{
    for (const auto& pair : m_list)
        if (pair.second)
            return true;
    return false;
}

bool DialogExpandRaidsetWizard::HasVolumeSets() const
{
    if (!m_raidSet)
        return false;
    std::vector<int> volumes;
    m_raidSet->GetVolumeSetCount(volumes);
    return !volumes.empty();
}

void DialogExpandRaidsetWizard::ShowRaidSetInformation()
{
    int ticked = 0;
    for (const auto& pair : m_list)
        if (pair.second)
            ++ticked;
    int members = 0;
    double minGB = 0.0;
    double totalGB = 0.0;
    if (m_raidSet) {
        members = m_raidSet->GetRecord().memberCount();
        minGB = gigabytes(m_raidSet->GetMinDiskCapacity());
        totalGB = gigabytes(m_raidSet->GetTotalCapacity());
    }
    ui->labelMemberDisks->setText(QString::number(members) + QLatin1Char('+') + QString::number(ticked));
    ui->labelMinDiskSize->setText(oneDecimal(minGB));
    ui->labelTotalSize->setText(oneDecimal(totalGB) + QLatin1Char('+') + oneDecimal(minGB * ticked));
    emit completedsignal();
}

void DialogExpandRaidsetWizard::SetPersistentEditor()
{
    if (m_volumeModel == nullptr)
        return;
    QTreeView* view = ui->volTreeView;
    for (int r = 0; r < m_volumeModel->rowCount(); ++r) {
        view->openPersistentEditor(m_volumeModel->index(r, kLevelColumn));
        view->openPersistentEditor(m_volumeModel->index(r, kStripeColumn));
    }
    // Each new editor goes into the tab order right after the view: put them back in reading
    // order, row by row, the level before the stripe size.
    QWidget* previous = view;
    for (int r = 0; r < m_volumeModel->rowCount(); ++r)
        for (int column : {kLevelColumn, kStripeColumn})
            if (QWidget* editor = view->indexWidget(m_volumeModel->index(r, column))) {
                QWidget::setTabOrder(previous, editor);
                previous = editor;
            }
}

void DialogExpandRaidsetWizard::DiskDataChanged(const QModelIndex&, const QModelIndex&, const QVector<int>&)
{
    ShowRaidSetInformation();
}

void DialogExpandRaidsetWizard::VolumeDataChanged(const QModelIndex&, const QModelIndex&, const QVector<int>&)
{
    SetPersistentEditor();
}

void DialogExpandRaidsetWizard::on_selectAllCheckBox_clicked(bool checked)
{
    raiddialog::SetTopLevelChecks(m_proxy, checked);
}

// ---- Pages -------------------------------------------------------------------------------

DialogExpandRaidsetWizard* FreeDiskPage::owner() const
{
    return qobject_cast<DialogExpandRaidsetWizard*>(wizard());
}

void FreeDiskPage::initializePage()
{
    DialogExpandRaidsetWizard* w = owner();
    const QString name = w != nullptr && w->RaidSet() != nullptr ? raiddialog::Shown(w->RaidSet()->GetName()) : QString();
    setTitle(name + QLatin1Char(' ') + tr("Expansion"));
    setSubTitle(tr("Raid Set expansion is a quite critical process, we strongly recommend customer backup data before "
                   "expand. Unexpected accident may cause serious data corruption."));
}

bool FreeDiskPage::isComplete() const
{
    const DialogExpandRaidsetWizard* w = owner();
    return w != nullptr && w->AnyDiskTicked();
}

int FreeDiskPage::nextId() const
{
    const DialogExpandRaidsetWizard* w = owner();
    if (w != nullptr && w->HasVolumeSets())
        return DialogExpandRaidsetWizard::VolumePageId;
    qDebug() << "DialogExpandRaidsetWizard jump to finish page(2)";
    return DialogExpandRaidsetWizard::FinalPageId;
}

void VolumePage::initializePage()
{
    setTitle(tr("VolumeSet Modification"));
    setSubTitle(tr("The volume sets associated with this RAID Set appear for you to have chance to modify RAID Level "
                   "or Stripe Size"));
}

int VolumePage::nextId() const
{
    return DialogExpandRaidsetWizard::FinalPageId;
}

void FinalPage::initializePage()
{
    setTitle(tr("Summary"));
    setSubTitle(tr("The information of raidset expansion"));
}

int FinalPage::nextId() const
{
    return DialogExpandRaidsetWizard::NoNextPage;
}
