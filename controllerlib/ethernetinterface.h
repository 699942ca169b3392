// Transport over UDP to a controller's own network port (7890). Each frame travels in one or
// more datagrams of at most 1400 bytes.
#pragma once

#include "zyninterface.h"

#include <netinet/in.h>

#include <vector>

class EthernetInterface : public ZynInterface {
public:
    EthernetInterface();
    ~EthernetInterface() override;

    // Binds a socket and probes the controller with the identify frame; true when it answered
    // within the time-out (seconds).
    bool init(const char* ip, short port);

    int send(_IF_CMD_BLOCK* block) override;
    int recv(_IF_CMD_BLOCK* block) override;
    int syncSend(_IF_CMD_BLOCK* block) override;
    int getMTU() override { return kMTU; }
    int getDeviceHandle() override { return m_socket; }

    bool ClearReadWriteBuffer();
    // Discards every datagram waiting on the socket.
    bool ClearReadBuffer();
    bool ClearWriteBuffer() { return true; }

    static int WaitForReply(int socket, long seconds, long microseconds);

protected:
    void waitForData() override;
    // 0 polls for a reset, 6000 for a firmware block, else the time-out's (500 by default).
    int pollsFor(const _IF_CMD_BLOCK* block) override;

    static constexpr int kMTU = 1400;
    static constexpr int kProbeReplySize = 1024;

private:
    void closeSocket();
    // A fresh socket on any local address and port, or -1.
    static int openSocket();
    // Moves the session to a new socket with another local port. The reply frame carries
    // nothing that names the request it answers, so a reply that comes after its exchange gave
    // up could otherwise pass for the answer to a later request; sent to the old port, it is
    // lost instead. The old socket stays when no new one can be made.
    void renewSocket();
    int exchange(_IF_CMD_BLOCK* block);
    // Receives one datagram from the peer into `buffer`: bytes read, 0 when nothing from the
    // peer is waiting (datagrams from anyone else are dropped), -1 on failure.
    int receiveFromPeer(unsigned char* buffer, int capacity);
    // Waits up to `us` microseconds for the socket to become readable.
    bool waitReadable(long us);

    int m_socket = -1;
    sockaddr_in m_peer{};
    std::vector<unsigned char> m_scratch;   // receive scratch, made on first use
};
