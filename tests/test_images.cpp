// The embedded images: every path the program names loads, the JPEGs are JPEGs, the splash has
// its size, and the tool button's icon that must not exist does not.
#include "devices/images.h"

#include <QtTest>

class TestImages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PalvirInitImages(); }
    void loads_data();
    void loads();
    void absent();
};

void TestImages::loads_data()
{
    QTest::addColumn<QString>("path");
    QStringList paths;
    for (const char* app : {"exit", "query", "connect", "disconnect", "config", "clock", "add", "delete", "mute",
                            "advanced_features", "save_setting", "load_setting", "reload", "activate", "Terminal",
                            "app-icon", "localhost", "network_w", "email"})
        paths << QString(":/images/icons/app/%1.png").arg(app);
    paths << ":/images/icons/devices/raidset.png" << ":/images/icons/devices/database-icon.png"
          << ":/images/icons/devices/disk.png" << ":/images/icons/devices/controller.png"
          << ":/images/icons/devices/enclosure.jpg" << ":/images/icons/hwmon/controller.png";
    for (const char* event : {"info", "warning", "error", "urgent"})
        paths << QString(":/images/icons/event/%1.png").arg(event);
    for (const char* hwmon : {"temperature", "fan", "voltage", "power", "Status-battery-100-icon",
                              "Status-battery-080-icon", "Status-battery-060-icon", "Status-battery-040-icon",
                              "Status-battery-caution-icon"})
        paths << QString(":/images/icons/hwmon/%1.png").arg(hwmon);
    paths << ":/images/logo/startup-logo.jpg" << ":/images/qt/list-add.png" << ":/images/internal_drive_open.png";
    for (const QString& path : paths)
        QTest::newRow(qPrintable(path)) << path;
}

void TestImages::loads()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Each file is what its name says, not another format renamed.
    const QByteArray jpeg("\xFF\xD8\xFF", 3);
    const QByteArray png("\x89PNG\r\n\x1A\n", 8);
    QVERIFY(bytes.startsWith(path.endsWith(".jpg") ? jpeg : png));
    const QPixmap pixmap(path);
    QVERIFY(!pixmap.isNull());
    if (path.endsWith("startup-logo.jpg"))
        QCOMPARE(pixmap.size(), QSize(640, 360));
}

void TestImages::absent()
{
    // The tool button beside connect and disconnect names an icon that is not there: it shows
    // its text only.
    QVERIFY(!QFile::exists(":/images/tt.ico"));
    QVERIFY(QPixmap(":/images/tt.ico").isNull());
}

QTEST_MAIN(TestImages)
#include "test_images.moc"
