// "Email": the SMTP server, sender, login and recipients of the notification mails, and a test
// mail sent with the values as they stand in the fields.
#pragma once

#include <QDialog>

class QAbstractButton;
class QZynSettings;
class Ui_DialogMailSettings;

class DialogMailSettings : public QDialog {
    Q_OBJECT
public:
    // Each of these goes out with the test mail.
    static constexpr int kTestMailTimeoutMs = 30000;

    explicit DialogMailSettings(QWidget* parent = nullptr);
    ~DialogMailSettings() override;

    Ui_DialogMailSettings* Form() const { return ui; }

public slots:
    void on_testMailLabel_linkActivated(const QString& link);
    void on_buttonBox_clicked(QAbstractButton* button);
    // Stores the fields; false (and nothing stored) when the login is asked for but incomplete.
    bool Apply();

private:
    void InitDialog();

    Ui_DialogMailSettings* ui;
    QZynSettings* m_settings;
};
