// The application's transport to a controller found by its registry entry id: every exchange
// opens the driver, takes its lock, exchanges one frame and closes again.
#pragma once

#include "darwinuserclient.h"

#include <cstdint>

class QDarwinUserClient : public ZynUserClientTransport {
public:
    static constexpr uint64_t kNoEntry = ~uint64_t(0);

    QDarwinUserClient() = default;
    ~QDarwinUserClient() override;

    bool init(uint64_t entryId);
    uint64_t GetEntryID() const { return m_entryId; }
    // Forgets the controller and drops the connection handle without the close selector.
    void InitRes();

    // 0 when opened, else the code of the call that failed.
    int opendev();
    // The close selector's result; 0 when there was no connection.
    int closedev();

    int send(_IF_CMD_BLOCK* block) override;
    int recv(_IF_CMD_BLOCK* block) override;
    int syncSend(_IF_CMD_BLOCK* block) override;

protected:
    void reportLockFailure(iokit::kern_return_t kernResult) override;

private:
    uint64_t m_entryId = kNoEntry;
};
