#include "driverservice.h"

#include <algorithm>
#include <cstdio>

namespace zynsim {

using namespace iokit;

// One client connection. Its destruction (close or client gone) releases what it held.
class DriverConnection : public UserClientConnection {
public:
    DriverConnection(std::shared_ptr<DriverService> service, uint64_t id)
        : m_service(std::move(service)), m_id(id) {}
    ~DriverConnection() override { m_service->connectionGone(m_id, m_opened); }

    kern_return_t scalarCall(uint32_t selector) override
    {
        return m_service->scalarCall(m_id, &m_opened, selector);
    }

    kern_return_t structCall(uint32_t selector, zynmsr::TransferRecord& record,
                             std::vector<uint8_t>& data) override
    {
        {
            std::lock_guard<std::mutex> lock(m_service->m_mutex);
            if (m_service->m_withdrawn)
                return kIOReturnInvalidConnection;
        }
        if (selector != zynmsr::kSelWrite && selector != zynmsr::kSelRead)
            return selector <= zynmsr::kSelReleaseLock ? kIOReturnBadArgument : kIOReturnUnsupported;
        if (!m_opened)
            return kIOReturnNotOpen;
        return selector == zynmsr::kSelWrite ? m_service->write(m_id, record, data)
                                             : m_service->read(m_id, record, data);
    }

private:
    const std::shared_ptr<DriverService> m_service;
    const uint64_t m_id;
    bool m_opened = false;
};

static std::string viaName(uint64_t entryId)
{
    char text[40];
    std::snprintf(text, sizeof text, "driver:0x%llx", static_cast<unsigned long long>(entryId));
    return text;
}

DriverService::DriverService(std::shared_ptr<FakeController> controller, uint64_t entryId)
    : m_controller(std::move(controller)), m_entryId(entryId), m_via(viaName(entryId))
{
}

DriverService::~DriverService() = default;

std::unique_ptr<UserClientConnection> DriverService::open()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_withdrawn)
        return nullptr;
    return std::make_unique<DriverConnection>(shared_from_this(), m_nextConnection++);
}

void DriverService::withdraw()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_withdrawn = true;
}

kern_return_t DriverService::scalarCall(uint64_t connection, bool* opened, uint32_t selector)
{
    bool begins = false;
    bool ends = false;
    kern_return_t result = kIOReturnSuccess;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_withdrawn)
            return kIOReturnInvalidConnection;
        if (selector != zynmsr::kSelOpen && !*opened)
            return kIOReturnNotOpen;
        switch (selector) {
        case zynmsr::kSelOpen:
            begins = !*opened;
            *opened = true;
            break;
        case zynmsr::kSelClose:
            ends = true;
            *opened = false;
            break;
        case zynmsr::kSelClearWriteBuffer:
            if (lockedByOther(connection))
                result = kIOReturnBusy;
            else
                m_writeBuffer.clear();
            break;
        case zynmsr::kSelClearReadBuffer:
            if (lockedByOther(connection))
                result = kIOReturnBusy;
            else
                m_readBuffer.clear();
            break;
        case zynmsr::kSelAcquireLock:
            if (lockedByOther(connection))
                result = kIOReturnBusy;
            else
                m_lockHolder = connection;
            break;
        case zynmsr::kSelReleaseLock:
            if (m_lockHolder == connection)
                m_lockHolder = 0;
            break;
        case zynmsr::kSelWrite:
        case zynmsr::kSelRead:
            result = kIOReturnBadArgument;   // these carry a transfer record
            break;
        default:
            result = kIOReturnUnsupported;
            break;
        }
    }
    if (begins)
        m_controller->exchangeBegins();
    if (ends)
        m_controller->exchangeEnds();
    return result;
}

bool DriverService::lockedByOther(uint64_t connection) const
{
    return m_lockHolder != 0 && m_lockHolder != connection;
}

// While a connection holds the lock the buffers are its own: another connection's transfer is
// refused as busy and moves nothing.
static kern_return_t refuseBusy(zynmsr::TransferRecord& record, std::vector<uint8_t>& data)
{
    data.clear();
    record.length = 0;
    record.result = zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_FAIL;
    return kIOReturnBusy;
}

kern_return_t DriverService::write(uint64_t connection, zynmsr::TransferRecord& record,
                                   std::vector<uint8_t>& data)
{
    if (record.length > data.size())
        return kIOReturnBadArgument;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (lockedByOther(connection))
        return refuseBusy(record, data);
    if (record.length > zynmsr::kDriverMTU) {
        record.result = zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_FAIL;
        record.length = 0;
        return kIOReturnSuccess;
    }
    const size_t count = size_t(record.length);
    m_controller->logEntry({LogEntry::RxChunk, m_via, 0, Bytes(data.begin(), data.begin() + std::ptrdiff_t(count)),
                            {}, Clock::now()});
    m_writeBuffer.append(data.data(), count);
    Bytes frame;
    while (m_writeBuffer.next(&frame))
        scheduleReply(m_controller->handleFrame(frame, m_via));
    record.result = zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK;
    record.length = count;
    return kIOReturnSuccess;
}

void DriverService::scheduleReply(const FakeController::Reply& reply)
{
    if (reply.bytes.empty())
        return;
    // The read buffer is one stream: nothing becomes readable before what precedes it.
    Clock::time_point at = Clock::now() + std::chrono::milliseconds(reply.delayMs);
    if (!m_readBuffer.empty())
        at = std::max(at, m_readBuffer.back().availableAt);
    const size_t parts = std::min(size_t(std::max(1, reply.splitParts)), reply.bytes.size());
    const size_t size = reply.bytes.size();
    size_t offset = 0;
    for (size_t i = 0; i < parts; ++i) {
        const size_t end = size * (i + 1) / parts;
        m_readBuffer.push_back({at, Bytes(reply.bytes.begin() + std::ptrdiff_t(offset),
                                          reply.bytes.begin() + std::ptrdiff_t(end))});
        offset = end;
        at += std::chrono::milliseconds(reply.splitGapMs);
    }
}

kern_return_t DriverService::read(uint64_t connection, zynmsr::TransferRecord& record,
                                  std::vector<uint8_t>& data)
{
    const size_t capacity = size_t(std::min<uint64_t>(record.length, zynmsr::kDriverMTU));
    Bytes out;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (lockedByOther(connection))
            return refuseBusy(record, data);
        const auto now = Clock::now();
        while (out.size() < capacity && !m_readBuffer.empty()
               && m_readBuffer.front().availableAt <= now) {
            Arrival& arrival = m_readBuffer.front();
            const size_t take = std::min(capacity - out.size(), arrival.bytes.size());
            out.insert(out.end(), arrival.bytes.begin(), arrival.bytes.begin() + std::ptrdiff_t(take));
            if (take == arrival.bytes.size())
                m_readBuffer.pop_front();
            else
                arrival.bytes.erase(arrival.bytes.begin(), arrival.bytes.begin() + std::ptrdiff_t(take));
        }
    }
    if (!out.empty())
        m_controller->logEntry({LogEntry::TxChunk, m_via, 0, out, {}, Clock::now()});
    data = std::move(out);
    record.length = data.size();
    record.result = zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK;
    return kIOReturnSuccess;
}

void DriverService::connectionGone(uint64_t connection, bool opened)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_lockHolder == connection)
            m_lockHolder = 0;
    }
    if (opened)
        m_controller->exchangeEnds();
}

} // namespace zynsim
