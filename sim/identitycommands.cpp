// The controller's identity, settings and maintenance commands, the restart, and the SNMP agent
// and web server behind 0x1E and 0x16 (the rules: the top of simulator.h).
#include "controllerimpl.h"
#include "keyfile.h"
#include "simframe.h"
#include "snmpagent.h"
#include "zynconst.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace zynsim {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr size_t kAccess16Size = 16;
constexpr size_t kAccess8Size = 8;
constexpr uint8_t kAccess16Lead = 15;
constexpr uint8_t kAccess8Lead = 8;
constexpr size_t kIdentityTextAt = 17;          // after lead, access string and filler
constexpr size_t kSerialCommandSize = 33;
constexpr size_t kVendorCommandSize = 57;
constexpr size_t kModelCommandSize = 25;
constexpr size_t kMacCommandSize = 23;
constexpr size_t kPasswordFieldSize = 16;
constexpr size_t kPasswordMaxLength = 15;
constexpr size_t kTimeCommandSize = 15;
constexpr size_t kUtcTimeCommandSize = 17;
constexpr size_t kLogoHeader = 5;
constexpr size_t kLogoPageSize = 2000;
constexpr uint8_t kLogoClear = 0xFF;
constexpr uint8_t kLogoMagic[4] = {'U', 0xAA, 0xA5, 'Z'};
constexpr int kOlderLogoPages = 4;
constexpr size_t kFirmwareDataAt = 13;
constexpr size_t kFirmwareBlockMax = 512;
constexpr uint8_t kLastBlock = 0x80;
constexpr size_t kRtcSize = 8;

Bytes answer(uint8_t letter)
{
    return frame::encodeStatus(letter);
}

Bytes accepted()
{
    return answer('A');
}

Bytes refused()
{
    return answer('G');
}

// [0] = lead, then the access string.
bool carriesAccess(const Bytes& p, uint8_t lead, const char* access, size_t length)
{
    return p.size() > length && p[0] == lead && std::equal(access, access + length, p.begin() + 1);
}

bool allAre(const Bytes& p, size_t at, size_t count, uint8_t value)
{
    return p.size() >= at + count
        && std::all_of(p.begin() + std::ptrdiff_t(at), p.begin() + std::ptrdiff_t(at + count),
                       [value](uint8_t b) { return b == value; });
}

// Bytes [at, at + width) up to the first NUL.
std::string textAt(const Bytes& p, size_t at, size_t width)
{
    const auto from = p.begin() + std::ptrdiff_t(at);
    const auto to = from + std::ptrdiff_t(width);
    return std::string(from, std::find(from, to, uint8_t(0)));
}

std::string withoutTrailingBlanks(std::string s)
{
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// The text of an identity command whose text is blank-filled: up to a NUL, trailing blanks cut.
bool blankFilledText(const Bytes& p, size_t size, size_t width, std::string* out)
{
    if (p.size() != size || !carriesAccess(p, kAccess8Lead, zynconst::kAccessString8, kAccess8Size)
        || !allAre(p, 1 + kAccess8Size, 8, ' '))
        return false;
    *out = withoutTrailingBlanks(textAt(p, kIdentityTextAt, width));
    return !out->empty();
}

bool leapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysIn(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

uint8_t bcd(int value)
{
    return uint8_t(((value / 10) << 4) | (value % 10));
}

bool olderFamily(const ControllerConfig& config)
{
    return config.profile == Profile::Older || config.profile == Profile::E100;
}

// A one-byte setting at most `highest`.
Bytes setByte(const Bytes& p, uint8_t highest, uint8_t* into)
{
    if (p.size() != 1 || p[0] > highest)
        return refused();
    *into = p[0];
    return accepted();
}

} // namespace

// ---- Identity

Bytes FakeController::Impl::setSerial(Impl& self, const Bytes& p)
{
    if (p.size() != kSerialCommandSize || !carriesAccess(p, kAccess16Lead, zynconst::kAccessString16, kAccess16Size))
        return refused();
    const std::string text = textAt(p, kIdentityTextAt, 16);
    if (text.empty())
        return refused();
    self.serial = text;
    return accepted();
}

Bytes FakeController::Impl::setVendor(Impl& self, const Bytes& p)
{
    std::string text;
    if (!blankFilledText(p, kVendorCommandSize, 40, &text))
        return refused();
    self.vendor = text;
    return accepted();
}

Bytes FakeController::Impl::setModel(Impl& self, const Bytes& p)
{
    std::string text;
    if (!blankFilledText(p, kModelCommandSize, 8, &text))
        return refused();
    self.modelName = text;
    return accepted();
}

Bytes FakeController::Impl::setMac(Impl& self, const Bytes& p)
{
    if (p.size() != kMacCommandSize || !carriesAccess(p, kAccess8Lead, zynconst::kAccessString8, kAccess8Size)
        || !allAre(p, 1 + kAccess8Size, 8, 0))
        return refused();
    std::copy_n(p.begin() + kIdentityTextAt, self.mac.size(), self.mac.begin());
    return accepted();
}

Bytes FakeController::Impl::setUnitSerial(Impl& self, const Bytes& p)
{
    if (!(self.config.capabilities & zynconst::kCapUnitSerialCommand))
        return answer('H');
    if (p.size() != kSerialCommandSize || !carriesAccess(p, kAccess16Lead, zynconst::kAccessString16, kAccess16Size))
        return refused();
    const std::string text = textAt(p, kIdentityTextAt, 16);
    if (text.empty())
        return refused();
    self.setup->putField(setup::kUnitSerial, Bytes(text.begin(), text.end()));
    return accepted();
}

Bytes FakeController::Impl::setPassword(Impl& self, const Bytes& p)
{
    if (p.size() != kPasswordFieldSize || p[0] > kPasswordMaxLength)
        return refused();
    self.password.assign(p.begin() + 1, p.begin() + 1 + p[0]);
    self.setup->putPassword(self.password);
    return accepted();
}

// ---- Clock

Bytes FakeController::Impl::setTime(Impl& self, const Bytes& p)
{
    const bool utc = p.size() == kUtcTimeCommandSize;
    if ((p.size() != kTimeCommandSize && !utc)
        || !carriesAccess(p, kAccess8Lead, zynconst::kAccessString8, kAccess8Size))
        return refused();
    if (utc && (!(self.config.capabilities & zynconst::kCapUtcClock) || p[15] != 0x55 || p[16] != 0xAA))
        return refused();
    ClockSetting c;
    c.set = true;
    c.year = p[9];
    c.month = p[10];
    c.day = p[11];
    c.hour = p[12];
    c.minute = p[13];
    c.second = p[14];
    c.utc = utc;
    if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > daysIn(2000 + c.year, c.month) || c.hour > 23
        || c.minute > 59 || c.second > 59)
        return refused();
    self.clock = c;
    self.clockSetAt = SteadyClock::now();
    return accepted();
}

Bytes FakeController::Impl::realTimeClock(Impl& self, const Bytes& p)
{
    if (p.size() <= 10 || p[10] != 0)
        return refused();
    std::tm t{};
    if (self.clock.set) {
        // The set clock runs on as a calendar: no time zone is applied either way.
        std::tm base{};
        base.tm_year = 100 + self.clock.year;
        base.tm_mon = self.clock.month - 1;
        base.tm_mday = self.clock.day;
        base.tm_hour = self.clock.hour;
        base.tm_min = self.clock.minute;
        base.tm_sec = self.clock.second;
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(SteadyClock::now() - self.clockSetAt);
        const std::time_t now = timegm(&base) + std::time_t(elapsed.count());
        gmtime_r(&now, &t);
    } else {
        const std::time_t now = std::time(nullptr);
        localtime_r(&now, &t);
    }
    Bytes data(kRtcSize, 0);
    data[0] = bcd(t.tm_sec % 60);
    data[1] = bcd(t.tm_min);
    data[2] = bcd(t.tm_hour);
    data[3] = bcd(t.tm_wday);
    data[4] = bcd(t.tm_mday);
    data[5] = bcd(t.tm_mon + 1);
    data[6] = bcd((t.tm_year + 1900) % 100);
    return frame::encodeData(data);
}

// ---- 0x1F operations of the firmware

FakeController::Impl::Handler FakeController::Impl::setupOperation(uint8_t op)
{
    switch (op) {
    case setup::OpFirmwareBlock: return &Impl::firmwareBlock;
    case setup::OpLcdTitle: return &Impl::lcdTitleSetting;
    case setup::OpRealTimeClock: return &Impl::realTimeClock;
    case setup::OpFailDisk: return &Impl::failDiskOperation;
    case setup::OpActivateDisk: return &Impl::activateDiskOperation;
    case setup::OpScheduleCheck: return &Impl::scheduleVolumeCheck;
    default: return nullptr;
    }
}

Bytes FakeController::Impl::lcdTitleSetting(Impl& self, const Bytes& p)
{
    if (p.size() < 12 || p[10] != 0 || p[11] > 1)
        return refused();
    self.lcdTitle = p[11];
    return accepted();
}

Bytes FakeController::Impl::firmwareBlock(Impl& self, const Bytes& p)
{
    if (p.size() < kFirmwareDataAt + 1 || p.size() > kFirmwareDataAt + kFirmwareBlockMax + 1 || p[10] != 0
        || p.back() != 0)
        return refused();
    const int block = p[11] | ((p[12] & 0x7F) << 8);
    const bool last = (p[12] & kLastBlock) != 0;
    if (block == 0) {
        self.upload.clear();
        self.nextBlock = 0;
    }
    if (block != self.nextBlock) {
        self.upload.clear();
        self.nextBlock = 0;
        return answer('R');
    }
    self.upload.insert(self.upload.end(), p.begin() + kFirmwareDataAt, p.end() - 1);
    ++self.nextBlock;
    if (!last)
        return accepted();
    Bytes image;
    image.swap(self.upload);
    self.nextBlock = 0;
    // A key file travels the same road; the rest is firmware.
    if (image.size() >= zynkey::kMagicSize && std::equal(image.begin(), image.begin() + long(zynkey::kMagicSize), zynkey::kMagic)) {
        return answer(self.model->commandLoadKeyFile(image));
    }
    char verdict = self.firmwareVerdict;
    if (verdict == 'A' && image.empty())
        verdict = 'Q';
    if (verdict == 'A') {
        self.firmware = std::move(image);
        ++self.firmwareUpdates;
    }
    return answer(uint8_t(verdict));
}

// ---- Logo

Bytes FakeController::Impl::setLogoPage(Impl& self, const Bytes& p)
{
    if (p.size() < kLogoHeader || !std::equal(std::begin(kLogoMagic), std::end(kLogoMagic), p.begin() + 1))
        return refused();
    if (p.size() == kLogoHeader && p[0] == kLogoClear) {
        for (Bytes& page : self.logo)
            page.clear();
        return accepted();
    }
    const int pages = olderFamily(self.config) ? kOlderLogoPages : kLogoPagesMax;
    if (p.size() == kLogoHeader || p.size() > kLogoHeader + kLogoPageSize || p[0] >= pages)
        return refused();
    self.logo[p[0]].assign(p.begin() + kLogoHeader, p.end());
    return accepted();
}

// ---- Settings

Bytes FakeController::Impl::muteBeeper(Impl& self, const Bytes& p)
{
    if (!p.empty())
        return refused();
    ++self.beeperMutes;
    return accepted();
}

Bytes FakeController::Impl::setBeeper(Impl& self, const Bytes& p)
{
    return setByte(p, 1, &self.beeper);
}

Bytes FakeController::Impl::setHostMode(Impl& self, const Bytes& p)
{
    return setByte(p, 1, &self.hostMode);
}

Bytes FakeController::Impl::setRebuildPriority(Impl& self, const Bytes& p)
{
    return setByte(p, 3, &self.rebuildPriority);
}

Bytes FakeController::Impl::setMaxAtaMode(Impl& self, const Bytes& p)
{
    // The families count the modes differently: any value is taken as sent.
    return setByte(p, 0xFF, &self.maxAtaMode);
}

Bytes FakeController::Impl::setTermPort(Impl& self, const Bytes& p)
{
    if (p.size() != self.termPort.size() || p[0] > 1 || p[1] > 7 || p[2] != 1 || p[3] > 1 || p[4] != 0 || p[5] != 0)
        return refused();
    std::copy(p.begin(), p.end(), self.termPort.begin());
    return accepted();
}

Bytes FakeController::Impl::setDhcpIp(Impl& self, const Bytes& p)
{
    if (p.size() != 1 + self.ip.size() || p[0] > 1)
        return refused();
    self.dhcp = p[0];
    std::copy(p.begin() + 1, p.end(), self.ip.begin());
    self.setup->putField(setup::kDhcp, {self.dhcp});
    self.setup->putField(setup::kIpAddress, Bytes(self.ip.begin(), self.ip.end()));
    return accepted();
}

// ---- Restart

Bytes FakeController::Impl::reset(Impl& self, const Bytes&)
{
    // No answer; the controller is away for the silence, then logs its power-on.
    self.rebooting = true;
    self.loggedIn = false;
    self.rebootEnds = SteadyClock::now() + std::chrono::milliseconds(std::max(0, self.config.resetSilenceMs));
    if (self.config.resetSilenceMs <= 0)
        self.settleRestart();
    return {};
}

void FakeController::Impl::settleRestart()
{
    if (!rebooting || SteadyClock::now() < rebootEnds)
        return;
    rebooting = false;
    loggedIn = false;
    bootedAt = SteadyClock::now();
    http.clear();
    upload.clear();
    nextBlock = 0;
    model->logPowerOn();
}

// ---- The agent and the web server

Bytes FakeController::Impl::snmpRequest(Impl& self, const Bytes& p)
{
    std::string community = self.setup->fieldText(setup::kSnmpCommunity);
    if (community.empty())
        community = zynconst::kDefaultCommunity;
    snmp::SystemGroup values;
    values.description = "Varnel RAID controller " + self.modelName;
    const auto up = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - self.bootedAt);
    values.upTimeTicks = uint32_t(uint64_t(up.count()) / 10);
    values.contact = self.setup->fieldText(setup::kSnmpContact);
    values.name = self.setup->fieldText(setup::kSnmpName);
    values.location = self.setup->fieldText(setup::kSnmpLocation);
    Bytes reply;
    switch (snmp::answer(p, community, values, &reply)) {
    case snmp::Outcome::Reply: return frame::encodeData(reply);
    case snmp::Outcome::Ignored: return {};
    case snmp::Outcome::Malformed: break;
    }
    return refused();
}

Bytes FakeController::Impl::httpPiece(Impl& self, const Bytes& p)
{
    if (p.empty() || p.size() > web::kMaxPiece)
        return refused();
    const auto result = self.http.add(self.currentVia + "|" + self.currentPeer, p.data(), p.size(), SteadyClock::now());
    switch (result.state) {
    case web::Requests::Result::Incomplete:
        return {};
    case web::Requests::Result::Refused:
        return web::replyFrame(web::errorResponse(result.status));
    case web::Requests::Result::Complete:
        break;
    }
    self.lastHttpRequest = result.request;
    return web::replyFrame(web::respond(result.request, "Varnel RAID controller " + self.modelName));
}

// ---- Accessors

std::string FakeController::password() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->password;
}

std::string FakeController::unitSerial() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->setup->fieldText(setup::kUnitSerial);
}

ClockSetting FakeController::clockSetting() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->clock;
}

Bytes FakeController::logoPage(int page) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return page >= 0 && page < kLogoPagesMax ? d->logo[size_t(page)] : Bytes();
}

Bytes FakeController::firmwareImage() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->firmware;
}

int FakeController::firmwareUpdates() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->firmwareUpdates;
}

void FakeController::setFirmwareVerdict(char letter)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->firmwareVerdict = letter;
}

uint8_t FakeController::beeper() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->beeper;
}

int FakeController::beeperMutes() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->beeperMutes;
}

uint8_t FakeController::hostMode() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->hostMode;
}

uint8_t FakeController::rebuildPriority() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->rebuildPriority;
}

uint8_t FakeController::maxAtaMode() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->maxAtaMode;
}

Bytes FakeController::termPort() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return Bytes(d->termPort.begin(), d->termPort.end());
}

uint8_t FakeController::dhcp() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->dhcp;
}

uint8_t FakeController::lcdTitle() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->lcdTitle;
}

std::string FakeController::lastHttpRequest() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->lastHttpRequest;
}

bool FakeController::restarting() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->settleRestart();
    return d->rebooting;
}

} // namespace zynsim
