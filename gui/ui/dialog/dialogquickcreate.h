// "New Volume" in one step: a raid set of all free disks of a controller (the last one kept back
// as a global hot spare for the "+ Spare" levels) and one volume on it. The dialog asks before
// it changes anything, stops at the first step that fails, and puts the volume on the raid set
// the controller reports as new. It stays open after a creation.
#pragma once

#include "records.h"
#include "zynlib.h"

#include <QDialog>
#include <QPointer>

#include <set>

class Ui_DialogQuickCreate;
class QRadioButton;
class QZynController;
class QZynDevice;

class DialogQuickCreate : public QDialog {
    Q_OBJECT
public:
    // What the figures start from: no smallest disk yet (GB) and the step they are cut to.
    static constexpr double kNoDiskGB = 1e7;
    static constexpr double kSizeStepGB = 10.0;
    // Free disks from which the levels are offered.
    static constexpr int kDisksRaid0 = 1;
    static constexpr int kDisksRaid1 = 2;
    static constexpr int kDisksParity = 3;
    static constexpr int kDisksParitySpare = 4;
    static constexpr int kDisksRaid6Spare = 5;
    // Above this many free disks the default level keeps a spare.
    static constexpr int kDisksWithoutSpare = 5;

    DialogQuickCreate(QZynController* controller, QWidget* parent = nullptr);
    ~DialogQuickCreate() override;

    Ui_DialogQuickCreate* Form() const { return ui; }

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);
    void CalculateRaidSetCapacity();
    void UpdateVolumeInformation();
    void RadioButton_clicked();
    void on_quickCreateButton_clicked();
    void on_exitButton_clicked();

private:
    // The level code of a button and whether it keeps the last free disk as a spare.
    struct Level {
        u8 code;
        bool spare;
    };
    void InitDialog();
    Level checkedLevel() const;
    // The capacity offered for the checked level (GB), never below 0.
    double checkedCapacity() const;
    QString maximumText(double gb) const;
    void warnFailed(const QString& failure, u32 result);
    // The numbers of the raid set entries the controller reports, pass-through disks included;
    // the result of the read.
    u32 readRaidSetNumbers(std::set<int>* numbers, std::set<int>* passThrough);

    Ui_DialogQuickCreate* ui;
    QPointer<QZynController> m_controller;
    double m_minDiskGB = kNoDiskGB;
    double m_totalGB = 0.0;
    int m_diskCount = 0;
};
