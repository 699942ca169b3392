// "Settings": the user-interface language and the notification level and channels; opens the
// mail and SNMP trap settings. A new language takes effect at the next start.
#pragma once

#include <QDialog>

class QAbstractButton;
class QZynSettings;
class Ui_DialogSetup;

class DialogSetup : public QDialog {
    Q_OBJECT
public:
    explicit DialogSetup(QWidget* parent = nullptr);
    ~DialogSetup() override;

    Ui_DialogSetup* Form() const { return ui; }

public slots:
    void on_labelEmailSettings_linkActivated(const QString& link);
    void on_labelSNMPTrapSettings_linkActivated(const QString& link);
    void on_buttonBox_clicked(QAbstractButton* button);
    void Apply();

private:
    void InitDialog();
    void InitLocale();

    Ui_DialogSetup* ui;
    QZynSettings* m_settings;
    // The language item that stands for the stored language: the one the list opened on, or
    // the one last applied. The stored language changes only when the user picks another.
    int m_storedItem = -1;
    // Apply chose another language, which the store has yet to keep.
    bool m_languageChanged = false;
};
