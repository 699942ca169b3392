// The polling of one controller as the device layer sees it. The polling worker lives in the
// layer above (gui/watcher); the controller holds it through this interface and gets it from
// the maker that layer installs (QZynController::SetPollerMaker).
#pragma once

class QZynPoller {
public:
    virtual ~QZynPoller() = default;
    // Starts polling; returns at once.
    virtual void Start() = 0;
    // Stops polling; returns when the polling has ended.
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
};
