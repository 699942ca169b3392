// The simulator's front ends: UDP controllers served by one poll() thread with a timer queue
// for held-back replies, and driver services published through the user-client stand-in.
#include "simulator.h"

#include "driverservice.h"
#include "setupimage.h"
#include "simframe.h"

#include <iokit/userclient_service.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <queue>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zynsim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kMaxDatagram = 1400;              // largest reply datagram
constexpr size_t kReassemblyLimit = 0x30000;        // per sender
constexpr auto kPartialFrameTimeout = std::chrono::seconds(2);
constexpr size_t kMaxPeers = 1024;                  // senders with a partial frame kept at once
constexpr size_t kReceiveBuffer = 65536;            // largest UDP datagram

std::string peerName(const sockaddr_in& address)
{
    char ip[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(ntohs(address.sin_port));
}

struct UdpEndpoint {
    int fd = -1;
    std::string address;
    uint16_t port = 0;
    std::shared_ptr<FakeController> controller;
    std::string via;
    struct Peer {
        frame::Assembler assembler{kReassemblyLimit};
        Clock::time_point last;
    };
    std::map<std::string, Peer> peers;   // serving thread only

    ~UdpEndpoint()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// One piece of a reply, due at `at`: its datagrams go out together, and the pieces after it
// follow each `gap` after the one before has gone, however late that one went.
struct PendingSend {
    Clock::time_point at;
    uint64_t sequence;
    std::shared_ptr<UdpEndpoint> endpoint;
    sockaddr_in to;
    std::string peer;
    std::vector<Bytes> datagrams;
    std::vector<std::vector<Bytes>> later;   // the following pieces, first first
    std::chrono::milliseconds gap{0};
    bool operator>(const PendingSend& other) const
    {
        return at != other.at ? at > other.at : sequence > other.sequence;
    }
};

struct DriverEntry {
    std::shared_ptr<FakeController> controller;
    std::shared_ptr<DriverService> service;
    std::unique_ptr<iokit::FolderPublisher> publisher;
    iokit::InProcessRegistry* registry = nullptr;
    uint64_t entryId = 0;
};

} // namespace

struct Simulator::Impl {
    mutable std::mutex mutex;
    std::string error;
    std::vector<std::shared_ptr<UdpEndpoint>> endpoints;
    std::vector<DriverEntry> drivers;
    iokit::InProcessRegistry* registry = nullptr;

    std::thread thread;
    std::atomic<bool> stopping{false};
    int wakeRead = -1;
    int wakeWrite = -1;

    // Serving thread only.
    std::priority_queue<PendingSend, std::vector<PendingSend>, std::greater<PendingSend>> timers;
    std::vector<PendingSend> held;   // replies waiting for their endpoint's next frame
    uint64_t sequence = 0;

    void setError(const std::string& text)
    {
        std::lock_guard<std::mutex> lock(mutex);
        error = text;
    }
    bool startThread();   // with mutex held
    void wake();
    void serve();
    void receive(const std::shared_ptr<UdpEndpoint>& endpoint);
    void schedule(const std::shared_ptr<UdpEndpoint>& endpoint, const sockaddr_in& to,
                  const std::string& peer, const FakeController::Reply& reply);
    void releaseHeld(const std::shared_ptr<UdpEndpoint>& endpoint);
    void sendDue();
    void expirePartials();
    void withdraw(DriverEntry& entry);
    std::shared_ptr<FakeController> addService(const ControllerConfig& config, int order,
                                               uint64_t entryId, const std::string* folder,
                                               iokit::InProcessRegistry* registry);
};

bool Simulator::Impl::startThread()
{
    if (thread.joinable())
        return true;
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = std::string("cannot make the wake-up pipe: ") + std::strerror(errno);
        return false;
    }
    wakeRead = fds[0];
    wakeWrite = fds[1];
    stopping = false;
    thread = std::thread([this] { serve(); });
    return true;
}

void Simulator::Impl::wake()
{
    if (wakeWrite >= 0) {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeWrite, &byte, 1);
    }
}

void Simulator::Impl::serve()
{
    std::vector<pollfd> fds;
    std::vector<std::shared_ptr<UdpEndpoint>> polled;
    while (!stopping) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            polled = endpoints;
        }
        fds.assign(1, pollfd{wakeRead, POLLIN, 0});
        for (const auto& endpoint : polled)
            fds.push_back(pollfd{endpoint->fd, POLLIN, 0});

        auto timeout = std::chrono::milliseconds(500);
        const auto now = Clock::now();
        if (!timers.empty()) {
            const auto untilDue = std::chrono::duration_cast<std::chrono::milliseconds>(
                timers.top().at - now + std::chrono::microseconds(999));
            timeout = std::max(std::chrono::milliseconds(0), std::min(timeout, untilDue));
        }
        const int ready = ::poll(fds.data(), nfds_t(fds.size()), int(timeout.count()));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0) {
            if (fds[0].revents & POLLIN) {
                char drain[64];
                while (::read(wakeRead, drain, sizeof drain) > 0) {
                }
            }
            for (size_t i = 1; i < fds.size(); ++i)
                if (fds[i].revents & POLLIN)
                    receive(polled[i - 1]);
        }
        sendDue();
        expirePartials();
    }
}

void Simulator::Impl::receive(const std::shared_ptr<UdpEndpoint>& endpoint)
{
    std::vector<uint8_t> buffer(kReceiveBuffer);
    for (int budget = 64; budget > 0; --budget) {
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(endpoint->fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n < 0)
            return;   // EAGAIN: drained
        if (fromLength != sizeof from || from.sin_family != AF_INET)
            continue;
        const size_t count = std::min(size_t(n), buffer.size());
        const std::string peer = peerName(from);
        endpoint->controller->logEntry({LogEntry::RxChunk, endpoint->via, 0,
                                        Bytes(buffer.begin(), buffer.begin() + std::ptrdiff_t(count)),
                                        peer, Clock::now()});
        auto it = endpoint->peers.find(peer);
        if (it == endpoint->peers.end()) {
            if (endpoint->peers.size() >= kMaxPeers) {
                auto oldest = std::min_element(endpoint->peers.begin(), endpoint->peers.end(),
                                               [](const auto& a, const auto& b) {
                                                   return a.second.last < b.second.last;
                                               });
                endpoint->peers.erase(oldest);
            }
            it = endpoint->peers.emplace(peer, UdpEndpoint::Peer()).first;
        }
        UdpEndpoint::Peer& state = it->second;
        state.last = Clock::now();
        state.assembler.append(buffer.data(), count);   // over the limit: the buffer is dropped
        Bytes frame;
        while (state.assembler.next(&frame)) {
            releaseHeld(endpoint);
            schedule(endpoint, from, peer, endpoint->controller->handleFrame(frame, endpoint->via, peer));
        }
        if (state.assembler.pending() == 0)
            endpoint->peers.erase(it);
    }
}

void Simulator::Impl::schedule(const std::shared_ptr<UdpEndpoint>& endpoint, const sockaddr_in& to,
                               const std::string& peer, const FakeController::Reply& reply)
{
    const Bytes& bytes = reply.bytes;
    if (bytes.empty())
        return;
    const size_t parts = std::min(size_t(std::max(1, reply.splitParts)), bytes.size());
    std::vector<std::vector<Bytes>> pieces(parts);
    size_t offset = 0;
    for (size_t part = 0; part < parts; ++part) {
        const size_t end = bytes.size() * (part + 1) / parts;
        // Each piece goes out as datagrams of at most kMaxDatagram bytes.
        while (offset < end) {
            const size_t take = std::min(kMaxDatagram, end - offset);
            pieces[part].emplace_back(bytes.begin() + std::ptrdiff_t(offset), bytes.begin() + std::ptrdiff_t(offset + take));
            offset += take;
        }
    }
    std::vector<Bytes> first = std::move(pieces.front());
    pieces.erase(pieces.begin());
    PendingSend send{Clock::now() + std::chrono::milliseconds(reply.delayMs), sequence++, endpoint, to, peer,
                     std::move(first), std::move(pieces), std::chrono::milliseconds(reply.splitGapMs)};
    if (reply.holdUntilNextFrame)
        held.push_back(std::move(send));
    else
        timers.push(std::move(send));
}

void Simulator::Impl::releaseHeld(const std::shared_ptr<UdpEndpoint>& endpoint)
{
    // Due now and numbered before the new frame's answer, which therefore follows them.
    for (auto it = held.begin(); it != held.end();) {
        if (it->endpoint != endpoint) {
            ++it;
            continue;
        }
        it->at = Clock::now();
        it->sequence = sequence++;
        timers.push(std::move(*it));
        it = held.erase(it);
    }
}

void Simulator::Impl::sendDue()
{
    const auto now = Clock::now();
    while (!timers.empty() && timers.top().at <= now) {
        PendingSend send = timers.top();
        timers.pop();
        for (;;) {
            for (const Bytes& datagram : send.datagrams) {
                ::sendto(send.endpoint->fd, datagram.data(), datagram.size(), 0,
                         reinterpret_cast<const sockaddr*>(&send.to), sizeof send.to);
                send.endpoint->controller->logEntry({LogEntry::TxChunk, send.endpoint->via, 0, datagram,
                                                     send.peer, Clock::now()});
            }
            if (send.later.empty())
                break;
            send.datagrams = std::move(send.later.front());
            send.later.erase(send.later.begin());
            if (send.gap.count() > 0) {
                send.at = Clock::now() + send.gap;
                send.sequence = sequence++;
                timers.push(std::move(send));
                break;
            }
        }
    }
}

void Simulator::Impl::expirePartials()
{
    const auto now = Clock::now();
    std::vector<std::shared_ptr<UdpEndpoint>> all;
    {
        std::lock_guard<std::mutex> lock(mutex);
        all = endpoints;
    }
    for (const auto& endpoint : all) {
        for (auto it = endpoint->peers.begin(); it != endpoint->peers.end();) {
            if (now - it->second.last >= kPartialFrameTimeout)
                it = endpoint->peers.erase(it);
            else
                ++it;
        }
    }
}

void Simulator::Impl::withdraw(DriverEntry& entry)
{
    entry.service->withdraw();
    entry.publisher.reset();
    if (entry.registry)
        entry.registry->remove(entry.entryId);
    entry.registry = nullptr;
}

std::shared_ptr<FakeController> Simulator::Impl::addService(const ControllerConfig& config, int order,
                                                            uint64_t entryId, const std::string* folder,
                                                            iokit::InProcessRegistry* inProcess)
{
    if (order < 0) {
        setError("the order of a driver service cannot be negative");
        return nullptr;
    }
    if (entryId == 0)
        entryId = 0x100000000ull + 0x100ull * uint64_t(order) + 1;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const auto& entry : drivers) {
            if (entry.entryId == entryId) {
                char text[80];
                std::snprintf(text, sizeof text, "entry id 0x%llx is already served",
                              static_cast<unsigned long long>(entryId));
                error = text;
                return nullptr;
            }
        }
    }
    DriverEntry entry;
    entry.entryId = entryId;
    ControllerConfig own = config;
    if (own.systemName.empty())
        own.systemName = std::string(setup::kDefaultSystemName) + "-slot" + std::to_string(order);
    entry.controller = std::make_shared<FakeController>(own);
    entry.service = std::make_shared<DriverService>(entry.controller, entryId);
    iokit::ServiceInfo info;
    info.className = zynmsr::kServiceClass;
    info.entryId = entryId;
    info.name = "ZynMSR";
    info.parentName = "Varnel" + std::to_string(config.modelNumber);
    info.order = order;
    if (folder) {
        char base[40];
        std::snprintf(base, sizeof base, "zynmsr-%llx", static_cast<unsigned long long>(entryId));
        entry.publisher = std::make_unique<iokit::FolderPublisher>(*folder, base, info, entry.service);
        if (!entry.publisher->ok()) {
            setError("cannot publish the driver service in " + *folder + ": " + entry.publisher->error());
            return nullptr;
        }
    } else {
        inProcess->add(info, entry.service);
        entry.registry = inProcess;
    }
    auto controller = entry.controller;
    std::lock_guard<std::mutex> lock(mutex);
    drivers.push_back(std::move(entry));
    return controller;
}

Simulator::Simulator()
    : d(new Impl)
{
}

Simulator::~Simulator()
{
    stop();
}

std::shared_ptr<FakeController> Simulator::addUdpController(const std::string& address,
                                                            const ControllerConfig& config,
                                                            uint16_t port)
{
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &bound.sin_addr) != 1) {
        d->setError("not an IPv4 address: " + address);
        return nullptr;
    }
    auto endpoint = std::make_shared<UdpEndpoint>();
    endpoint->fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (endpoint->fd < 0) {
        d->setError(std::string("cannot make a UDP socket: ") + std::strerror(errno));
        return nullptr;
    }
    if (::bind(endpoint->fd, reinterpret_cast<sockaddr*>(&bound), sizeof bound) != 0) {
        d->setError("cannot bind " + address + ":" + std::to_string(port) + ": " + std::strerror(errno));
        return nullptr;
    }
    sockaddr_in actual{};
    socklen_t length = sizeof actual;
    ::getsockname(endpoint->fd, reinterpret_cast<sockaddr*>(&actual), &length);
    endpoint->address = address;
    endpoint->port = ntohs(actual.sin_port);
    endpoint->via = "udp:" + address + ":" + std::to_string(endpoint->port);
    ControllerConfig own = config;
    if (own.systemName.empty())
        own.systemName = std::string(setup::kDefaultSystemName) + "-" + address;
    endpoint->controller = std::make_shared<FakeController>(own);
    std::array<uint8_t, 4> ip;
    std::memcpy(ip.data(), &bound.sin_addr, 4);
    endpoint->controller->setIpAddress(ip);

    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->startThread())
        return nullptr;
    d->endpoints.push_back(endpoint);
    d->wake();
    return endpoint->controller;
}

uint16_t Simulator::udpPort(const std::shared_ptr<FakeController>& controller) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (const auto& endpoint : d->endpoints)
        if (endpoint->controller == controller)
            return endpoint->port;
    return 0;
}

std::shared_ptr<FakeController> Simulator::addDriverController(const std::string& folder, int order,
                                                               const ControllerConfig& config,
                                                               uint64_t entryId)
{
    return d->addService(config, order, entryId, &folder, nullptr);
}

std::shared_ptr<FakeController> Simulator::addInProcessController(iokit::InProcessRegistry& registry,
                                                                  int order,
                                                                  const ControllerConfig& config,
                                                                  uint64_t entryId)
{
    useInProcessRegistry(&registry);
    return d->addService(config, order, entryId, nullptr, &registry);
}

std::shared_ptr<FakeController> Simulator::addInProcessController(int order, const ControllerConfig& config,
                                                                  uint64_t entryId)
{
    iokit::InProcessRegistry* registry;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        registry = d->registry;
    }
    if (!registry) {
        d->setError("no in-process registry given");
        return nullptr;
    }
    return d->addService(config, order, entryId, nullptr, registry);
}

void Simulator::useInProcessRegistry(iokit::InProcessRegistry* registry)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->registry = registry;
}

void Simulator::removeDriverController(const std::shared_ptr<FakeController>& controller)
{
    DriverEntry removed;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        auto it = std::find_if(d->drivers.begin(), d->drivers.end(),
                               [&](const DriverEntry& e) { return e.controller == controller; });
        if (it == d->drivers.end())
            return;
        removed = std::move(*it);
        d->drivers.erase(it);
    }
    // Outside the lock: withdrawing ends the connections, which call back into the service.
    d->withdraw(removed);
}

std::string Simulator::error() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->error;
}

void Simulator::stop()
{
    std::vector<DriverEntry> drivers;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        drivers.swap(d->drivers);
    }
    for (auto& entry : drivers)
        d->withdraw(entry);
    drivers.clear();

    if (d->thread.joinable()) {
        d->stopping = true;
        d->wake();
        d->thread.join();
    }
    std::lock_guard<std::mutex> lock(d->mutex);
    d->timers = {};
    d->held.clear();
    d->endpoints.clear();
    for (int* fd : {&d->wakeRead, &d->wakeWrite}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

} // namespace zynsim
