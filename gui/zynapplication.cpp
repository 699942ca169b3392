#include "zynapplication.h"

#include <QDir>

namespace {

QString g_translatorFolder;
QString g_applicationFolder;

} // namespace

void ZynApplication::SetTranslatorFolder(const QString& folder)
{
    g_translatorFolder = folder;
}

void ZynApplication::SetApplicationFolder(const QString& folder)
{
    g_applicationFolder = folder;
}

ZynApplication::ZynApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Varnel"));
    setOrganizationDomain(QString::fromLatin1(kOrganisationDomain));
    setApplicationName(QStringLiteral("Palvir"));
    QZynSettings::SetApplication(&m_settings);
}

ZynApplication::~ZynApplication()
{
    QZynSettings::SetApplication(nullptr);
}

QString ZynApplication::GetPath()
{
    if (!g_applicationFolder.isEmpty())
        return g_applicationFolder;
    return QCoreApplication::applicationDirPath();
}

QString ZynApplication::GetTranslatorPath() const
{
    if (!g_translatorFolder.isEmpty())
        return g_translatorFolder + QLatin1Char('/');
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../translators/");
}

QStringList ZynApplication::GetTranslatorFileList() const
{
    return QDir(GetTranslatorPath()).entryList(QStringList{QStringLiteral("palvir_*.qm")});
}

QString ZynApplication::TranslatorTag(const QString& fileName)
{
    const QString base = fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
    return base.mid(base.indexOf(QLatin1Char('_')) + 1);
}

bool ZynApplication::TagMatches(const QString& tag, const QLocale& locale)
{
    if (tag.isEmpty())
        return false;
    const QString name = locale.name();
    if (tag.compare(name, Qt::CaseInsensitive) == 0)
        return true;
    const QLocale tagged(tag);
    return tagged.language() != QLocale::C && tagged.name() == name;
}

bool ZynApplication::LoadLanguage(QLocale& locale)
{
    const QStringList files = GetTranslatorFileList();
    for (const QString& file : files) {
        const QString tag = TranslatorTag(file);
        if (!TagMatches(tag, locale))
            continue;
        QCoreApplication::removeTranslator(&m_appTranslator);
        QCoreApplication::removeTranslator(&m_qtTranslator);
        if (!m_appTranslator.load(GetTranslatorPath() + file))
            continue;
        QCoreApplication::installTranslator(&m_appTranslator);
        if (m_qtTranslator.load(GetTranslatorPath() + QStringLiteral("qt_") + tag + QStringLiteral(".qm")))
            QCoreApplication::installTranslator(&m_qtTranslator);
        return true;
    }
    return false;
}

bool ZynApplication::SwitchTranslator(QTranslator&, const QString&)
{
    return true;
}

bool ZynApplication::AppIdleForFiveSecs()
{
    return true;
}
