// The controller's web proxy as the device layer sees it. The proxy lives in the service layer
// (gui/httpproxy); the controller gets it from the maker that layer installs
// (QZynController::SetHttpServerMaker), owns it, and deletes it before anything its connections
// use goes: deleting it ends every connection it serves.
#pragma once

class QTcpServer;

class QZynHttpService {
public:
    virtual ~QZynHttpService() = default;
    // New connections wait while the controller is stopped or paused, and are taken up again
    // when it resumes.
    virtual void pauseAccepting() = 0;
    virtual void resumeAccepting() = 0;
    // The listening server, for its address and port.
    virtual QTcpServer* tcpServer() = 0;
};
