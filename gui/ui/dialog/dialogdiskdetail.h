// "Disk Information": one disk of one controller, its place, identity, capacity, state, error
// counters, temperature and S.M.A.R.T values, followed while the dialog is open.
#pragma once

#include <QDialog>
#include <QPointer>

class Ui_DialogDiskDetail;
class QZynController;
class QZynDevice;
class QZynDisk;
class QStandardItemModel;

class DialogDiskDetail : public QDialog {
    Q_OBJECT
public:
    // The pages of the stacked widget.
    enum Page { PageSATADisk = 0, PageSASDisk = 1 };

    DialogDiskDetail(QZynDisk* disk, QWidget* parent = nullptr);
    ~DialogDiskDetail() override;

    Ui_DialogDiskDetail* Form() const { return ui; }

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);
    void UpdateSATADiskInformation();
    void UpdateSASDiskInformation();

private:
    // What both pages show of the disk, as shown.
    struct Identity {
        QString type, location, name, serial, firmware, capacity, state, timeouts, mediaErrors;
    };
    void InitDialog();
    Identity DiskIdentity() const;

    Ui_DialogDiskDetail* ui;
    // The disk belongs to the controller: both go together when the controller is given up.
    QPointer<QZynController> m_controller;
    QPointer<QZynDisk> m_disk;
    // The SAS page's table: captions and values.
    QStandardItemModel* m_sasTable = nullptr;
};
