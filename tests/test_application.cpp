// The application object: its identity, the translation folder, and choosing the language from
// real translation files made by lrelease.
#include "zynapplication.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWizard>
#include <QtTest>

namespace {

QString lrelease()
{
    QString path = QStandardPaths::findExecutable(QStringLiteral("lrelease"));
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(QStringLiteral("lrelease"), {QStringLiteral("/usr/lib/qt5/bin")});
    return path;
}

// A translation of one text of `context` into `folder`/`name`.qm.
bool makeTranslation(const QString& folder, const QString& name, const char* context, const char* source,
                     const QString& translation)
{
    const QString ts = folder + QLatin1Char('/') + name + QStringLiteral(".ts");
    QFile file(ts);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\">\n"
                              "<context><name>%1</name><message><source>%2</source>"
                              "<translation>%3</translation></message></context>\n</TS>\n")
                   .arg(QLatin1String(context), QLatin1String(source), translation)
                   .toUtf8());
    file.close();
    const int rc = QProcess::execute(lrelease(), {QStringLiteral("-silent"), ts, QStringLiteral("-qm"),
                                                 folder + QLatin1Char('/') + name + QStringLiteral(".qm")});
    QFile::remove(ts);
    return rc == 0;
}

QString shown()
{
    return QCoreApplication::translate("ControllerWatcher", "Finding controller...");
}

QString toolkitShown()
{
    return QCoreApplication::translate("QWidget", "Close");
}

} // namespace

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void identityAndFolders();
    void loadsTheMatchingFile();
    void letterCaseOfTheFileName();
    void noFallbackToTheLanguage();
    void filesThatMatchNothing();
    void aFileThatDoesNotLoad();
    void theBuildsOwnTranslation();
    void toolkitTextsOfTheBuild_data();
    void toolkitTextsOfTheBuild();
    void headersFitTheirColumns_data();
    void headersFitTheirColumns();

private:
    ZynApplication* app() { return static_cast<ZynApplication*>(QCoreApplication::instance()); }
    QTemporaryDir m_dir;
    QString m_folder;
};

void TestApplication::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (lrelease().isEmpty())
        QSKIP("lrelease is not installed");
}

void TestApplication::init()
{
    static int round = 0;
    m_folder = m_dir.path() + QStringLiteral("/translators%1").arg(++round);
    QVERIFY(QDir().mkpath(m_folder));
    // Back to the built-in texts: a matching file that does not load takes both out.
    ZynApplication::SetTranslatorFolder(m_dir.path());
    QFile reset(m_dir.path() + QStringLiteral("/palvir_en_GB.qm"));
    QVERIFY(reset.open(QIODevice::WriteOnly));
    reset.write("no translation");
    reset.close();
    QLocale british(QStringLiteral("en_GB"));
    QVERIFY(!app()->LoadLanguage(british));
    QVERIFY(reset.remove());
    QCOMPARE(shown(), QStringLiteral("Finding controller..."));
    ZynApplication::SetTranslatorFolder(m_folder);
}

void TestApplication::identityAndFolders()
{
    ZynApplication::SetTranslatorFolder(QString());
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Varnel"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Palvir"));
    QCOMPARE(QCoreApplication::organizationDomain(), QStringLiteral("varnel.invalid"));
    QCOMPARE(app()->GetPath(), QCoreApplication::applicationDirPath());
    QCOMPARE(app()->GetTranslatorPath(), QCoreApplication::applicationDirPath() + QStringLiteral("/../translators/"));
    QVERIFY(app()->GetSettings() != nullptr);
    QVERIFY(app()->SwitchTranslator(*new QTranslator(app()), QString()));
    QVERIFY(app()->AppIdleForFiveSecs());
}

void TestApplication::loadsTheMatchingFile()
{
    QVERIFY(makeTranslation(m_folder, QStringLiteral("palvir_en_US"), "ControllerWatcher", "Finding controller...",
                            QStringLiteral("Looking (en)")));
    QVERIFY(makeTranslation(m_folder, QStringLiteral("palvir_zh_TW"), "ControllerWatcher", "Finding controller...",
                            QStringLiteral("尋找控制器...")));
    QVERIFY(makeTranslation(m_folder, QStringLiteral("qt_zh_TW"), "QWidget", "Close", QStringLiteral("關閉")));
    QCOMPARE(app()->GetTranslatorFileList(), (QStringList{QStringLiteral("palvir_en_US.qm"), QStringLiteral("palvir_zh_TW.qm")}));
    QLocale locale(QStringLiteral("zh_TW"));
    QVERIFY(app()->LoadLanguage(locale));
    QCOMPARE(shown(), QStringLiteral("尋找控制器..."));
    QCOMPARE(toolkitShown(), QStringLiteral("關閉"));
    // Without the toolkit's file the program's translation still counts.
    QVERIFY(QFile::remove(m_folder + QStringLiteral("/qt_zh_TW.qm")));
    QLocale english(QStringLiteral("en"));   // named en_US: the whole name must match
    QVERIFY(app()->LoadLanguage(english));
    QCOMPARE(shown(), QStringLiteral("Looking (en)"));
    QCOMPARE(toolkitShown(), QStringLiteral("Close"));
}

void TestApplication::letterCaseOfTheFileName()
{
    QVERIFY(makeTranslation(m_folder, QStringLiteral("palvir_ZH_TW"), "ControllerWatcher", "Finding controller...",
                            QStringLiteral("upper")));
    QVERIFY(makeTranslation(m_folder, QStringLiteral("qt_ZH_TW"), "QWidget", "Close", QStringLiteral("upper close")));
    QLocale locale(QStringLiteral("zh_TW"));
    QVERIFY(app()->LoadLanguage(locale));
    QCOMPARE(shown(), QStringLiteral("upper"));
    QCOMPARE(toolkitShown(), QStringLiteral("upper close"));
}

void TestApplication::noFallbackToTheLanguage()
{
    QVERIFY(makeTranslation(m_folder, QStringLiteral("palvir_zh"), "ControllerWatcher", "Finding controller...",
                            QStringLiteral("zh only")));
    QLocale locale(QStringLiteral("zh_TW"));
    QVERIFY(!app()->LoadLanguage(locale));
    QCOMPARE(shown(), QStringLiteral("Finding controller..."));
}

void TestApplication::filesThatMatchNothing()
{
    QLocale locale(QStringLiteral("de_DE"));
    QVERIFY(!app()->LoadLanguage(locale));   // no files at all
    QVERIFY(makeTranslation(m_folder, QStringLiteral("palvir_"), "ControllerWatcher", "Finding controller...",
                            QStringLiteral("empty tag")));
    QVERIFY(!app()->LoadLanguage(locale));
    ZynApplication::SetTranslatorFolder(m_folder + QStringLiteral("/missing"));
    QVERIFY(app()->GetTranslatorFileList().isEmpty());
    QVERIFY(!app()->LoadLanguage(locale));
}

void TestApplication::aFileThatDoesNotLoad()
{
    QFile broken(m_folder + QStringLiteral("/palvir_fr_FR.qm"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a translation");
    broken.close();
    QVERIFY(makeTranslation(m_folder, QStringLiteral("palvir_it_IT"), "ControllerWatcher", "Finding controller...",
                            QStringLiteral("Cerco...")));
    QLocale italian(QStringLiteral("it"));
    QVERIFY(app()->LoadLanguage(italian));
    QLocale french(QStringLiteral("fr"));
    QVERIFY(!app()->LoadLanguage(french));
    // The earlier translation was taken out for the attempt.
    QCOMPARE(shown(), QStringLiteral("Finding controller..."));
}

void TestApplication::theBuildsOwnTranslation()
{
    ZynApplication::SetTranslatorFolder(QString());
    QVERIFY(app()->GetTranslatorFileList().contains(QStringLiteral("palvir_de_DE.qm")));
    QLocale german(QStringLiteral("de"));
    QVERIFY(app()->LoadLanguage(german));
    QCOMPARE(shown(), QStringLiteral("Controller werden gesucht..."));
}

void TestApplication::toolkitTextsOfTheBuild_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QStringList>("texts");   // Yes, No, Back, Next
    QTest::newRow("de_DE") << QStringLiteral("de_DE")
                           << QStringList{"&Ja", "&Nein", QString::fromUtf8("< &Zurück"), "&Weiter >"};
    QTest::newRow("zh_TW") << QStringLiteral("zh_TW")
                           << QStringList{QString::fromUtf8("是(&Y)"), QString::fromUtf8("否(&N)"),
                                          QString::fromUtf8("＜返回(&B)"), QString::fromUtf8("下一個(&N) ＞")};
    QTest::newRow("en_US") << QStringLiteral("en_US") << QStringList{"&Yes", "&No", "< &Back", "&Next >"};
}

void TestApplication::toolkitTextsOfTheBuild()
{
    QFETCH(QString, tag);
    QFETCH(QStringList, texts);
    ZynApplication::SetTranslatorFolder(QString());
    QLocale locale(tag);
    QVERIFY(app()->LoadLanguage(locale));
    // The buttons take their texts as they are made.
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"), QMessageBox::Yes | QMessageBox::No);
    QWizard wizard;
    wizard.setWizardStyle(QWizard::ClassicStyle);
    wizard.addPage(new QWizardPage);
    wizard.addPage(new QWizardPage);
    const QStringList shownTexts{box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                                 wizard.button(QWizard::BackButton)->text(), wizard.button(QWizard::NextButton)->text()};
    QCOMPARE(shownTexts, texts);
}

// The headers of the lists whose columns have widths of their own (the last column of each takes
// the rest of the row), with those widths.
struct FixedColumn {
    const char* context;
    const char* header;
    int width;
};

const FixedColumn kFixedColumns[] = {
    // The main window's log list.
    {"MainWindow", "State", 50}, {"MainWindow", "Date", 150}, {"MainWindow", "Time", 150},
    {"MainWindow", "Source", 200},
    // A controller's event list; its state column is the width of the level icon.
    {"QZynEventItemModel", "State", 24}, {"QZynEventItemModel", "DateTime", 160},
    {"QZynEventItemModel", "Device", 160}, {"QZynEventItemModel", "Event Type", 240},
    {"QZynEventItemModel", "Elapse Time", 100},
    // The scheduler's task list.
    {"SchedulerItemModel", "Name", 100}, {"SchedulerItemModel", "Trigger", 100},
    {"SchedulerItemModel", "Details", 350}, {"SchedulerItemModel", "Next Run Time", 150},
};

void TestApplication::headersFitTheirColumns_data()
{
    QTest::addColumn<QString>("tag");
    for (const char* tag : {"de_DE", "zh_TW", "en_US"})
        QTest::newRow(tag) << QString::fromLatin1(tag);
}

void TestApplication::headersFitTheirColumns()
{
    QFETCH(QString, tag);
    ZynApplication::SetTranslatorFolder(QString());
    QLocale locale(tag);
    QVERIFY(app()->LoadLanguage(locale));
    QHeaderView header(Qt::Horizontal);
    const QFontMetrics metrics = header.fontMetrics();
    const int margins = 2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    // A Chinese character is an em wide in the fonts that have it, whatever font stands in here.
    const int em = QFontInfo(header.font()).pixelSize();
    const auto needed = [&](const QString& text) {
        int wide = 0;
        QString narrow;
        for (const QChar c : text) {
            if (c.script() == QChar::Script_Han || (c.unicode() >= 0x3000 && c.unicode() < 0x3040)
                || (c.unicode() >= 0xff00 && c.unicode() < 0xff60))
                ++wide;
            else
                narrow += c;
        }
        return std::max(metrics.horizontalAdvance(text), metrics.horizontalAdvance(narrow) + wide * em) + margins;
    };
    QStringList cut;
    for (const FixedColumn& c : kFixedColumns) {
        const QString text = QCoreApplication::translate(c.context, c.header);
        // A column narrower than even the English header: the translation takes no more room.
        const int room = std::max(c.width, needed(QString::fromLatin1(c.header)));
        if (needed(text) > room)
            cut << QStringLiteral("%1 \"%2\" (%3 > %4)").arg(QLatin1String(c.context), text).arg(needed(text)).arg(c.width);
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

int main(int argc, char** argv)
{
    ZynApplication application(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_application.moc"
