// The application object: the identity the settings are stored under, the settings record and
// the translations of the user interface.
#pragma once

#include "devices/settings.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

class ZynApplication : public QApplication {
    Q_OBJECT
public:
    static constexpr const char* kOrganisationDomain = "varnel.invalid";

    ZynApplication(int& argc, char** argv);
    ~ZynApplication() override;

    QZynSettings* GetSettings() { return &m_settings; }
    // The application folder: where the first-seen settings backups go.
    static QString GetPath();
    // applicationDirPath + "/../translators/".
    QString GetTranslatorPath() const;
    // The "palvir_*.qm" files there, by name.
    QStringList GetTranslatorFileList() const;
    void ReadSettings() { m_settings.ReadSettings(); }
    void WriteSettings() { m_settings.WriteSettings(); }

    // Test seam: the folder the translations are taken from (empty: beside the executable).
    static void SetTranslatorFolder(const QString& folder);
    // Test seam: the application folder (empty: the executable's folder).
    static void SetApplicationFolder(const QString& folder);

public slots:
    bool LoadLanguage(QLocale& locale);
    bool SwitchTranslator(QTranslator& translator, const QString& filename);
    bool AppIdleForFiveSecs();

private:
    QZynSettings m_settings;
    QTranslator m_appTranslator;
    QTranslator m_qtTranslator;
};
