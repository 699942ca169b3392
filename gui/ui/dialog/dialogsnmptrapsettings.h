// "SNMP Trap": the three receivers of the notification traps and their community. Stored as
// typed, with no check: the trap sender meets what cannot be reached.
#pragma once

#include <QDialog>

class QAbstractButton;
class QLineEdit;
class QZynSettings;
class Ui_DialogSNMPTrapSettings;

class DialogSNMPTrapSettings : public QDialog {
    Q_OBJECT
public:
    explicit DialogSNMPTrapSettings(QWidget* parent = nullptr);
    ~DialogSNMPTrapSettings() override;

    Ui_DialogSNMPTrapSettings* Form() const { return ui; }

public slots:
    void on_buttonBox_clicked(QAbstractButton* button);
    void Apply();

private:
    void InitDialog();

    Ui_DialogSNMPTrapSettings* ui;
    QZynSettings* m_settings;
    // The address and port fields of receivers 1 to 3.
    QLineEdit* m_ip[3];
    QLineEdit* m_port[3];
};
