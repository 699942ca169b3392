// The driver front end: the controller's kernel driver as a user-client service. All
// connections of one service share its write buffer, read buffer and driver-wide lock; while a
// connection holds the lock, the others' writes, reads and clears are refused with
// kIOReturnBusy (a transfer record says FAIL and 0 bytes) and leave the buffers alone.
#pragma once

#include "simframe.h"
#include "simulator.h"

#include <iokit/userclient_service.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

namespace zynsim {

class DriverService : public iokit::UserClientService,
                      public std::enable_shared_from_this<DriverService> {
public:
    static constexpr size_t kWriteBufferLimit = 0x30000;

    DriverService(std::shared_ptr<FakeController> controller, uint64_t entryId);
    ~DriverService() override;

    std::unique_ptr<iokit::UserClientConnection> open() override;

    // The device goes away: opens are refused and calls on live connections fail with
    // kIOReturnInvalidConnection, as they do when the stand-in's socket is gone.
    void withdraw();

    const std::shared_ptr<FakeController>& controller() const { return m_controller; }
    uint64_t entryId() const { return m_entryId; }
    const std::string& via() const { return m_via; }

private:
    friend class DriverConnection;
    using Clock = std::chrono::steady_clock;
    struct Arrival {
        Clock::time_point availableAt;
        Bytes bytes;
    };

    iokit::kern_return_t scalarCall(uint64_t connection, bool* opened, uint32_t selector);
    iokit::kern_return_t write(uint64_t connection, zynmsr::TransferRecord& record,
                               std::vector<uint8_t>& data);
    iokit::kern_return_t read(uint64_t connection, zynmsr::TransferRecord& record,
                              std::vector<uint8_t>& data);
    bool lockedByOther(uint64_t connection) const;            // with m_mutex held
    void connectionGone(uint64_t connection, bool opened);
    void scheduleReply(const FakeController::Reply& reply);   // with m_mutex held

    const std::shared_ptr<FakeController> m_controller;
    const uint64_t m_entryId;
    const std::string m_via;

    std::mutex m_mutex;
    bool m_withdrawn = false;
    uint64_t m_nextConnection = 1;
    uint64_t m_lockHolder = 0;   // connection id, 0: free
    frame::Assembler m_writeBuffer{kWriteBufferLimit};
    std::deque<Arrival> m_readBuffer;
};

} // namespace zynsim
