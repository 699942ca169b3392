// Shared helpers of the tests that run the library against the simulator.
#pragma once

#include "darwinuserclient.h"
#include "iokit/zynmsr.h"
#include "ethernetinterface.h"
#include "simulator.h"
#include "zynframe.h"
#include "zynlib.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace simtest {

using zynsim::Answer;
using zynsim::Bytes;
using zynsim::LogEntry;

// Polls of 1 ms instead of 10 ms: the budgets and counts stay, the waits shrink tenfold.
inline void fastPolls()
{
    ZynInterface::setPollIntervalMicroseconds(1000);
}

// A second connection to the first driver service, opened (selector 0); 0 on failure.
inline iokit::io_connect_t openDriverClient()
{
    using namespace iokit;
    io_iterator_t it = 0;
    if (IOServiceGetMatchingServices(kIOMasterPortDefault, IOServiceMatching(zynmsr::kServiceClass), &it) !=
        kIOReturnSuccess)
        return 0;
    const io_service_t service = IOIteratorNext(it);
    IOObjectRelease(it);
    io_connect_t other = 0;
    const bool opened = service != IO_OBJECT_NULL &&
                        IOServiceOpen(service, mach_task_self(), 0, &other) == kIOReturnSuccess &&
                        IOConnectCallScalarMethod(other, zynmsr::kSelOpen, nullptr, 0, nullptr, nullptr) ==
                            kIOReturnSuccess;
    if (service != IO_OBJECT_NULL)
        IOObjectRelease(service);
    if (!opened && other != 0)
        IOServiceClose(other);
    return opened ? other : 0;
}

inline Bytes frameOf(uint8_t command, const Bytes& payload = {})
{
    Bytes frame(payload.size() + 7);
    ZynBuildFrame(command, payload.data(), int(payload.size()), frame.data());
    return frame;
}

// A reply frame carrying `data` (a status reply is data of one letter).
inline Bytes replyOf(const Bytes& data)
{
    Bytes frame(data.size() + 6, 0);
    frame[0] = 0x5E;
    frame[1] = 0x01;
    frame[2] = 0x61;
    frame[3] = uint8_t(data.size() & 0xFF);
    frame[4] = uint8_t((data.size() >> 8) & 0xFF);
    std::copy(data.begin(), data.end(), frame.begin() + 5);
    unsigned sum = 0;
    for (size_t i = 3; i + 1 < frame.size(); ++i)
        sum += frame[i];
    frame.back() = uint8_t(sum);
    return frame;
}

inline std::vector<LogEntry> entries(const zynsim::FakeController& controller, LogEntry::Kind kind,
                                     int command = -1)
{
    std::vector<LogEntry> out;
    for (const LogEntry& e : controller.log())
        if (e.kind == kind && (command < 0 || e.command == command))
            out.push_back(e);
    return out;
}

inline std::vector<int> chunkSizes(const zynsim::FakeController& controller, LogEntry::Kind kind)
{
    std::vector<int> sizes;
    for (const LogEntry& e : entries(controller, kind))
        sizes.push_back(int(e.bytes.size()));
    return sizes;
}

// A library session; the plain library class is what the application derives from.
class Session : public CZynlibALL {
public:
    int exchanges = 0;
    int ZynDoIO(_IF_CMD_BLOCK* block) override
    {
        ++exchanges;
        return CZynlibALL::ZynDoIO(block);
    }
};

// Opens a UDP session on address:port; QVERIFY-style failures are reported by the caller.
inline std::unique_ptr<Session> udpSession(const char* address, uint16_t port, u32* rc, int timeoutSeconds = 1)
{
    auto session = std::make_unique<Session>();
    auto* transport = new EthernetInterface();
    transport->setTimeOut(timeoutSeconds);
    if (!transport->init(address, short(port))) {
        delete transport;
        *rc = 0xFFFFFFFF;
        return session;
    }
    *rc = session->ZynInitSession(transport);
    return session;
}

// Opens a session through the user-client stand-in on the index-th driver service.
inline std::unique_ptr<Session> userClientSession(int index, u32* rc)
{
    auto session = std::make_unique<Session>();
    auto* transport = new DarwinUserClientInterface();
    if (!transport->init(index)) {
        delete transport;
        *rc = 0xFFFFFFFF;
        return session;
    }
    *rc = session->ZynInitSession(transport);
    return session;
}

// A simulator with one controller on address:7890 and an open UDP session to it.
struct UdpRig {
    std::unique_ptr<zynsim::Simulator> sim;
    std::shared_ptr<zynsim::FakeController> ctl;
    std::unique_ptr<Session> session;

    // Empty on success, else what went wrong.
    QString start(const char* address, const zynsim::ControllerConfig& config = zynsim::ControllerConfig())
    {
        sim = std::make_unique<zynsim::Simulator>();
        ctl = sim->addUdpController(address, config);
        if (!ctl)
            return QString::fromStdString(sim->error());
        u32 rc = 0;
        session = udpSession(address, 7890, &rc);
        if (rc != 0)
            return QStringLiteral("session start: %1").arg(rc);
        ctl->clearLog();
        return QString();
    }
    void stop()
    {
        session.reset();
        ctl.reset();
        sim.reset();
    }
};

// Makes the session hold the simulator's system information changed by `edit` (the next
// 0x23 answers it), as if the controller reported it so.
inline bool refreshSysInfo(CZynlib& session, zynsim::FakeController& controller,
                           const std::function<void(Bytes&)>& edit)
{
    Bytes info = controller.systemInfo();
    edit(info);
    controller.script(0x23, 1, Answer::data(info));
    sSYSTEM_INFO record;
    return session.ZynGetSysInfo(&record) == 0;
}

// A controller of `profile` with the setup image `layout` (-1: the profile's own).
inline zynsim::ControllerConfig configOf(zynsim::Profile profile, int layout = -1)
{
    zynsim::ControllerConfig config;
    config.profile = profile;
    config.setupLayout = layout;
    return config;
}

// The payload of every frame of `command` the simulator received, in order, and of the last.
inline std::vector<Bytes> payloads(const zynsim::FakeController& controller, int command)
{
    std::vector<Bytes> out;
    for (const LogEntry& e : entries(controller, LogEntry::RxFrame, command))
        out.push_back(e.bytes);
    return out;
}

inline Bytes lastPayload(const zynsim::FakeController& controller, int command)
{
    auto all = payloads(controller, command);
    return all.empty() ? Bytes() : all.back();
}

inline Bytes slice(const Bytes& b, size_t from, size_t n)
{
    return Bytes(b.begin() + long(from), b.begin() + long(from + n));
}

inline std::string text(const Bytes& bytes, size_t offset, size_t length)
{
    std::string s;
    for (size_t i = offset; i < offset + length && i < bytes.size() && bytes[i] != 0; ++i)
        s.push_back(char(bytes[i]));
    return s;
}

} // namespace simtest
