// Asks for the IPv4 address of a controller on the network.
#pragma once

#include <QDialog>
#include <QString>

class Ui_DialogAddControllerByIP;

class DialogAddControllerByIP : public QDialog {
    Q_OBJECT
public:
    // The mask of the address field: four groups of up to three digits, blanks for the rest.
    static constexpr const char* kInputMask = "000.000.000.000;";
    static constexpr const char* kInitialAddress = "192.168.  0.  0";

    explicit DialogAddControllerByIP(QWidget* parent = nullptr);
    ~DialogAddControllerByIP() override;

    // The address as the field last reported it (the mask leaves its blanks out).
    QString address;

    Ui_DialogAddControllerByIP* Form() const { return ui; }

public slots:
    void on_ipLineEdit_textChanged(const QString& text);

private:
    Ui_DialogAddControllerByIP* ui;
};
