#include "os/mac/os_darwin_userclient.h"

#include <QDebug>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

using namespace iokit;

QDarwinUserClient::~QDarwinUserClient()
{
    if (m_connection != IO_OBJECT_NULL)
        closedev();
}

bool QDarwinUserClient::init(uint64_t entryId)
{
    m_entryId = entryId;
    qDebug("controller init okay");
    return true;
}

void QDarwinUserClient::InitRes()
{
    m_entryId = kNoEntry;
    closeConnection();  // the handle only; the controller is not told
}

int QDarwinUserClient::opendev()
{
    if (m_connection != IO_OBJECT_NULL)
        closedev();
    mach_port_t master = 0;
    kern_return_t kr = IOMasterPort(kIOMasterPortDefault, &master);
    if (kr != kIOReturnSuccess) {
        qDebug("IOMasterPort failed");
        return kr;
    }
    MatchingDictionary* matching = IORegistryEntryIDMatching(m_entryId);
    if (!matching) {
        qDebug("IOServiceMatching failed (no controller found?)");
        return -1;
    }
    io_iterator_t iterator = IO_OBJECT_NULL;
    kr = IOServiceGetMatchingServices(master, matching, &iterator);
    if (kr != kIOReturnSuccess) {
        qDebug("IOServiceGetMatchingServices failed");
        return kr;
    }
    const io_service_t service = IOIteratorNext(iterator);
    IOObjectRelease(iterator);
    if (service == IO_OBJECT_NULL)
        return kIOReturnNoDevice;
    io_connect_t connection = IO_OBJECT_NULL;
    kr = IOServiceOpen(service, mach_task_self(), 0, &connection);
    IOObjectRelease(service);
    if (kr != kIOReturnSuccess) {
        qDebug("IOServiceOpen failed code = %x", static_cast<unsigned>(kr));
        return kr;
    }
    adoptConnection(connection);
    kr = callScalar(zynmsr::kSelOpen);
    if (kr != kIOReturnSuccess) {
        qDebug("controller open failed");
        closeConnection();
        return kr;
    }
    m_opened = true;
    return 0;
}

int QDarwinUserClient::closedev()
{
    if (m_connection == IO_OBJECT_NULL)
        return 0;
    kern_return_t kr = kIOReturnSuccess;
    if (m_opened)
        kr = callScalar(zynmsr::kSelClose);
    closeConnection();
    return kr;
}

int QDarwinUserClient::send(_IF_CMD_BLOCK* block)
{
    if (!m_opened || !block || block->writeLength < 0)
        return -1;
    zynmsr::TransferRecord record;
    if (callTransfer(zynmsr::kSelWrite, block->writeBuffer, block->writeLength, &record) !=
        kIOReturnSuccess)
        return -1;
    if (record.result != zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK)
        return 0;
    return static_cast<int>(std::min<uint64_t>(
        record.length, std::min<uint64_t>(static_cast<uint64_t>(block->writeLength), INT_MAX)));
}

int QDarwinUserClient::recv(_IF_CMD_BLOCK* block)
{
    if (!m_opened || !block || block->readLength < 0)
        return -1;
    zynmsr::TransferRecord record;
    if (callTransfer(zynmsr::kSelRead, block->readBuffer, block->readLength, &record) !=
        kIOReturnSuccess) {
        qDebug("recv(): kernResult != KERN_SUCCESS\n");
        return -1;
    }
    if (record.result != zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK)
        qDebug("recv(): cmd.result != ZYNMSR_USERCLIENT_RETURNCODE_OK, %x\n", record.result);
    return static_cast<int>(std::min<uint64_t>(
        record.length, std::min<uint64_t>(static_cast<uint64_t>(block->readLength), INT_MAX)));
}

void QDarwinUserClient::reportLockFailure(kern_return_t kernResult)
{
    qDebug("requirelock(): kernResult != kIOReturnSuccess, kernResult = 0x%X",
           static_cast<unsigned>(kernResult));
}

int QDarwinUserClient::syncSend(_IF_CMD_BLOCK* block)
{
    if (!blockUsable(block))
        return ZYN_IO_BAD_BLOCK;
    std::unique_ptr<unsigned char[]> scratch(new (std::nothrow) unsigned char[kZynScratchSize]);
    if (!scratch)
        return ZYN_IO_OPEN_FAILED;
    if (opendev() != 0)
        return ZYN_IO_QOPEN_FAILED;
    std::memset(scratch.get(), 0, kZynScratchSize);
    const int result = lockedExchange(block, scratch.get(), kZynScratchSize);
    closedev();
    return result;
}
