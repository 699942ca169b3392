// Serves one driver service in the registry folder: a listening Unix-domain socket, the
// metadata file clients find it by, and one thread per accepted connection.
#include "userclient_service.h"
#include "posixfs.h"
#include "userclient_wire.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <list>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace iokit {

namespace {

constexpr int kListenBacklog = 16;
// How long the accept thread rests when a connection can be neither taken nor turned away for
// want of descriptors or memory; the listening socket stays readable meanwhile.
constexpr int kAcceptBackoffMs = 100;

// accept() failures that last until something is freed: trying again at once only spins.
bool outOfResources(int error)
{
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

int openSpareDescriptor()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

// A value clients will accept: one line that fits the registry's name buffers.
bool metadataValue(const std::string& value)
{
    if (value.size() >= kNameSize)
        return false;
    for (char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& text, std::string* error)
{
    const std::string tmp = path + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        *error = "cannot create " + tmp + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    bool ok = true;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0)
        ok = false;
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
    }
    return ok;
}

// Answers one request with the driver's connection object.
wire::Reply serve(UserClientConnection& connection, wire::Request& request)
{
    wire::Reply reply;
    if (request.kind == wire::kScalarCall) {
        reply.result = connection.scalarCall(request.selector);
        return reply;
    }
    if (request.kind != wire::kStructCall) {
        reply.result = kIOReturnBadArgument;
        return reply;
    }
    zynmsr::TransferRecord record = request.record;
    std::vector<uint8_t> data;
    if (request.selector == zynmsr::kSelWrite)
        data = std::move(request.data);
    reply.result = connection.structCall(request.selector, record, data);
    reply.record = record;
    if (request.selector == zynmsr::kSelRead) {
        if (data.size() > kMaxTransferBytes) {
            reply.result = kIOReturnError;
            reply.record.length = 0;
        } else {
            reply.data = std::move(data);
        }
    }
    return reply;
}

} // namespace

struct FolderPublisher::Impl {
    struct Client {
        int fd = -1;       // closed by the client's thread, under `mutex`
        bool done = false;
        std::thread thread;
    };

    std::string folder;
    std::string base;
    std::string socketPath;
    std::string metadataPath;
    std::string error;
    ServiceInfo info;
    std::shared_ptr<UserClientService> service;

    int listenFd = -1;
    bool ownSocket = false;    // the socket file is ours to remove
    bool ownMetadata = false;  // the metadata file is ours to remove
    int wakePipe[2] = {-1, -1};
    // Held so that, out of descriptors, one can be freed to take a waiting connection and
    // hang up on it. Used by the accept thread only.
    int spareFd = -1;
    std::thread acceptThread;
    // What the accept thread last reported; a report is made once until it changes.
    std::string reported;

    std::mutex mutex;
    bool stopping = false;
    std::list<Client> clients;

    bool start();
    void acceptLoop();
    bool admit(int fd);
    bool turnAwayWaiting();
    bool rest(int ms);
    void report(const std::string& what);
    void clientLoop(Client* client);
    void reapFinished();
    void stop();
};

bool FolderPublisher::Impl::start()
{
    if (base.empty() || base.find('/') != std::string::npos) {
        error = "bad service base name";
        return false;
    }
    if (!metadataValue(info.className) || !metadataValue(info.name) ||
        !metadataValue(info.parentName) || info.className.empty()) {
        error = "service info not representable in metadata";
        return false;
    }
    if (!posixfs::makeDirectories(folder, 0755)) {
        error = "cannot create " + folder + ": " + std::strerror(errno);
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        error = "socket path too long: " + socketPath;
        return false;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

    struct stat st {};
    if (::lstat(socketPath.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error = socketPath + " exists and is not a socket";
            return false;
        }
        ::unlink(socketPath.c_str());
    }

    if (::pipe2(wakePipe, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    if (::bind(listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = "cannot bind " + socketPath + ": " + std::strerror(errno);
        return false;
    }
    ownSocket = true;
    if (::listen(listenFd, kListenBacklog) != 0) {
        error = "cannot listen on " + socketPath + ": " + std::strerror(errno);
        return false;
    }

    spareFd = openSpareDescriptor();
    try {
        acceptThread = std::thread([this] { acceptLoop(); });
    } catch (const std::system_error& e) {
        error = std::string("cannot start serving: ") + e.what();
        return false;
    }

    const std::string text = "class=" + info.className + "\n" +
                             "entry_id=" + std::to_string(info.entryId) + "\n" +
                             "name=" + info.name + "\n" +
                             "parent=" + info.parentName + "\n" +
                             "order=" + std::to_string(info.order) + "\n" +
                             "socket=" + socketPath + "\n";
    ownMetadata = writeFileAtomically(metadataPath, text, &error);
    return ownMetadata;
}

void FolderPublisher::Impl::acceptLoop()
{
    for (;;) {
        pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        const int n = ::poll(fds, 2, -1);
        if (n < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return;
        if (n <= 0 || !(fds[0].revents & POLLIN))
            continue;
        if (spareFd < 0)
            spareFd = openSpareDescriptor();
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (!outOfResources(error))
                continue;  // EINTR, ECONNABORTED and the like: the next one may do
            report(std::string("cannot take connections: ") + std::strerror(error));
            if (!turnAwayWaiting() && !rest(kAcceptBackoffMs))
                return;
            continue;
        }
        reapFinished();
        if (!admit(fd))
            return;
    }
}

// Serves `fd` on a thread of its own, or closes it when the service has all the connections
// it serves or no thread can be had. False when the publisher is stopping.
bool FolderPublisher::Impl::admit(int fd)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (stopping) {
        ::close(fd);
        return false;
    }
    if (clients.size() >= kMaxConnectionsPerService) {
        ::close(fd);
        lock.unlock();
        report("connection limit reached (" + std::to_string(kMaxConnectionsPerService) +
               "): further connections are closed");
        return true;
    }
    clients.emplace_back();
    Client* client = &clients.back();
    client->fd = fd;
    try {
        client->thread = std::thread([this, client] { clientLoop(client); });
    } catch (const std::system_error& e) {
        clients.pop_back();
        ::close(fd);
        lock.unlock();
        report(std::string("cannot serve a connection: ") + e.what());
        return true;
    }
    lock.unlock();
    report(std::string());
    return true;
}

// Out of descriptors: the spare one makes room to take the connection that waits longest and
// hang up on it, so that its client learns at once instead of waiting in the backlog. False
// when nothing could be turned away.
bool FolderPublisher::Impl::turnAwayWaiting()
{
    if (spareFd < 0)
        return false;
    ::close(spareFd);
    const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    spareFd = openSpareDescriptor();
    return fd >= 0;
}

// Waits `ms` unless the publisher is told to stop first (then false).
bool FolderPublisher::Impl::rest(int ms)
{
    pollfd wake{wakePipe[0], POLLIN, 0};
    const int n = ::poll(&wake, 1, ms);
    return !(n > 0 && wake.revents != 0);
}

// One line on standard error when the accept thread's trouble begins or changes; an empty
// `what` marks that connections are served again.
void FolderPublisher::Impl::report(const std::string& what)
{
    if (what == reported)
        return;
    reported = what;
    if (!what.empty())
        std::fprintf(stderr, "%s: %s\n", socketPath.c_str(), what.c_str());
}

void FolderPublisher::Impl::clientLoop(Client* client)
{
    int fd;
    {
        std::lock_guard<std::mutex> lock(mutex);
        fd = client->fd;
    }
    std::unique_ptr<UserClientConnection> connection = service->open();
    if (connection) {
        wire::Request request;
        while (wire::readRequest(fd, &request)) {
            const wire::Reply reply = serve(*connection, request);
            if (!wire::sendReply(fd, reply))
                break;
        }
    }
    // The client has gone (or was refused): the driver drops what the connection held.
    connection.reset();
    std::lock_guard<std::mutex> lock(mutex);
    ::close(client->fd);
    client->fd = -1;
    client->done = true;
}

void FolderPublisher::Impl::reapFinished()
{
    std::list<Client> finished;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = clients.begin(); it != clients.end();) {
            auto next = std::next(it);
            if (it->done)
                finished.splice(finished.end(), clients, it);
            it = next;
        }
    }
    for (Client& client : finished)
        client.thread.join();
}

void FolderPublisher::Impl::stop()
{
    // Withdraw the service first so that no new client finds it.
    if (ownMetadata)
        ::unlink(metadataPath.c_str());
    ownMetadata = false;
    if (ownSocket)
        ::unlink(socketPath.c_str());
    ownSocket = false;

    std::list<Client> all;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        for (Client& client : clients)
            if (client.fd >= 0)
                ::shutdown(client.fd, SHUT_RDWR);
    }
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        while (::write(wakePipe[1], &byte, 1) < 0 && errno == EINTR) {
        }
    }
    if (listenFd >= 0)
        ::shutdown(listenFd, SHUT_RDWR);
    if (acceptThread.joinable())
        acceptThread.join();
    {
        // The accept thread has ended: no client is added any more.
        std::lock_guard<std::mutex> lock(mutex);
        all.swap(clients);
    }
    for (Client& client : all)
        client.thread.join();

    if (listenFd >= 0)
        ::close(listenFd);
    listenFd = -1;
    for (int& fd : wakePipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    if (spareFd >= 0)
        ::close(spareFd);
    spareFd = -1;
}

FolderPublisher::FolderPublisher(const std::string& folder, const std::string& base,
                                 const ServiceInfo& info, std::shared_ptr<UserClientService> service)
    : d(new Impl)
{
    d->folder = folder;
    d->base = base;
    d->socketPath = folder + "/" + base + ".sock";
    d->metadataPath = folder + "/" + base + ".service";
    d->info = info;
    d->service = std::move(service);
    if (!d->service) {
        d->error = "no service";
        return;
    }
    if (!d->start()) {
        const std::string error = d->error;
        d->stop();
        d->error = error;
    }
}

FolderPublisher::~FolderPublisher()
{
    d->stop();
}

bool FolderPublisher::ok() const
{
    return d->error.empty();
}

std::string FolderPublisher::error() const
{
    return d->error;
}

std::string FolderPublisher::metadataPath() const
{
    return d->metadataPath;
}

std::string FolderPublisher::socketPath() const
{
    return d->socketPath;
}

} // namespace iokit
