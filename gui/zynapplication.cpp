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

bool ZynApplication::LoadLanguage(QLocale& locale)
{
    const QStringList files = GetTranslatorFileList();
    const QString wanted = locale.name().toLower();
    for (const QString& file : files) {
        QString tag = file.left(file.lastIndexOf(QLatin1Char('.')));
        tag = tag.mid(tag.indexOf(QLatin1Char('_')) + 1);
        if (tag.toLower() != wanted)
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
