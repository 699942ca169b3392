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

    // The address as the field last reported it (the mask leaves its blanks out); once accepted,
    // the whole IPv4 address it names, each group in decimal without leading zeros.
    QString address;

    Ui_DialogAddControllerByIP* Form() const { return ui; }

public slots:
    void on_ipLineEdit_textChanged(const QString& text);
    // Only a whole IPv4 address closes the dialog; anything else is refused with a message.
    void accept() override;

private:
    Ui_DialogAddControllerByIP* ui;
};
