// What the view tests share: icons as images, a stand-in for the main window that starts the
// controllers the host announces, and pictures of views when PALVIR_SHOT_DIR is set.
#pragma once

#include "controllerfixture.h"
#include "devices/host.h"
#include "devices/images.h"
#include "ui/model/controllermodels.h"
#include "watcher/eventwatcher.h"

#include <QAbstractItemDelegate>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTreeView>
#include <QtTest>

namespace viewtest {

inline QImage imageOf(const QIcon& icon)
{
    return icon.pixmap(20, 20).toImage().convertToFormat(QImage::Format_ARGB32);
}

inline QImage imageOf(const QString& path)
{
    return imageOf(QIcon(path));
}

inline QImage imageOf(const char* path)
{
    return imageOf(QString::fromLatin1(path));
}

inline QImage iconAt(const QModelIndex& index)
{
    return imageOf(index.data(Qt::DecorationRole).value<QIcon>());
}

// Starts each controller the host announces, as the main window does.
// What the tests over the polling thread set up once: quick polls and event watching, the
// controllers' lock folder below `folder`, the controller models and the images.
inline void setUpPolling(const QString& folder)
{
    simtest::fastPolls();
    qputenv("ZYNMSR_LOCK_DIR", (folder + "/lock").toLocal8Bit());
    ControllerEventWatcherThread::SetIntervals(100, 300, 20);
    ControllerEventWatcherThread::Install();
    InstallControllerModels();
    PalvirInitImages();
}

class Starter : public QObject {
    Q_OBJECT
public:
    Starter() { connect(ZynGetHost(), &QZynHost::DeviceChanged, this, &Starter::hostChanged); }
public slots:
    void hostChanged(QZynDevice* device, int code)
    {
        if (device->type == QZynDevice::Controller && code == QZynDevice::DeviceAdded)
            static_cast<QZynController*>(device)->Start();
    }
};

// The end of a test over the polling thread: the host forgets its controllers, then the starter,
// the simulated controller and the simulator go, in that order.
inline void endControllers(std::unique_ptr<Starter>* starter, std::shared_ptr<zynsim::FakeController>* ctl,
                           std::unique_ptr<zynsim::Simulator>* sim)
{
    ctltest::emptyHost();
    QCoreApplication::processEvents();
    starter->reset();
    ctl->reset();
    sim->reset();
}

// A simulated controller made as `given` says, holding the model `config` at `address` (in
// `sim`), listed under the host, announced and online; null otherwise.
inline QZynController* serveOnline(zynsim::Simulator& sim, std::shared_ptr<zynsim::FakeController>* ctl,
                                   const char* address, const zynsim::ControllerConfig& given, const char* config)
{
    zynsim::ControllerConfig c = given;
    c.emptyModel = true;
    *ctl = sim.addUdpController(address, c);
    std::string why;
    if (!*ctl || !(*ctl)->loadConfig(config, &why)) {
        qWarning("%s", why.c_str());
        return nullptr;
    }
    return ctltest::announceOnline(address);
}

// The same for a controller of `profile`, as the simulator makes one by default.
inline QZynController* serveOnline(zynsim::Simulator& sim, std::shared_ptr<zynsim::FakeController>* ctl,
                                   const char* address, zynsim::Profile profile, const char* config)
{
    zynsim::ControllerConfig c;
    c.profile = profile;
    return serveOnline(sim, ctl, address, c, config);
}

// With PALVIR_SHOT_DIR set: a picture of a tree view (`given`, or one of its own) over `model`,
// and beside it a text with the window title and size.
inline void shoot(QAbstractItemModel* model, const QString& name, const QString& title, QTreeView* given = nullptr,
                  QAbstractItemDelegate* delegate = nullptr)
{
    const QString folder = qEnvironmentVariable("PALVIR_SHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QTreeView own;
    QTreeView& view = given != nullptr ? *given : own;
    view.setWindowTitle(title);
    view.setModel(model);
    if (given == nullptr)
        view.setIconSize(QSize(24, 24));
    if (delegate != nullptr)
        view.setItemDelegate(delegate);
    view.resize(900, 380);
    view.expandAll();
    for (int c = 0; c < model->columnCount(); ++c)
        view.resizeColumnToContents(c);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) {
        qWarning("%s: the view was never shown", qPrintable(name));
        return;
    }
    view.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    QFile text(folder + QLatin1Char('/') + name + QStringLiteral(".txt"));
    if (text.open(QIODevice::WriteOnly))
        text.write(QStringLiteral("%1 (%2x%3)\n").arg(title).arg(view.width()).arg(view.height()).toUtf8());
}

} // namespace viewtest
