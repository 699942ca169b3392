// The client half of the user-client stand-in: a process-wide table of handles (iterators,
// services, connections), service discovery in the in-process registry or the registry
// folder, and the calls, carried in-process or over the service's Unix-domain socket.
#include "iokit.h"

#include "userclient_service.h"
#include "userclient_wire.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <unordered_map>

namespace iokit {

struct MatchingDictionary {
    bool byEntryId = false;
    std::string className;
    uint64_t entryId = 0;
    std::atomic<int> references{1};
};

namespace {

// Bounds of what the registry folder may hold before we stop looking.
constexpr size_t kMaxMetadataBytes = 4096;
constexpr size_t kMaxServices = 256;
constexpr size_t kMaxDirectoryEntries = 4096;
constexpr size_t kMaxClassName = kNameSize - 1;

// A service as found: what it is and how to reach it.
struct ServiceRef {
    ServiceInfo info;
    std::shared_ptr<UserClientService> provider;  // in-process registry
    std::string socketPath;                       // registry folder
};

// ---- in-process registry ---------------------------------------------------------------

struct RegistryState {
    std::mutex mutex;
    // Registries alive, oldest first; the newest one is in force.
    std::vector<std::pair<const InProcessRegistry*, std::vector<ServiceRef>>> stack;
};

RegistryState& registryState()
{
    static RegistryState state;
    return state;
}

// ---- handle table ----------------------------------------------------------------------

struct Connection {
    std::mutex callMutex;                          // one call at a time
    std::unique_ptr<UserClientConnection> inProcess;
    int fd = -1;
    bool dead = false;

    ~Connection()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

struct Object {
    enum Kind { Iterator, Service, Connect } kind = Iterator;
    std::vector<ServiceRef> items;  // Iterator
    size_t position = 0;            // Iterator
    std::mutex positionMutex;       // Iterator
    ServiceRef service;             // Service
    std::shared_ptr<Connection> connection;  // Connect
};

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<io_object_t, std::shared_ptr<Object>> objects;
    // Numbers given back, handed out again lowest first as the kernel does with its names and
    // descriptors: a handle kept after its release may name another's object.
    std::set<io_object_t> released;
    io_object_t next = 1;

    io_object_t insert(std::shared_ptr<Object> object)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (objects.size() >= UINT32_MAX - 1)
            return IO_OBJECT_NULL;
        io_object_t handle = IO_OBJECT_NULL;
        if (!released.empty()) {
            handle = *released.begin();
            released.erase(released.begin());
        } else {
            while (next == IO_OBJECT_NULL || objects.count(next))
                ++next;
            handle = next++;
        }
        objects.emplace(handle, std::move(object));
        return handle;
    }

    std::shared_ptr<Object> find(io_object_t handle, Object::Kind kind)
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = objects.find(handle);
        if (it == objects.end() || it->second->kind != kind)
            return nullptr;
        return it->second;
    }

    // Removes the handle; with `onlyKind` set, only when it is an object of that kind.
    std::shared_ptr<Object> take(io_object_t handle, const Object::Kind* onlyKind = nullptr)
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = objects.find(handle);
        if (it == objects.end() || (onlyKind && it->second->kind != *onlyKind))
            return nullptr;
        std::shared_ptr<Object> object = std::move(it->second);
        objects.erase(it);
        released.insert(handle);
        return object;
    }
};

HandleTable& handles()
{
    static HandleTable table;
    return table;
}

// Ends a connection: wakes a call blocked on the socket; the socket and the driver's
// connection object go with the last reference.
void endConnection(const std::shared_ptr<Object>& object)
{
    std::shared_ptr<Connection> c = object->connection;
    object->connection.reset();
    if (c && c->fd >= 0)
        ::shutdown(c->fd, SHUT_RDWR);
}

// ---- registry folder -------------------------------------------------------------------

bool parseU64(const std::string& text, uint64_t* out)
{
    if (text.empty() || text.size() > 20 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0')
        return false;
    *out = v;
    return true;
}

bool parseInt(const std::string& text, int* out)
{
    if (text.empty() || text.size() > 11)
        return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size() || !std::all_of(text.begin() + static_cast<long>(i), text.end(),
                                         [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v < INT_MIN || v > INT_MAX)
        return false;
    *out = static_cast<int>(v);
    return true;
}

// Reads one metadata file; false when it is missing, too large or not a regular file.
bool readSmallFile(const std::string& path, std::string* out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              st.st_size <= static_cast<off_t>(kMaxMetadataBytes);
    if (ok) {
        char buffer[kMaxMetadataBytes + 1];
        size_t total = 0;
        while (total < sizeof buffer) {
            const ssize_t n = ::read(fd, buffer + total, sizeof buffer - total);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = false;
                break;
            }
            if (n == 0)
                break;
            total += static_cast<size_t>(n);
        }
        // The file may have grown since fstat.
        ok = ok && total <= kMaxMetadataBytes;
        if (ok)
            out->assign(buffer, total);
    }
    ::close(fd);
    return ok;
}

bool validText(const std::string& value, size_t maxLength)
{
    return value.size() <= maxLength &&
           std::none_of(value.begin(), value.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// Parses "key=value" lines. class, entry_id and socket are required; name, parent and order
// default to empty / 0. Unknown keys are skipped; repeated keys make the file malformed.
bool parseMetadata(const std::string& text, const std::string& folder, ServiceRef* out)
{
    std::map<std::string, std::string> fields;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            return false;
        if (!fields.emplace(line.substr(0, eq), line.substr(eq + 1)).second)
            return false;
    }

    const auto classIt = fields.find("class");
    const auto idIt = fields.find("entry_id");
    const auto socketIt = fields.find("socket");
    if (classIt == fields.end() || idIt == fields.end() || socketIt == fields.end())
        return false;

    ServiceRef ref;
    ref.info.className = classIt->second;
    if (ref.info.className.empty() || !validText(ref.info.className, kMaxClassName))
        return false;
    if (!parseU64(idIt->second, &ref.info.entryId))
        return false;
    if (auto it = fields.find("name"); it != fields.end()) {
        if (!validText(it->second, kNameSize - 1))
            return false;
        ref.info.name = it->second;
    }
    if (auto it = fields.find("parent"); it != fields.end()) {
        if (!validText(it->second, kNameSize - 1))
            return false;
        ref.info.parentName = it->second;
    }
    if (auto it = fields.find("order"); it != fields.end() && !parseInt(it->second, &ref.info.order))
        return false;

    std::string socketPath = socketIt->second;
    if (socketPath.empty())
        return false;
    if (socketPath[0] != '/')
        socketPath = folder + "/" + socketPath;
    if (!validText(socketPath, sizeof(sockaddr_un{}.sun_path) - 1))
        return false;
    ref.socketPath = socketPath;
    *out = std::move(ref);
    return true;
}

bool endsWith(const std::string& s, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return s.size() > n && s.compare(s.size() - n, n, suffix) == 0;
}

// What each service file said when it was last read, kept while the file is unchanged (same
// inode, size, modification and change times): every command looks its service up, and
// reading every service's file for each would cost more the more controllers there are.
struct FileReading {
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool parsed = false;
    ServiceRef ref;
};

struct FolderReadings {
    std::mutex mutex;
    std::string folder;
    std::unordered_map<std::string, FileReading> files;
};

FolderReadings& folderReadings()
{
    static FolderReadings readings;
    return readings;
}

bool sameFile(const FileReading& r, const struct stat& st)
{
    return r.inode == st.st_ino && r.size == st.st_size && r.modified.tv_sec == st.st_mtim.tv_sec
           && r.modified.tv_nsec == st.st_mtim.tv_nsec && r.changed.tv_sec == st.st_ctim.tv_sec
           && r.changed.tv_nsec == st.st_ctim.tv_nsec;
}

std::vector<ServiceRef> scanFolder()
{
    std::vector<ServiceRef> found;
    const std::string folder = driverDirectory();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return found;
    std::vector<std::string> files;
    size_t seen = 0;
    while (seen < kMaxDirectoryEntries) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        ++seen;
        const std::string name = entry->d_name;
        if (endsWith(name, ".service"))
            files.push_back(name);
    }
    ::closedir(dir);
    // Directory order is arbitrary: look at the files in a stable order so that the bound
    // below keeps the same services every time.
    std::sort(files.begin(), files.end());
    FolderReadings& readings = folderReadings();
    std::lock_guard<std::mutex> lock(readings.mutex);
    if (readings.folder != folder || readings.files.size() > kMaxDirectoryEntries) {
        readings.folder = folder;
        readings.files.clear();
    }
    std::unordered_map<std::string, FileReading> current;
    for (const std::string& name : files) {
        if (found.size() >= kMaxServices)
            break;
        const std::string path = folder + "/" + name;
        struct stat st{};
        if (::stat(path.c_str(), &st) != 0)
            continue;
        auto known = readings.files.find(name);
        FileReading reading;
        if (known != readings.files.end() && sameFile(known->second, st)) {
            reading = known->second;
        } else {
            std::string text;
            reading.inode = st.st_ino;
            reading.size = st.st_size;
            reading.modified = st.st_mtim;
            reading.changed = st.st_ctim;
            reading.parsed = readSmallFile(path, &text) && parseMetadata(text, folder, &reading.ref);
            // A file that changed while it was read is read again next time.
            struct stat after{};
            if (::stat(path.c_str(), &after) != 0 || !sameFile(reading, after))
                reading.inode = 0;
        }
        if (reading.parsed)
            found.push_back(reading.ref);
        current.emplace(name, std::move(reading));
    }
    readings.files.swap(current);
    return found;
}

// All services of the registry in force, in registry order (order, then entry id); an entry
// id seen twice keeps its first service only.
std::vector<ServiceRef> allServices()
{
    std::vector<ServiceRef> services;
    bool inProcess = false;
    {
        RegistryState& state = registryState();
        std::lock_guard<std::mutex> lock(state.mutex);
        if (!state.stack.empty()) {
            inProcess = true;
            services = state.stack.back().second;
        }
    }
    if (!inProcess)
        services = scanFolder();
    std::stable_sort(services.begin(), services.end(), [](const ServiceRef& a, const ServiceRef& b) {
        if (a.info.order != b.info.order)
            return a.info.order < b.info.order;
        return a.info.entryId < b.info.entryId;
    });
    services.erase(std::unique(services.begin(), services.end(),
                               [](const ServiceRef& a, const ServiceRef& b) {
                                   return a.info.entryId == b.info.entryId;
                               }),
                   services.end());
    return services;
}

// ---- calls -----------------------------------------------------------------------------

std::shared_ptr<Connection> findConnection(io_connect_t connect)
{
    std::shared_ptr<Object> object = handles().find(connect, Object::Connect);
    return object ? object->connection : nullptr;
}

// Carries one request over the socket. Any failure of the stream kills the connection.
kern_return_t socketCall(Connection& c, wire::Request& request, wire::Reply* reply)
{
    if (c.dead)
        return kIOReturnInvalidConnection;
    if (!wire::sendRequest(c.fd, request) || !wire::readReply(c.fd, reply)) {
        c.dead = true;
        ::shutdown(c.fd, SHUT_RDWR);
        return kIOReturnInvalidConnection;
    }
    return reply->result;
}

void copyName(const std::string& from, char name[kNameSize])
{
    const size_t n = std::min(from.size(), kNameSize - 1);
    std::memcpy(name, from.data(), n);
    name[n] = '\0';
}

kern_return_t withService(io_service_t service, ServiceInfo* info)
{
    std::shared_ptr<Object> object = handles().find(service, Object::Service);
    if (!object)
        return kIOReturnBadArgument;
    *info = object->service.info;
    return kIOReturnSuccess;
}

} // namespace

// ---- public API ------------------------------------------------------------------------

std::string driverDirectory()
{
    const char* dir = std::getenv("ZYNMSR_DRIVER_DIR");
    if (dir && *dir && std::strlen(dir) < PATH_MAX)
        return dir;
    return "/run/zynmsr";
}

InProcessRegistry::InProcessRegistry()
{
    RegistryState& state = registryState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.stack.emplace_back(this, std::vector<ServiceRef>{});
}

InProcessRegistry::~InProcessRegistry()
{
    std::vector<ServiceRef> dropped;  // providers are released outside the lock
    RegistryState& state = registryState();
    std::lock_guard<std::mutex> lock(state.mutex);
    for (auto it = state.stack.begin(); it != state.stack.end(); ++it) {
        if (it->first == this) {
            dropped.swap(it->second);
            state.stack.erase(it);
            break;
        }
    }
}

void InProcessRegistry::add(const ServiceInfo& info, std::shared_ptr<UserClientService> service)
{
    RegistryState& state = registryState();
    std::lock_guard<std::mutex> lock(state.mutex);
    for (auto& entry : state.stack) {
        if (entry.first != this)
            continue;
        auto& services = entry.second;
        services.erase(std::remove_if(services.begin(), services.end(),
                                      [&](const ServiceRef& r) { return r.info.entryId == info.entryId; }),
                       services.end());
        ServiceRef ref;
        ref.info = info;
        ref.provider = std::move(service);
        services.push_back(std::move(ref));
        return;
    }
}

void InProcessRegistry::remove(uint64_t entryId)
{
    std::vector<ServiceRef> dropped;
    RegistryState& state = registryState();
    std::lock_guard<std::mutex> lock(state.mutex);
    for (auto& entry : state.stack) {
        if (entry.first != this)
            continue;
        auto& services = entry.second;
        auto keep = std::stable_partition(services.begin(), services.end(),
                                          [&](const ServiceRef& r) { return r.info.entryId != entryId; });
        std::move(keep, services.end(), std::back_inserter(dropped));
        services.erase(keep, services.end());
        return;
    }
}

kern_return_t IOMasterPort(mach_port_t, mach_port_t* master)
{
    if (master)
        *master = kIOMasterPortDefault;
    return kIOReturnSuccess;
}

MatchingDictionary* IOServiceMatching(const char* className)
{
    if (!className)
        return nullptr;
    const size_t length = ::strnlen(className, kMaxClassName + 1);
    if (length == 0 || length > kMaxClassName)
        return nullptr;
    auto* matching = new MatchingDictionary;
    matching->className.assign(className, length);
    return matching;
}

MatchingDictionary* IORegistryEntryIDMatching(uint64_t entryId)
{
    auto* matching = new MatchingDictionary;
    matching->byEntryId = true;
    matching->entryId = entryId;
    return matching;
}

void ReleaseMatching(MatchingDictionary* matching)
{
    if (matching != nullptr && matching->references.fetch_sub(1) == 1)
        delete matching;
}

MatchingDictionary* RetainMatching(MatchingDictionary* matching)
{
    if (matching != nullptr)
        matching->references.fetch_add(1);
    return matching;
}

kern_return_t IOServiceGetMatchingServices(mach_port_t, MatchingDictionary* matching,
                                           io_iterator_t* iterator)
{
    std::unique_ptr<MatchingDictionary, void (*)(MatchingDictionary*)> owned(matching, ReleaseMatching);
    if (!matching || !iterator)
        return kIOReturnBadArgument;
    *iterator = IO_OBJECT_NULL;
    auto object = std::make_shared<Object>();
    object->kind = Object::Iterator;
    for (ServiceRef& ref : allServices()) {
        const bool match = matching->byEntryId ? ref.info.entryId == matching->entryId
                                               : ref.info.className == matching->className;
        if (match)
            object->items.push_back(std::move(ref));
    }
    const io_object_t handle = handles().insert(std::move(object));
    if (handle == IO_OBJECT_NULL)
        return kIOReturnNoMemory;
    *iterator = handle;
    return kIOReturnSuccess;
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    std::shared_ptr<Object> it = handles().find(iterator, Object::Iterator);
    if (!it)
        return IO_OBJECT_NULL;
    auto service = std::make_shared<Object>();
    service->kind = Object::Service;
    {
        std::lock_guard<std::mutex> lock(it->positionMutex);
        if (it->position >= it->items.size())
            return IO_OBJECT_NULL;
        service->service = it->items[it->position++];
    }
    return handles().insert(std::move(service));
}

kern_return_t IOObjectRelease(io_object_t object)
{
    std::shared_ptr<Object> taken = handles().take(object);
    if (!taken)
        return kIOReturnBadArgument;
    if (taken->kind == Object::Connect)
        endConnection(taken);
    return kIOReturnSuccess;
}

kern_return_t IORegistryEntryGetRegistryEntryID(io_service_t service, uint64_t* entryId)
{
    ServiceInfo info;
    if (!entryId)
        return kIOReturnBadArgument;
    const kern_return_t kr = withService(service, &info);
    if (kr == kIOReturnSuccess)
        *entryId = info.entryId;
    return kr;
}

kern_return_t IORegistryEntryGetName(io_service_t service, char name[kNameSize])
{
    ServiceInfo info;
    if (!name)
        return kIOReturnBadArgument;
    const kern_return_t kr = withService(service, &info);
    if (kr == kIOReturnSuccess)
        copyName(info.name, name);
    return kr;
}

kern_return_t IORegistryEntryGetParentName(io_service_t service, char name[kNameSize])
{
    ServiceInfo info;
    if (!name)
        return kIOReturnBadArgument;
    const kern_return_t kr = withService(service, &info);
    if (kr == kIOReturnSuccess)
        copyName(info.parentName, name);
    return kr;
}

kern_return_t IOServiceOpen(io_service_t service, mach_port_t, uint32_t type, io_connect_t* connect)
{
    if (!connect)
        return kIOReturnBadArgument;
    *connect = IO_OBJECT_NULL;
    std::shared_ptr<Object> object = handles().find(service, Object::Service);
    if (!object)
        return kIOReturnBadArgument;
    if (type != 0)
        return kIOReturnUnsupported;
    const ServiceRef& ref = object->service;

    auto connection = std::make_shared<Connection>();
    if (ref.provider) {
        connection->inProcess = ref.provider->open();
        if (!connection->inProcess)
            return kIOReturnNotOpen;
    } else {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (ref.socketPath.size() >= sizeof address.sun_path)
            return kIOReturnNoDevice;
        std::memcpy(address.sun_path, ref.socketPath.c_str(), ref.socketPath.size() + 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return kIOReturnNoMemory;
        connection->fd = fd;  // closed with the connection
        int rc;
        do {
            rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0 && errno != EISCONN)
            return errno == ENOENT ? kIOReturnNoDevice : kIOReturnNotOpen;
    }

    auto entry = std::make_shared<Object>();
    entry->kind = Object::Connect;
    entry->connection = std::move(connection);
    const io_object_t handle = handles().insert(entry);
    if (handle == IO_OBJECT_NULL) {
        endConnection(entry);
        return kIOReturnNoMemory;
    }
    *connect = handle;
    return kIOReturnSuccess;
}

kern_return_t IOServiceClose(io_connect_t connect)
{
    const Object::Kind kind = Object::Connect;
    std::shared_ptr<Object> taken = handles().take(connect, &kind);
    if (!taken)
        return kIOReturnBadArgument;
    endConnection(taken);
    return kIOReturnSuccess;
}

kern_return_t IOConnectCallScalarMethod(io_connect_t connect, uint32_t selector,
                                        const uint64_t* input, uint32_t inputCount,
                                        uint64_t* output, uint32_t* outputCount)
{
    (void)input;
    (void)output;
    if (outputCount)
        *outputCount = 0;
    std::shared_ptr<Connection> c = findConnection(connect);
    if (!c)
        return kIOReturnInvalidConnection;
    if (inputCount != 0)
        return kIOReturnBadArgument;
    std::lock_guard<std::mutex> lock(c->callMutex);
    if (c->inProcess)
        return c->inProcess->scalarCall(selector);
    wire::Request request;
    request.kind = wire::kScalarCall;
    request.selector = selector;
    wire::Reply reply;
    return socketCall(*c, request, &reply);
}

kern_return_t IOConnectCallStructMethod(io_connect_t connect, uint32_t selector,
                                        const void* input, size_t inputSize,
                                        void* output, size_t* outputSize)
{
    std::shared_ptr<Connection> c = findConnection(connect);
    if (!c)
        return kIOReturnInvalidConnection;
    if (!input || inputSize != sizeof(zynmsr::TransferRecord) || !output || !outputSize ||
        *outputSize < sizeof(zynmsr::TransferRecord))
        return kIOReturnBadArgument;

    zynmsr::TransferRecord record;
    std::memcpy(&record, input, sizeof record);
    const uint64_t callerBuffer = record.buffer;
    auto* bytes = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(callerBuffer));
    const bool isWrite = selector == zynmsr::kSelWrite;
    const bool isRead = selector == zynmsr::kSelRead;
    const uint64_t capacity = record.length;
    if ((isWrite || isRead) &&
        (record.length > kMaxTransferBytes || (record.length > 0 && !bytes)))
        return kIOReturnBadArgument;

    std::vector<uint8_t> data;
    if (isWrite && record.length > 0)
        data.assign(bytes, bytes + record.length);

    kern_return_t kr;
    {
        std::lock_guard<std::mutex> lock(c->callMutex);
        if (c->inProcess) {
            kr = c->inProcess->structCall(selector, record, data);
        } else {
            wire::Request request;
            request.kind = wire::kStructCall;
            request.selector = selector;
            request.record = record;
            request.record.buffer = 0;  // addresses mean nothing to the other process
            request.data = std::move(data);
            wire::Reply reply;
            kr = socketCall(*c, request, &reply);
            if (kr == kIOReturnInvalidConnection && c->dead)
                return kr;
            record = reply.record;
            data = std::move(reply.data);
        }
    }

    if (isRead) {
        // The driver never gets to write past the caller's capacity.
        if (data.size() > capacity)
            return kIOReturnError;
        if (!data.empty())
            std::memcpy(bytes, data.data(), data.size());
        record.length = data.size();
    }
    record.buffer = callerBuffer;
    std::memcpy(output, &record, sizeof record);
    *outputSize = sizeof record;
    return kr;
}

mach_port_t mach_task_self()
{
    return 1;
}


// ---- Notifications ---------------------------------------------------------------------

struct IONotificationPort {
    struct Registration {
        bool firstMatch = true;
        std::string className;
        IOServiceMatchingCallback callback = nullptr;
        void* refcon = nullptr;
        io_iterator_t iterator = IO_OBJECT_NULL;
    };

    std::mutex mutex;   // registrations, known, messages
    RunLoopSource source;
    std::vector<Registration> registrations;
    std::map<uint64_t, ServiceRef> known;   // services of the registered classes last seen
    IOServiceInterestCallback powerCallback = nullptr;
    void* powerRefcon = nullptr;
    std::vector<std::pair<uint32_t, intptr_t>> messages;

    // The services of the registered classes now, by entry id.
    std::map<uint64_t, ServiceRef> current()
    {
        std::map<uint64_t, ServiceRef> now;
        std::vector<std::string> classes;
        {
            std::lock_guard<std::mutex> lock(mutex);
            for (const Registration& r : registrations)
                classes.push_back(r.className);
        }
        if (classes.empty())
            return now;
        for (ServiceRef& ref : allServices())
            if (std::find(classes.begin(), classes.end(), ref.info.className) != classes.end())
                now.emplace(ref.info.entryId, std::move(ref));
        return now;
    }

    void deliver()
    {
        std::map<uint64_t, ServiceRef> now = current();
        std::vector<ServiceRef> appeared, gone;
        std::vector<Registration> registered;
        std::vector<std::pair<uint32_t, intptr_t>> pending;
        IOServiceInterestCallback power = nullptr;
        void* powerRef = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex);
            for (const auto& [id, ref] : now)
                if (!known.count(id))
                    appeared.push_back(ref);
            for (const auto& [id, ref] : known)
                if (!now.count(id))
                    gone.push_back(ref);
            known = std::move(now);
            registered = registrations;
            pending.swap(messages);
            power = powerCallback;
            powerRef = powerRefcon;
        }
        for (const Registration& r : registered) {
            std::vector<ServiceRef> items;
            for (const ServiceRef& ref : r.firstMatch ? appeared : gone)
                if (ref.info.className == r.className)
                    items.push_back(ref);
            if (items.empty())
                continue;
            if (std::shared_ptr<Object> it = handles().find(r.iterator, Object::Iterator)) {
                std::lock_guard<std::mutex> lock(it->positionMutex);
                it->items = std::move(items);
                it->position = 0;
            }
            r.callback(r.refcon, r.iterator);
        }
        for (const auto& [type, argument] : pending)
            if (power != nullptr)
                power(powerRef, IO_OBJECT_NULL, type, reinterpret_cast<void*>(argument));
    }
};

IONotificationPortRef IONotificationPortCreate(mach_port_t)
{
    auto* port = new IONotificationPort;
    port->source.perform = [port] { port->deliver(); };
    return port;
}

void IONotificationPortDestroy(IONotificationPortRef port)
{
    if (port == nullptr)
        return;
    for (const IONotificationPort::Registration& r : port->registrations)
        handles().take(r.iterator);
    delete port;
}

RunLoopSource* IONotificationPortGetRunLoopSource(IONotificationPortRef port)
{
    return port != nullptr ? &port->source : nullptr;
}

kern_return_t IOServiceAddMatchingNotification(IONotificationPortRef port, const char* type,
                                               MatchingDictionary* matching,
                                               IOServiceMatchingCallback callback, void* refcon,
                                               io_iterator_t* iterator)
{
    std::unique_ptr<MatchingDictionary, void (*)(MatchingDictionary*)> owned(matching, ReleaseMatching);
    if (port == nullptr || type == nullptr || matching == nullptr || matching->byEntryId || callback == nullptr
        || iterator == nullptr)
        return kIOReturnBadArgument;
    const bool firstMatch = std::strcmp(type, kIOFirstMatchNotification) == 0;
    if (!firstMatch && std::strcmp(type, kIOTerminatedNotification) != 0)
        return kIOReturnUnsupported;
    auto object = std::make_shared<Object>();
    object->kind = Object::Iterator;
    const io_object_t handle = handles().insert(object);
    if (handle == IO_OBJECT_NULL)
        return kIOReturnNoMemory;
    {
        std::lock_guard<std::mutex> lock(port->mutex);
        port->registrations.push_back({firstMatch, matching->className, callback, refcon, handle});
    }
    // What is there now counts as seen: a first match reports it through this iterator.
    std::map<uint64_t, ServiceRef> now = port->current();
    {
        std::lock_guard<std::mutex> lock(port->mutex);
        for (auto& [id, ref] : now) {
            if (ref.info.className != matching->className)
                continue;
            if (firstMatch)
                object->items.push_back(ref);
            port->known.emplace(id, ref);
        }
    }
    *iterator = handle;
    return kIOReturnSuccess;
}

// ---- Power -----------------------------------------------------------------------------

namespace {

struct PowerRegistration {
    std::mutex mutex;
    IONotificationPort* port = nullptr;   // null once deregistered
    std::shared_ptr<PowerSource> source;
};

struct PowerState {
    std::mutex mutex;
    std::shared_ptr<PowerSource> source;
    std::map<io_object_t, std::shared_ptr<PowerRegistration>> registrations;
    io_object_t next = 0x7000;
};

PowerState& powerState()
{
    static PowerState state;
    return state;
}

std::shared_ptr<PowerRegistration> findPowerRegistration(io_object_t handle)
{
    PowerState& state = powerState();
    std::lock_guard<std::mutex> lock(state.mutex);
    const auto it = state.registrations.find(handle);
    return it == state.registrations.end() ? nullptr : it->second;
}

} // namespace

void setPowerSource(std::shared_ptr<PowerSource> source)
{
    PowerState& state = powerState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.source = std::move(source);
}

std::shared_ptr<PowerSource> powerSource()
{
    PowerState& state = powerState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.source;
}

io_connect_t IORegisterForSystemPower(void* refcon, IONotificationPortRef* port,
                                      IOServiceInterestCallback callback, io_object_t* notifier)
{
    if (port == nullptr || callback == nullptr || notifier == nullptr)
        return IO_OBJECT_NULL;
    std::shared_ptr<PowerSource> source = powerSource();
    if (!source)
        return IO_OBJECT_NULL;
    IONotificationPort* created = IONotificationPortCreate(kIOMasterPortDefault);
    created->powerCallback = callback;
    created->powerRefcon = refcon;
    auto registration = std::make_shared<PowerRegistration>();
    registration->port = created;
    registration->source = source;
    const bool started = source->start([registration](uint32_t type, intptr_t argument) {
        std::lock_guard<std::mutex> lock(registration->mutex);
        if (registration->port == nullptr)
            return;
        std::lock_guard<std::mutex> portLock(registration->port->mutex);
        registration->port->messages.emplace_back(type, argument);
    });
    if (!started) {
        IONotificationPortDestroy(created);
        return IO_OBJECT_NULL;
    }
    io_object_t handle = IO_OBJECT_NULL;
    {
        PowerState& state = powerState();
        std::lock_guard<std::mutex> lock(state.mutex);
        handle = state.next++;
        state.registrations.emplace(handle, registration);
    }
    *port = created;
    *notifier = handle;
    return handle;
}

kern_return_t IOAllowPowerChange(io_connect_t root, intptr_t argument)
{
    std::shared_ptr<PowerRegistration> registration = findPowerRegistration(root);
    if (!registration)
        return kIOReturnBadArgument;
    registration->source->allowPowerChange(argument);
    return kIOReturnSuccess;
}

kern_return_t IODeregisterForSystemPower(io_object_t* notifier)
{
    if (notifier == nullptr)
        return kIOReturnBadArgument;
    std::shared_ptr<PowerRegistration> registration;
    {
        PowerState& state = powerState();
        std::lock_guard<std::mutex> lock(state.mutex);
        const auto it = state.registrations.find(*notifier);
        if (it == state.registrations.end())
            return kIOReturnBadArgument;
        registration = it->second;
        state.registrations.erase(it);
    }
    registration->source->stop();
    std::lock_guard<std::mutex> lock(registration->mutex);
    registration->port = nullptr;   // the caller destroys the port
    *notifier = IO_OBJECT_NULL;
    return kIOReturnSuccess;
}

struct InjectedPowerSource::State {
    mutable std::mutex mutex;
    std::function<void(uint32_t, intptr_t)> deliver;
    std::vector<intptr_t> allowed;
};

InjectedPowerSource::InjectedPowerSource()
    : m_state(std::make_shared<State>())
{
}

InjectedPowerSource::~InjectedPowerSource() = default;

bool InjectedPowerSource::start(std::function<void(uint32_t, intptr_t)> deliver)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->deliver = std::move(deliver);
    return true;
}

void InjectedPowerSource::stop()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->deliver = nullptr;
}

void InjectedPowerSource::allowPowerChange(intptr_t argument)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->allowed.push_back(argument);
}

bool InjectedPowerSource::inject(uint32_t messageType, intptr_t argument)
{
    std::function<void(uint32_t, intptr_t)> deliver;
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        deliver = m_state->deliver;
    }
    if (!deliver)
        return false;
    deliver(messageType, argument);
    return true;
}

std::vector<intptr_t> InjectedPowerSource::allowed() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->allowed;
}

} // namespace iokit
