// The controller model: answers command frames the way the firmware does, with scripted
// answers and faults on top, and keeps the frame log.
#include "controllerimpl.h"
#include "simframe.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <map>

#include <fcntl.h>
#include <unistd.h>

namespace zynsim {

namespace {

// Commands that read only. Kept in one place: the password check depends on it.
constexpr uint8_t kReadCommands[] = {
    0x13, 0x14, 0x15, 0x16, 0x19, 0x1A, 0x1B, 0x1C, 0x1E, 0x20, 0x21, 0x22, 0x23, 0xEE,
};
// 0x24 (clear the event log) changes the controller: in password mode it needs a log-in.
// The setup-data command reads with these operations and changes the controller with the others.
constexpr uint8_t kSetupCommand = 0x1F;
// What the stricter password mode answers without a log-in: identify, and the log-in itself.
constexpr uint8_t kIdentifyCommand = 0x13;
constexpr uint8_t kLogInCommand = 0x14;
constexpr uint8_t kSetupReadOperations[] = {
    setup::OpReadPage, setup::OpRaidSetBitmap, setup::OpOtherVolumeBitmap, setup::OpVolumeBitmap,
    setup::OpRealTimeClock,
};

constexpr size_t kLogLimit = 10000;
constexpr size_t kSystemInfoSize = sizeof(sSYSTEM_INFO);
constexpr size_t kIdentifySize = 64;
constexpr size_t kIdentifyModelOffset = 24;
constexpr size_t kPasswordFieldSize = 16;
constexpr size_t kPasswordMaxLength = 15;

constexpr const char* kVendorName = "Varnel Technologies";
constexpr size_t kDhcpByte = 158;
constexpr size_t kBeeperByte = 159;
constexpr const char* kBootRomVersion = "B1.02 2019-06-11";
constexpr const char* kMbrVersion = "M1.04 2020-01-20";

// Process-wide count of controllers made; it makes serials and MAC addresses distinct.
std::atomic<unsigned> g_controllerCount{0};

void putText(Bytes& record, size_t offset, size_t width, const std::string& text)
{
    std::memset(record.data() + offset, 0, width);
    std::memcpy(record.data() + offset, text.data(), std::min(text.size(), width));
}

// The data reply of a handler. One data byte would read as a status letter on the client's
// side, so no handler answers with one byte.
Bytes dataReply(const Bytes& data)
{
    assert(data.size() != 1);
    return frame::encodeData(data);
}

Bytes modelReply(const DeviceModel::Reply& reply)
{
    return reply.letter ? frame::encodeStatus(reply.letter) : dataReply(reply.data);
}

const char* kindName(LogEntry::Kind kind)
{
    switch (kind) {
    case LogEntry::RxChunk: return "RxChunk";
    case LogEntry::RxFrame: return "RxFrame";
    case LogEntry::TxFrame: return "TxFrame";
    case LogEntry::TxChunk: return "TxChunk";
    }
    return "?";
}

std::string wallClock()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    localtime_r(&seconds, &parts);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    char out[48];
    std::snprintf(out, sizeof out, "%s.%03d", text, int(ms));
    return out;
}

} // namespace

bool isReadCommand(uint8_t command)
{
    for (uint8_t c : kReadCommands)
        if (c == command)
            return true;
    return false;
}

bool isReadRequest(uint8_t command, const Bytes& payload)
{
    if (command != kSetupCommand)
        return isReadCommand(command);
    if (payload.size() <= setup::kOperationAt)
        return false;
    for (uint8_t op : kSetupReadOperations)
        if (op == payload[setup::kOperationAt])
            return true;
    return false;
}

bool profileFromName(const std::string& name, Profile* out)
{
    static const std::pair<const char*, Profile> names[] = {
        {"older", Profile::Older},
        {"enclosure", Profile::Enclosure},
        {"jbod", Profile::Jbod},
        {"jbod6g", Profile::Jbod6G},
        {"e100", Profile::E100},
    };
    for (const auto& entry : names) {
        if (name == entry.first) {
            if (out)
                *out = entry.second;
            return true;
        }
    }
    return false;
}

std::string profileName(Profile profile)
{
    switch (profile) {
    case Profile::Older: return "older";
    case Profile::Enclosure: return "enclosure";
    case Profile::Jbod: return "jbod";
    case Profile::Jbod6G: return "jbod6g";
    case Profile::E100: return "e100";
    }
    return "?";
}

Answer Answer::status(uint8_t letter)
{
    Answer a;
    a.kind = Status;
    a.letter = letter;
    return a;
}

Answer Answer::data(Bytes data)
{
    Answer a;
    a.kind = Data;
    a.bytes = std::move(data);
    return a;
}

Answer Answer::raw(Bytes bytes)
{
    Answer a;
    a.kind = Raw;
    a.bytes = std::move(bytes);
    return a;
}

Answer Answer::silence()
{
    Answer a;
    a.kind = Silence;
    return a;
}

Answer Answer::model()
{
    return Answer();
}

const std::map<uint8_t, FakeController::Impl::Handler>& FakeController::Impl::handlers()
{
    static const std::map<uint8_t, Handler> table = {
        {0x10, &Impl::setSerial},
        {0x11, &Impl::setVendor},
        {0x12, &Impl::setModel},
        {0x13, &Impl::identify},
        {0x14, &Impl::logIn},
        {0x15, &Impl::logOut},
        {0x16, &Impl::httpPiece},
        {0x17, &Impl::setMac},
        {0x18, &Impl::setLogoPage},
        {0x19, &Impl::pollEvents},
        {0x1A, &Impl::eventPage},
        {0x1B, &Impl::hardwareMonitor},
        {0x1C, &Impl::passthrough},
        {0x1D, &Impl::setTime},
        {0x1E, &Impl::snmpRequest},
        {kSetupCommand, &Impl::setupData},
        {0x20, &Impl::raidSetInfo},
        {0x21, &Impl::volumeSetInfo},
        {0x22, &Impl::driveInfo},
        {0x23, &Impl::systemInformation},
        {0x24, &Impl::clearEvents},
        {0x30, &Impl::muteBeeper},
        {0x31, &Impl::setBeeper},
        {0x32, &Impl::setPassword},
        {0x33, &Impl::setHostMode},
        {0x34, &Impl::setRebuildPriority},
        {0x35, &Impl::setMaxAtaMode},
        {0x36, &Impl::reset},
        {0x37, &Impl::setTermPort},
        {0x39, &Impl::setDhcpIp},
        {0x40, &Impl::createPassThrough},
        {0x41, &Impl::modifyPassThrough},
        {0x42, &Impl::deletePassThrough},
        {0x43, &Impl::identifyDrive},
        {0x44, &Impl::revertSp},
        {0x45, &Impl::eraseFailDisk},
        {0x46, &Impl::cloneDisk},
        {0x47, &Impl::expander},
        {0x50, &Impl::createRaidSet},
        {0x51, &Impl::deleteRaidSet},
        {0x52, &Impl::expandRaidSet},
        {0x53, &Impl::activateRaidSet},
        {0x54, &Impl::createHotSpare},
        {0x55, &Impl::deleteHotSpare},
        {0x56, &Impl::offlineRaidSet},
        {0x57, &Impl::createSedRaidSet},
        {0x58, &Impl::deleteSedRaidSet},
        {0x59, &Impl::deleteIseRaidSet},
        {0x5A, &Impl::sedKeyCommand},
        {0x60, &Impl::createVolume},
        {0x61, &Impl::modifyVolume},
        {0x62, &Impl::deleteVolume},
        {0x63, &Impl::startCheck},
        {0x64, &Impl::stopCheck},
        {0x65, &Impl::createNestedVolume},
        {0x66, &Impl::lockVolume},
        {0xEF, &Impl::setUnitSerial},
        {0xF4, &Impl::expanderDhpm},
        {0xF5, &Impl::expanderLinkSpeed},
    };
    return table;
}

Bytes FakeController::Impl::identify(Impl& self, const Bytes&)
{
    return dataReply(self.identifyLocked());
}

Bytes FakeController::Impl::logIn(Impl& self, const Bytes& payload)
{
    // A 16-byte field: the length, then up to 15 characters.
    if (payload.size() != kPasswordFieldSize || payload[0] > kPasswordMaxLength)
        return frame::encodeStatus('G');
    const std::string given(reinterpret_cast<const char*>(payload.data() + 1), payload[0]);
    if (given == self.password || (given == kRoadPassword && !self.roadPasswordRefused)) {
        self.loggedIn = true;
        self.loggedInAt = std::chrono::steady_clock::now();
        return frame::encodeStatus('A');
    }
    return frame::encodeStatus('J');
}

Bytes FakeController::Impl::logOut(Impl& self, const Bytes&)
{
    self.loggedIn = false;
    return frame::encodeStatus('A');
}

Bytes FakeController::Impl::systemInformation(Impl& self, const Bytes&)
{
    return dataReply(self.systemInfoLocked());
}

Bytes FakeController::Impl::pollEvents(Impl& self, const Bytes&)
{
    return modelReply(self.model->pollEvents());
}

Bytes FakeController::Impl::eventPage(Impl& self, const Bytes& payload)
{
    return modelReply(self.model->eventPage(payload));
}

Bytes FakeController::Impl::clearEvents(Impl& self, const Bytes&)
{
    return modelReply(self.model->clearEvents());
}

Bytes FakeController::Impl::hardwareMonitor(Impl& self, const Bytes& payload)
{
    return modelReply(self.model->hardwareMonitor(payload));
}

Bytes FakeController::Impl::raidSetInfo(Impl& self, const Bytes& payload)
{
    return modelReply(self.model->raidSetInfo(payload));
}

Bytes FakeController::Impl::volumeSetInfo(Impl& self, const Bytes& payload)
{
    return modelReply(self.model->volumeSetInfo(payload));
}

Bytes FakeController::Impl::driveInfo(Impl& self, const Bytes& payload)
{
    return modelReply(self.model->driveInfo(payload));
}

Bytes FakeController::Impl::setupData(Impl& self, const Bytes& payload)
{
    if (setup::hasPrefix(payload))
        if (const Handler operation = setupOperation(payload[setup::kOperationAt]))
            return operation(self, payload);
    return modelReply(self.setup->handle(payload, *self.model));
}

Bytes FakeController::Impl::modelAnswer(uint8_t command, const Bytes& payload)
{
    const bool needsLogIn = logInForEveryCommand ? command != kIdentifyCommand && command != kLogInCommand
                                                 : !isReadRequest(command, payload);
    if (passwordRequired && needsLogIn && !logInHolds())
        return frame::encodeStatus('M');
    const auto& table = handlers();
    const auto it = table.find(command);
    if (it == table.end())
        return frame::encodeStatus('H');
    return it->second(*this, payload);
}

bool FakeController::Impl::logInHolds()
{
    if (loggedIn && logInLapseMs > 0
        && std::chrono::steady_clock::now() - loggedInAt >= std::chrono::milliseconds(logInLapseMs))
        loggedIn = false;
    return loggedIn;
}

bool FakeController::Impl::takeScript(uint8_t command, const Bytes& payload, Answer* answer)
{
    auto take = [answer, &payload](std::deque<Script>& queue) {
        for (auto script = queue.begin(); script != queue.end(); ++script) {
            const Bytes& prefix = script->answer.payloadPrefix;
            if (prefix.size() > payload.size() || !std::equal(prefix.begin(), prefix.end(), payload.begin()))
                continue;
            *answer = script->answer;
            if (--script->left <= 0)
                queue.erase(script);
            return true;
        }
        return false;
    };
    const auto it = scripts.find(command);
    if (it != scripts.end() && take(it->second)) {
        if (it->second.empty())
            scripts.erase(it);
        return true;
    }
    return take(scriptsAll);
}

Bytes FakeController::Impl::identifyLocked() const
{
    Bytes data(kIdentifySize, 0);
    const char* text = "Varnel RAID Subsystem";
    if (config.profile == Profile::Jbod)
        text = "Varnel JBOD Subsystem";
    else if (config.profile == Profile::Jbod6G)
        text = "Varnel 6G JBOD Subsystem";
    putText(data, 0, kIdentifyModelOffset, text);
    putText(data, kIdentifyModelOffset, kIdentifySize - kIdentifyModelOffset,
            std::to_string(config.modelNumber));
    return data;
}

Bytes FakeController::Impl::systemInfoLocked() const
{
    Bytes r(kSystemInfoSize, 0);
    const std::string modelNumber = std::to_string(config.modelNumber);
    const bool jbod = config.profile == Profile::Jbod || config.profile == Profile::Jbod6G;
    using S = sSYSTEM_INFO;
    putText(r, S::kVendorName, S::kVendorNameSize, vendor);
    putText(r, S::kSerialNumber, S::kSerialNumberSize, serial);
    putText(r, S::kFirmwareVersion, S::kFirmwareVersionSize, config.firmware);
    putText(r, S::kBootRomVersion, S::kBootRomVersionSize, kBootRomVersion);
    putText(r, S::kMbrVersion, S::kMbrVersionSize, kMbrVersion);
    putText(r, S::kModelName, S::kModelNameSize, modelName);
    std::memcpy(r.data() + S::kIpAddress, ip.data(), ip.size());
    std::memcpy(r.data() + S::kMacAddress, mac.data(), mac.size());
    r[kDhcpByte] = dhcp;
    r[kBeeperByte] = beeper;
    r[S::kJbodMode] = jbod ? 1 : 0;
    // Processor, caches (bytes) and memory (MB, MHz, ECC).
    zynwire::putU32(r.data() + S::kProcessorClock, 800);
    zynwire::putU32(r.data() + S::kICacheSize, 32768);
    zynwire::putU32(r.data() + S::kDCacheSize, 32768);
    zynwire::putU32(r.data() + S::kSCacheSize, 262144);
    zynwire::putU32(r.data() + S::kMemorySize, 1024);
    zynwire::putU32(r.data() + S::kMemoryClock, 533);
    r[S::kMemoryEcc] = 1;
    r[S::kOnBoardNetwork] = config.onBoardNetwork ? 1 : 0;
    r[S::kRaid6Support] = config.raid6 ? 1 : 0;
    r[S::kBoardType] = config.boardType >= 0 && config.boardType <= 255 ? uint8_t(config.boardType)
                                                                        : setup::boardTypeOf(setup->layout());
    // Ring capacity, channels, set numbers, family, enclosures, extended volume record.
    model->fillSystemInfo(r);
    if (config.family >= 0 && config.family <= 255)
        r[S::kFamily] = uint8_t(config.family);
    putText(r, S::kModelSuffix, S::kModelSuffixSize - 1, "-" + modelNumber);   // the last byte stays NUL
    r[S::kCapabilities] = config.capabilities;
    return r;
}

void FakeController::Impl::writeLogLine(const LogEntry& entry)
{
    if (logFd < 0)
        return;
    char command[4];
    std::snprintf(command, sizeof command, "%02X", entry.command);
    std::string line = wallClock();
    line += ' ';
    line += entry.via;
    line += ' ';
    line += kindName(entry.kind);
    line += ' ';
    line += command;
    line += ' ';
    line += entry.peer.empty() ? "-" : entry.peer;
    line += ' ';
    line += entry.bytes.empty() ? "-" : frame::hex(entry.bytes);
    line += '\n';
    // One write per line: with O_APPEND, several controllers can share one file.
    const char* p = line.data();
    size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(logFd, p, left);
        if (n <= 0)
            break;
        p += n;
        left -= size_t(n);
    }
}

FakeController::FakeController(const ControllerConfig& config)
    : d(new Impl)
{
    // The setup layout decides the board type and, from layout 1 on, the volume-set numbers.
    d->config = config;
    d->config.setupLayout = setup::layoutOf(config);
    if (const int fixed = setup::volumeNumbersOf(d->config.setupLayout))
        d->config.volumeNumbers = fixed;
    const unsigned number = ++g_controllerCount;
    const unsigned pid = unsigned(::getpid());
    if (config.serial.empty()) {
        char text[32];
        std::snprintf(text, sizeof text, "Y%07u%08u", pid % 10000000u, number % 100000000u);
        d->serial = text;
    } else {
        d->serial = config.serial;
    }
    // A locally administered address, distinct for every controller of this process.
    const uint32_t tail = ((pid & 0xFFu) << 16) | (number & 0xFFFFu);
    d->mac = {0x02, 0x56, 0x52, uint8_t(tail >> 16), uint8_t(tail >> 8), uint8_t(tail)};
    if (config.mac != std::array<uint8_t, 6>{})
        d->mac = config.mac;
    d->framesLeftBeforeSilence = config.silentAfterFrames;
    d->vendor = kVendorName;
    d->modelName = config.profile == Profile::E100 ? "ZYN-E100" : "ZRC-" + std::to_string(config.modelNumber);
    d->password = config.password;
    d->bootedAt = Impl::SteadyClock::now();
    d->model = std::make_unique<DeviceModel>(d->config, d->serial);
    if (!config.emptyModel)
        d->model->buildDefault();
    d->setup = std::make_unique<SetupImage>(d->config.setupLayout, d->config.password, d->serial,
                                            config.systemName.empty() ? setup::kDefaultSystemName : config.systemName);
}

FakeController::~FakeController()
{
    if (d->logFd >= 0)
        ::close(d->logFd);
}

const ControllerConfig& FakeController::config() const
{
    return d->config;
}

std::string FakeController::serial() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->serial;
}

Bytes FakeController::systemInfo() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->systemInfoLocked();
}

Bytes FakeController::identifyString() const
{
    return d->identifyLocked();
}

FakeController::Reply FakeController::handleFrame(const Bytes& in, const std::string& via,
                                                  const std::string& peer)
{
    Reply reply;
    if (in.size() < frame::kOverhead + 1
        || !std::equal(frame::kPrefix, frame::kPrefix + 3, in.begin())
        || (size_t(in[3]) | (size_t(in[4]) << 8)) + frame::kOverhead != in.size())
        return reply;   // not a frame: discarded
    const uint8_t command = in[5];
    const auto now = std::chrono::steady_clock::now();
    {
        // A restarting controller hears nothing.
        std::lock_guard<std::mutex> lock(d->mutex);
        d->settleRestart();
        if (d->rebooting)
            return reply;
        // A controller that has fallen silent hears nothing either.
        if (d->framesLeftBeforeSilence == 0)
            return reply;
        if (d->framesLeftBeforeSilence > 0)
            --d->framesLeftBeforeSilence;
    }
    if (!frame::isValid(in)) {
        reply.bytes = frame::encodeStatus('L');
    } else {
        const Bytes payload(in.begin() + 6, in.end() - 1);
        logEntry({LogEntry::RxFrame, via, command, payload, peer, now});

        std::lock_guard<std::mutex> lock(d->mutex);
        d->currentVia = via;
        d->currentPeer = peer;
        Answer answer;
        if (!d->takeScript(command, payload, &answer))
            answer = Answer::model();
        switch (answer.kind) {
        case Answer::Status: reply.bytes = frame::encodeStatus(answer.letter); break;
        case Answer::Data: reply.bytes = frame::encodeData(answer.bytes); break;
        case Answer::Raw: reply.bytes = answer.bytes; break;
        case Answer::Silence: break;
        case Answer::Model: reply.bytes = d->modelAnswer(command, payload); break;
        }
        if (!reply.bytes.empty() && answer.badChecksum)
            reply.bytes.back() ^= 0xFF;
        if (answer.truncateTo >= 0 && size_t(answer.truncateTo) < reply.bytes.size())
            reply.bytes.resize(size_t(answer.truncateTo));
        reply.delayMs = std::max(0, answer.delayMs);
        if (now < d->pauseEnds)
            reply.delayMs = std::max(reply.delayMs, int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                             d->pauseEnds - now).count()));
        reply.splitParts = std::max(1, answer.splitParts);
        reply.splitGapMs = std::max(0, answer.splitGapMs);
        reply.holdUntilNextFrame = answer.holdUntilNextFrame;
    }
    if (!reply.bytes.empty())
        logEntry({LogEntry::TxFrame, via, command, reply.bytes, peer,
                  std::chrono::steady_clock::now()});
    return reply;
}

void FakeController::script(uint8_t command, int count, const Answer& answer)
{
    if (count <= 0)
        return;
    std::lock_guard<std::mutex> lock(d->mutex);
    d->scripts[command].push_back({count, answer});
}

void FakeController::scriptAll(int count, const Answer& answer)
{
    if (count <= 0)
        return;
    std::lock_guard<std::mutex> lock(d->mutex);
    d->scriptsAll.push_back({count, answer});
}

void FakeController::clearScripts()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->scripts.clear();
    d->scriptsAll.clear();
}

void FakeController::setPasswordRequired(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->passwordRequired = on;
    if (on)
        d->loggedIn = false;
}

void FakeController::setLogInForEveryCommand(bool on, int lapseMs)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->logInForEveryCommand = on;
    d->logInLapseMs = std::max(lapseMs, 0);
    if (on) {
        d->passwordRequired = true;
        d->loggedIn = false;
    }
}

void FakeController::setRoadPasswordRefused(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->roadPasswordRefused = on;
}

void FakeController::pauseFor(int ms)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->pauseEnds = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(ms, 0));
}

void FakeController::setSilentAfterFrames(int frames)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->framesLeftBeforeSilence = frames < 0 ? -1 : frames;
}

bool FakeController::passwordRequired() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->passwordRequired;
}

bool FakeController::loggedIn() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->logInHolds();
}

void FakeController::setIpAddress(const std::array<uint8_t, 4>& address)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->ip = address;
}

std::vector<LogEntry> FakeController::log() const
{
    std::lock_guard<std::mutex> lock(d->logMutex);
    return std::vector<LogEntry>(d->log.begin(), d->log.end());
}

void FakeController::clearLog()
{
    std::lock_guard<std::mutex> lock(d->logMutex);
    d->log.clear();
    d->received.fill(0);
}

void FakeController::logEntry(LogEntry entry)
{
    std::lock_guard<std::mutex> lock(d->logMutex);
    if (entry.kind == LogEntry::RxFrame)
        ++d->received[entry.command];
    d->writeLogLine(entry);
    d->log.push_back(std::move(entry));
    while (d->log.size() > kLogLimit)
        d->log.pop_front();
}

bool FakeController::setLogFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::lock_guard<std::mutex> lock(d->logMutex);
    if (d->logFd >= 0)
        ::close(d->logFd);
    d->logFd = fd;
    return true;
}

int FakeController::framesReceived(uint8_t command) const
{
    std::lock_guard<std::mutex> lock(d->logMutex);
    return d->received[command];
}

int FakeController::overlappingExchanges() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->overlapping;
}

void FakeController::exchangeBegins()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (d->openExchanges > 0)
        ++d->overlapping;
    ++d->openExchanges;
}

void FakeController::exchangeEnds()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (d->openExchanges > 0)
        --d->openExchanges;
}

// ---- The device model

sGUI_RAIDSET FakeController::raidSet(int i) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->raidSet(i);
}

sGUI_VOLUMESET FakeController::volumeSet(int i) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->volumeSet(i);
}

Bytes FakeController::volumeReply(int i) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->volumeReply(i);
}

sGUI_PHY_DRV FakeController::disk(int enclosure, int slot) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->disk(enclosure, slot);
}

sGUI_ENC_PROPERTY FakeController::enclosure(int e) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->enclosure(e);
}

std::vector<sEVET_DATA> FakeController::events() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->settleRestart();
    return d->model->events();
}

uint32_t FakeController::eventCounter() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->settleRestart();
    return d->model->eventCounter();
}

bool FakeController::addDisk(int enclosure, int slot, const std::string& model, const std::string& serial,
                             uint64_t capacityBlocks, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->addDisk(enclosure, slot, model, serial, capacityBlocks, "VS02", reason);
}

Bytes FakeController::smartPage(int enclosure, int slot, bool thresholds) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->smartPage(enclosure, slot, thresholds);
}

Bytes FakeController::ataIdentify(int enclosure, int slot) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->ataIdentify(enclosure, slot);
}

Bytes FakeController::scsiInquiry(int enclosure, int slot) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->scsiInquiry(enclosure, slot);
}

Bytes FakeController::sedKey() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->sedKey;
}

std::array<uint8_t, 4> FakeController::scheduledCheck() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->scheduleCheck;
}

bool FakeController::setDiskHealth(int enclosure, int slot, const DiskHealth& health, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->setDiskHealth(enclosure, slot, health, reason);
}

bool FakeController::removeDisk(int enclosure, int slot, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->removeDisk(enclosure, slot, reason);
}

bool FakeController::failDisk(int enclosure, int slot, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->failDisk(enclosure, slot, reason);
}

int FakeController::createRaidSet(const std::string& name, const std::vector<std::pair<int, int>>& disks,
                                  const RaidSetOptions& options, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->createRaidSet(name, disks, options, reason);
}

bool FakeController::deleteRaidSet(int raid, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->deleteRaidSet(raid, reason);
}

int FakeController::createVolumeSet(int raid, const std::string& name, uint64_t capacityBlocks, int level,
                                    uint32_t stripeSectors, const VolumeOptions& options, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->createVolumeSet(raid, name, capacityBlocks, level, stripeSectors, options, reason);
}

bool FakeController::deleteVolumeSet(int volume, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->deleteVolumeSet(volume, reason);
}

int FakeController::createNestedVolume(const std::string& name, const std::vector<int>& members,
                                       std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->createNestedVolume(name, members, -1, reason);
}

bool FakeController::setHotSpare(int enclosure, int slot, int kind, int raid, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->setHotSpare(enclosure, slot, kind, raid, reason);
}

bool FakeController::clearHotSpare(int enclosure, int slot, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->clearHotSpare(enclosure, slot, reason);
}

int FakeController::setPassThrough(int enclosure, int slot, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->setPassThrough(enclosure, slot, reason);
}

bool FakeController::clearPassThrough(int enclosure, int slot, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->clearPassThrough(enclosure, slot, reason);
}

void FakeController::addEvent(const sEVET_DATA& event)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model->addEvent(event);
}

bool FakeController::setVolumeState(int volume, uint32_t state, uint32_t progress, std::string* reason)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->setVolumeState(volume, state, progress, reason);
}

bool FakeController::advanceProgress(int volume, int tenths)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->advanceProgress(volume, tenths);
}

void FakeController::advanceAll(int tenths)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (int v = 0; v < d->model->volumeNumbers(); ++v)
        d->model->advanceProgress(v, tenths);
}

LocateState FakeController::locateState() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->locate();
}

void FakeController::setClock(int64_t unixSeconds)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model->setClock(unixSeconds);
}

void FakeController::setEventRingCapacity(uint32_t capacity)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model->setEventRingCapacity(capacity);
}

void FakeController::setHwMonitorBlock(const Bytes& block)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model->setHwMonitorBlock(block);
}

void FakeController::setSensorValues(int enclosure, const Bytes& reply)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model->setSensorValues(enclosure, reply);
}

void FakeController::setEnclosurePropertyCounts(int enclosure, const uint8_t counts[5])
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->model->setEnclosurePropertyCounts(enclosure, counts);
}

bool FakeController::setBattery(int enclosure, int percentOrMinus1ForNoBattery)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->setBattery(enclosure, percentOrMinus1ForNoBattery);
}

bool FakeController::loadConfig(const std::string& text, std::string* error)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->loadConfig(text, true, error);
}

bool FakeController::applyConfig(const std::string& text, std::string* error)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->model->loadConfig(text, false, error);
}

// ---- The setup image

Bytes FakeController::setupImage() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->setup->bytes();
}

bool FakeController::setSetupImage(const Bytes& image)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->setup->replace(image);
}

int FakeController::setupLayout() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->setup->layout();
}

void FakeController::setRefuseLongSetupWrites(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->setup->setRefuseLongWrites(on);
}

} // namespace zynsim
