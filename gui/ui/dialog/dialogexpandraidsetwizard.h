// "Expand RaidSet": a preview, page by page, of a raid set grown by free disks at least as large
// as its smallest member: the new member count and raw capacity, the raid set's volume sets with
// editors for a new level and stripe size, and a summary. Finishing sends nothing.
#pragma once

#include "ui/dialog/raiddialogs.h"

#include <QModelIndex>
#include <QPointer>
#include <QVector>
#include <QWizard>
#include <QWizardPage>

class Ui_DialogExpandRaidsetWizard;
class QExpandSortFilterProxyModel;
class QExpandVolumeSetItemModel;
class ExpandVolumeSetViewDelegate;
class QZynController;
class QZynRaidSet;

class DialogExpandRaidsetWizard : public QWizard {
    Q_OBJECT
public:
    // The pages; no next page ends the wizard.
    enum PageId { NoNextPage = -1, FreeDiskPageId = 0, VolumePageId = 1, FinalPageId = 2 };
    // The view columns that hold the new level and the new stripe size.
    static constexpr int kLevelColumn = 1;
    static constexpr int kStripeColumn = 2;

    DialogExpandRaidsetWizard(QZynRaidSet* raidSet, QWidget* parent = nullptr);
    ~DialogExpandRaidsetWizard() override;

    Ui_DialogExpandRaidsetWizard* Form() const { return ui; }
    QExpandSortFilterProxyModel* Proxy() const { return m_proxy; }
    QExpandVolumeSetItemModel* VolumeModel() const { return m_volumeModel; }

    // For the pages: the raid set (null once its controller has gone), whether a disk is
    // ticked, whether the raid set holds volume sets.
    QZynRaidSet* RaidSet() const;
    bool AnyDiskTicked() const;
    bool HasVolumeSets() const;

signals:
    void completedsignal();

public slots:
    void DiskDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles);
    void VolumeDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles);
    void ShowRaidSetInformation();
    void SetPersistentEditor();
    void on_selectAllCheckBox_clicked(bool checked);

private:
    void InitDialog();
    // Lets go of the preview while the raid set still exists (its controller is going).
    void dropVolumeModel();

    Ui_DialogExpandRaidsetWizard* ui;
    QPointer<QZynRaidSet> m_raidSet;
    QPointer<QZynController> m_controller;
    raiddialog::DiskCheckList m_list;
    // Owned here and deleted first of all, before the list they keep up.
    QExpandSortFilterProxyModel* m_proxy = nullptr;
    QExpandVolumeSetItemModel* m_volumeModel = nullptr;
    ExpandVolumeSetViewDelegate* m_delegate = nullptr;
};

// Page 0: the free disks to add.
class FreeDiskPage : public QWizardPage {
    Q_OBJECT
public:
    using QWizardPage::QWizardPage;
    void initializePage() override;
    bool isComplete() const override;
    int nextId() const override;

private:
    DialogExpandRaidsetWizard* owner() const;
};

// Page 1: the raid set's volume sets.
class VolumePage : public QWizardPage {
    Q_OBJECT
public:
    using QWizardPage::QWizardPage;
    void initializePage() override;
    int nextId() const override;
};

// Page 2: the summary.
class FinalPage : public QWizardPage {
    Q_OBJECT
public:
    using QWizardPage::QWizardPage;
    void initializePage() override;
    int nextId() const override;
};
