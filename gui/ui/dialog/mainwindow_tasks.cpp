// Scheduled tasks as they fall due, and the controller's own web pages in the browser.
#include "ui/dialog/mainwindow.h"

#include "devices/controller.h"
#include "devices/event.h"
#include "devices/host.h"
#include "devices/scheduler.h"
#include "devices/settings.h"
#include "devices/sysinfo.h"
#include "devices/volumeset.h"
#include "devices/zynlog.h"

#include <QDebug>
#include <QDesktopServices>
#include <QFile>
#include <QHostAddress>
#include <QMessageBox>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QUrl>

#include <vector>

namespace {

// A controller reached over Ethernet serves its pages itself, on the HTTP port.
constexpr quint16 kControllerHttpPort = 80;
// Link-local IPv4 addresses, 169.254.0.0/16: no browser elsewhere reaches them.
const QPair<QHostAddress, int> kLinkLocal = QHostAddress::parseSubnet(QStringLiteral("169.254.0.0/16"));

} // namespace

void MainWindow::ExecuteSchedulerTask(QZynTask* task)
{
    if (task == nullptr || (task->flags & QZynTask::kFlagDisabled) != 0)
        return;
    LogMessage(new QZynLog(QZynLog::LogList, QZynDevice::Scheduler, QZynEvent::Informational,
                           tr("Execute Task(%0)").arg(task->name)));
    switch (quint32(task->operation)) {
    case QZynTask::MessageBox:
        QMessageBox::information(this, QString(), task->content.msgbox, QMessageBox::Ok, QMessageBox::NoButton);
        break;
    case QZynTask::Mail: {
        const QZynSettings* settings = QZynSettings::Application();
        if (settings == nullptr)
            break;
        QFile noAttachment;
        SendMail(*settings, task->content.subject, task->content.msg, noAttachment);
        break;
    }
    case QZynTask::CheckVolume: {
        const bool remote = (task->content.checkvolume & _OPERATION_CONTENT::kCheckRemote) != 0;
        // The list is read again on every pass: a controller may come or go meanwhile.
        for (int i = 0; m_host != nullptr && i < m_host->get_total_controllers(); ++i) {
            QZynController* controller = m_host->get_controller(i);
            if (controller == nullptr)
                continue;
            if (controller->GetConnectionType() == QZynController::ConnectionEthernet && !remote)
                continue;
            std::vector<int> volumes;
            controller->GetVolumeSetCount(volumes);
            for (int number : volumes) {
                QZynVolumeSet* volume = controller->GetVolumeSet(number);
                if (volume == nullptr)
                    continue;
                qDebug() << "Start volume checking on vol:" << volume->GetName();
                if ((volume->GetRecord().state() & sGUI_VOLUMESET::kStateChecking) == 0)
                    controller->ZynStartCheckVolume(u8(number), 0, 0);
            }
        }
        break;
    }
    case QZynTask::NoOperation:
        break;
    default:
        qDebug("Unknown Task");
        break;
    }
}

QHostAddress MainWindow::BrowserHost(const QHostAddress& listening, const QList<QNetworkAddressEntry>& entries)
{
    if (listening != QHostAddress(QHostAddress::AnyIPv4))
        return listening;
    const QHostAddress loopback(QHostAddress::LocalHost);
    for (const QNetworkAddressEntry& entry : entries) {
        const QHostAddress ip = entry.ip();
        if (ip.protocol() != QAbstractSocket::IPv4Protocol || ip.isNull() || ip == loopback || ip.isInSubnet(kLinkLocal))
            continue;
        return ip;
    }
    return loopback;
}

void MainWindow::DoActionLaunchBrowser()
{
    // Only a controller whose web proxy listens: a page button fires even a disabled action.
    QZynDevice* device = GetCurrentControllerTreeItem();
    if (device == nullptr || device->type != QZynDevice::Controller)
        return;
    auto* controller = static_cast<QZynController*>(device);
    const QTcpServer* proxy = controller->GetHttpProxyServer();
    if (proxy == nullptr || !proxy->isListening())
        return;

    QHostAddress host;
    quint16 port = 0;
    if (controller->GetConnectionType() == QZynController::ConnectionEthernet) {
        const sSYSTEM_INFO record = controller->GetSysInfo()->GetRecord();
        const uint8_t* ip = record.ipAddress();
        host = QHostAddress(tr("%0.%1.%2.%3").arg(ip[0]).arg(ip[1]).arg(ip[2]).arg(ip[3]));
        port = kControllerHttpPort;
    } else {
        QList<QNetworkAddressEntry> entries;
        for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
            entries += i.addressEntries();
        host = BrowserHost(proxy->serverAddress(), entries);
        port = proxy->serverPort();
    }
    const QString text = tr("http://%1:%2").arg(host.toString()).arg(port);
    qDebug("open url: %s", text.toUtf8().constData());
    // Without a browser to open (none installed, no desktop) the user opens the address by hand.
    if (!QDesktopServices::openUrl(QUrl(text, QUrl::TolerantMode)))
        QMessageBox::warning(this, QString::fromLatin1(kTitle),
                             tr("No web browser could be opened; please open %1 by hand.").arg(text));
}
