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
    // The language tag of a translation file's name: "palvir_zh_TW.qm" gives "zh_TW".
    static QString TranslatorTag(const QString& fileName);
    // Whether the file of `tag` is the translation for `locale`: the tag is the locale's name in
    // any letter case, or a language whose locale bears that name ("de" for de_DE). An empty
    // tag, or one that names no language, is no one's.
    static bool TagMatches(const QString& tag, const QLocale& locale);
    void ReadSettings() { m_settings.ReadSettings(); }
    bool WriteSettings() { return m_settings.WriteSettings(); }

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
