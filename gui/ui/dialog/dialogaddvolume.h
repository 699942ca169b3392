// "New Volume": one volume set on one raid set, with a level the raid set's member count allows
// and a capacity up to that level's usable free space. The dialog stays open after a creation.
#pragma once

#include "records.h"
#include "zynlib.h"

#include <QDialog>
#include <QPointer>

class Ui_DialogAddVolume;
class QRadioButton;
class QZynController;
class QZynDevice;
class QZynRaidSet;

class DialogAddVolume : public QDialog {
    Q_OBJECT
public:
    static constexpr int kNameLength = sGUI_VOLUMESET::kNameSize;
    // What every new volume gets besides its name, level, capacity and address.
    static constexpr u8 kStripeCode = 4;           // 4 KB << 4 = 64 KB
    static constexpr u8 kTaggedQueuing = 1;
    static constexpr u8 kWriteBack = 1;
    static constexpr u8 kReserved = 4;
    static constexpr u8 kForegroundInit = 0x01;
    static constexpr u8 kNoEncryption = 0;
    static constexpr u8 kNoGreaterThan2TB = 0;
    // Below this much free space (GB) the raid set takes no new volume.
    static constexpr double kMinFreeGB = 1.0;

    // A new volume's record with what every new volume gets and the controller's next free
    // address; no raid set and no name yet.
    static _VOLUMESET_CAP NewVolumeCap(QZynController* controller, double capacity, u8 level);
    // Puts `name` in the record as UTF-8, cut between characters to the field.
    static void SetVolumeName(_VOLUMESET_CAP* cap, const QString& name);

    DialogAddVolume(QZynRaidSet* raidSet, QWidget* parent = nullptr);
    ~DialogAddVolume() override;

    Ui_DialogAddVolume* Form() const { return ui; }

public slots:
    void DeviceItemChanged(QZynDevice* device, int code);
    void UpdateVolumeInformation();
    void RadioButton_clicked();
    void on_createVolumePushButton_clicked();
    void on_exitButton_clicked();

private:
    void InitDialog();
    void ShowRaidSetInformation();
    // The level code of the first checked button (raid 0, 1, 3, 5), RAID 6 when none is.
    u8 checkedLevel() const;
    QString maximumText(double gb) const;

    Ui_DialogAddVolume* ui;
    QPointer<QZynController> m_controller;
    QPointer<QZynRaidSet> m_raidSet;
};
