// zyncli: the command-line engine without its window, for tests and for trying the command
// language from a shell. Each line of standard input runs through the engine as the console's
// Enter runs it (split at spaces, empty parts skipped), against one controller; what the
// engine prints reaches standard output exactly as the console would show it, without the
// prompt. It ends at the end of its input.
//
//   zyncli --udp ADDR | --slot N  [--password TEXT] [--key-pause MS]
//
// --udp ADDR talks to the controller at ADDR:7890, --slot N to driver slot N in
// $ZYNMSR_DRIVER_DIR. --password answers the password dialog when the controller asks for one;
// without it the dialog is cancelled. Each time the dialog would open, "password dialog: MODEL"
// goes to standard error, and the refusal box as "warning: MODEL: TEXT".
#include "cli/cli-zynmsr.h"
#include "cli/output.h"
#include "darwinuserclient.h"
#include "devices/controller.h"
#include "ethernetinterface.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

namespace {

constexpr int kControllerPort = 7890;

int usage()
{
    std::fputs("usage: zyncli --udp ADDR | --slot N  [--password TEXT] [--key-pause MS]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString address;
    int slot = -1;
    bool havePassword = false;
    QString password;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (i + 1 >= args.size())
            return usage();
        if (a == QLatin1String("--udp")) {
            address = args[++i];
        } else if (a == QLatin1String("--slot")) {
            bool ok = false;
            slot = args[++i].toInt(&ok);
            if (!ok || slot < 0)
                return usage();
        } else if (a == QLatin1String("--password")) {
            havePassword = true;
            password = args[++i];
        } else if (a == QLatin1String("--key-pause")) {
            bool ok = false;
            const int ms = args[++i].toInt(&ok);
            if (!ok || ms < 0)
                return usage();
            CZynlib::setKeyPauseMilliseconds(ms);
        } else {
            return usage();
        }
    }
    if (address.isEmpty() == (slot < 0))
        return usage();

    ZynInterface* transport = nullptr;
    int connection = QZynController::ConnectionEthernet;
    if (!address.isEmpty()) {
        auto* udp = new EthernetInterface();
        if (!udp->init(address.toLatin1().constData(), kControllerPort)) {
            delete udp;
            std::fprintf(stderr, "zyncli: no controller at %s\n", qPrintable(address));
            return 1;
        }
        transport = udp;
    } else {
        auto* driver = new DarwinUserClientInterface();
        if (!driver->init(slot)) {
            delete driver;
            std::fprintf(stderr, "zyncli: no controller in driver slot %d\n", slot);
            return 1;
        }
        transport = driver;
        connection = QZynController::ConnectionDriver;
    }
    auto controller = std::make_unique<QZynController>(transport, connection);
    if (controller->GetState() == QZynController::StateOffline) {
        std::fputs("zyncli: the controller did not answer\n", stderr);
        return 1;
    }

    QObject::connect(&cliout_zynmsr, &CliMessage::Display, [](const QString& text) {
        const QByteArray bytes = text.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
        std::fflush(stdout);
    });

    CZynlibCLI engine;
    CZynlibCLI::PasswordDialogs dialogs;
    dialogs.ask = [&](const QString& title, QString* out) {
        std::fprintf(stderr, "password dialog: %s\n", qPrintable(title));
        *out = password;
        return havePassword;
    };
    dialogs.refuse = [](const QString& title, const QString& text) {
        std::fprintf(stderr, "warning: %s: %s\n", qPrintable(title), qPrintable(text));
    };
    engine.SetPasswordDialogs(dialogs);
    engine.SetCtrl(controller.get());

    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        engine.ProcessCmd(QString::fromLocal8Bit(line.c_str()).split(QLatin1Char(' '), Qt::SkipEmptyParts));
    }
    engine.SetCtrl(nullptr);
    return 0;
}
