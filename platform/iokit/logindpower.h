// The system's sleep and wake as power messages: systemd-logind's PrepareForSleep signal on the
// system bus. Going to sleep is 0xE0000280 (with a delay lock that allowPowerChange lets go);
// waking is 0xE0000320 and then 0xE0000300. There is no question before sleep (0xE0000270).
#pragma once

#include "iokit/iokit.h"

#include <memory>

namespace iokit {

class LogindPowerSource : public PowerSource {
public:
    LogindPowerSource();
    ~LogindPowerSource() override;

    // False without a system bus or without logind on it.
    bool start(std::function<void(uint32_t, intptr_t)> deliver) override;
    void stop() override;
    void allowPowerChange(intptr_t argument) override;

private:
    struct Link;
    std::unique_ptr<Link> m_link;
};

} // namespace iokit
