#include "devices/controller.h"

#include "devices/enclosure.h"
#include "devices/event.h"
#include "devices/host.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <QDebug>
#include <QElapsedTimer>
#include <mutex>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

namespace {

// Command names of the retry line: row (command >> 4) - 1, column command & 0xF.
const char* const kCommandNames[6][16] = {
    {"GUI_SET_SERIAL", "GUI_SET_VENDOR", "GUI_SET_MODEL", "GUI_IDENTIFY", "GUI_CHECK_PASSWORD",
     "GUI_LOGOUT", "GUI_HTTP", "GUI_SET_ETHERNET_ADDR", "GUI_SET_LOGO", "GUI_POLL_EVENT",
     "GUI_GET_EVENT", "GUI_GET_HW_MONITOR", "GUI_SMART_TEST", "GUI_SET_TIME", "GUI_SNMP", "GUI_MISC"},
    {"GUI_GET_INFO_R", "GUI_GET_INFO_V", "GUI_GET_INFO_P", "GUI_GET_INFO_S", "GUI_CLEAR_EVENT",
     "", "", "", "", "", "", "", "", "", "", ""},
    {"GUI_MUTE_BEEPER", "GUI_BEEPER_SETTING", "GUI_SET_PASSWORD", "GUI_HOST_INTERFACE_MODE",
     "GUI_REBUILD_PRIORITY", "GUI_MAX_ATA_MODE", "GUI_RESET_CONTROLLER", "GUI_COM_PORT_SETTING",
     "GUI_NO_OPERATION", "GUI_DHCP_IP", "", "", "", "", "", ""},
    {"GUI_CREATE_PASS_THROUGH", "GUI_MODIFY_PASS_THROUGH", "GUI_DELETE_PASS_THROUGH",
     "GUI_IDENTIFY_DEVICE", "", "", "", "", "", "", "", "", "", "", "", ""},
    {"GUI_CREATE_RAIDSET", "GUI_DELETE_RAIDSET", "GUI_EXPAND_RAIDSET", "GUI_ACTIVATE_RAIDSET",
     "GUI_CREATE_HOT_SPARE", "GUI_DELETE_HOT_SPARE", "GUI_OFFLINE_RAIDSET", "", "", "", "", "", "",
     "", "", ""},
    {"GUI_CREATE_VOLUME", "GUI_MODIFY_VOLUME", "GUI_DELETE_VOLUME", "GUI_START_CHECK_VOLUME",
     "GUI_STOP_CHECK_VOLUME", "", "", "", "", "", "", "", "", "", "", ""},
};

std::atomic<qint64> commandRetryWindow{QZynController::kCommandRetryWindowMs};

// Results that count as a failed try: the transport could not complete the exchange.
bool retryable(u32 result)
{
    switch (result) {
    case ZYN_ERR_TRANSPORT:
    case ZYN_ERR_RECV:
    case ZYN_ERR_SEND_TIMEOUT:
    case ZYN_ERR_REPLY_TIMEOUT:
    case ZYN_ERR_TRANSPORT_OTHER:
        return true;
    default:
        return false;
    }
}

template <typename T>
void deleteAll(std::vector<T*>& table)
{
    for (T* entry : table)
        delete entry;
    table.clear();
}

} // namespace

DeviceLock* DeviceRecordLock(QZynController* owner)
{
    static DeviceLock ownLock;
    return owner != nullptr ? owner->RecordLock() : &ownLock;
}

QZynController::QZynController(ZynInterface* transport, int connectionType)
    : QZynDevice(Controller)
    , m_sysInfo(nullptr, &m_recordLock)
    , m_snmpInfo(nullptr, &m_recordLock)
    , m_connectionType(connectionType)
{
    std::memset(m_hwMonitor, 0, sizeof m_hwMonitor);
    AllocateResources();

    // The calls below take this object's command road already.
    if (ZynInitSession(transport) != ZYN_OK) {
        qDebug("Failed to ZynInitSession(...)");
        return;
    }
    sSYSTEM_INFO info;
    std::memset(&info, 0, sizeof info);
    if (ZynGetSysInfo(&info) != ZYN_OK) {
        qDebug() << GetText() << "Failed to ZynGetSysInfo(...)";
        return;
    }
    m_sysInfo.SetupInfo(&info);
    m_identified.store(true);
    // This read made the object this controller's: the run starts here.
    m_runConfirmed.store(true);

    _SNMP_CONFIG snmp;
    const u32 rc = ZynGetSnmpInfo(&snmp);
    if (rc != ZYN_OK) {
        qDebug() << GetText() << "Failed to ZynGetSnmpInfo(...), status = " << rc;
        std::memset(&snmp, 0, sizeof snmp);
    }
    m_snmpInfo.SetupInfo(&snmp);
}

QZynController::~QZynController()
{
    // A background task waiting on a controller that does not answer ends now.
    interruptExchanges();
    WaitForBackground();
    FreeResources();
    // One that was listed may be remembered as removed.
    if (GetHostSlot() >= 0)
        ZynGetHost()->forgetRemoved(this);
}

void QZynController::RunInBackground(std::function<void(QZynController*)> task)
{
    WaitForBackground();
    if (task)
        m_background = std::thread([this, task] { task(this); });
}

void QZynController::WaitForBackground()
{
    if (m_background.joinable())
        m_background.join();
}

void QZynController::AllocateResources()
{
    m_raidSets.reserve(kRaidSets);
    for (int i = 0; i < kRaidSets; ++i)
        m_raidSets.push_back(new QZynRaidSet(this, i, nullptr));
    m_volumeSets.reserve(kVolumeSets);
    for (int i = 0; i < kVolumeSets; ++i)
        m_volumeSets.push_back(new QZynVolumeSet(this, i, nullptr));
    m_events.reserve(kEvents);
    for (int i = 0; i < kEvents; ++i)
        m_events.push_back(new QZynEvent(this, i, nullptr));
    m_disks.resize(kEnclosures);
    for (int e = 0; e < kEnclosures; ++e) {
        m_disks[e].reserve(kSlots);
        for (int s = 0; s < kSlots; ++s)
            m_disks[e].push_back(new QZynDisk(this, QZynDiskIndex(s, e), nullptr));
    }
    m_enclosures.reserve(kEnclosures);
    for (int i = 0; i < kEnclosures; ++i)
        m_enclosures.push_back(new QZynEnclosure(this, i, nullptr));
    std::memset(m_hwMonitor, 0, sizeof m_hwMonitor);
    m_enclosureHwMonitor = std::make_unique<sSENSORS>();
    std::memset(m_enclosureHwMonitor.get(), 0, sizeof(sSENSORS));
    m_dummyDisk = std::make_unique<QZynDisk>(this, QZynDiskIndex::Dummy(), nullptr);
    m_guiItem = std::make_unique<QZynGuiItem>(this);
}

void QZynController::FreeResources()
{
    // The proxy's connections call this controller's commands: they end first. Then the worker
    // stops before anything it reads goes.
    m_httpServer.reset();
    delete m_eventWatcher;
    m_eventWatcher = nullptr;
    m_dummyDisk.reset();
    m_guiItem.reset();
    deleteAll(m_raidSets);
    deleteAll(m_volumeSets);
    deleteAll(m_events);
    for (auto& table : m_disks)
        deleteAll(table);
    m_disks.clear();
    deleteAll(m_enclosures);
    m_enclosureHwMonitor.reset();
}

int QZynController::GetState() const
{
    std::lock_guard<std::mutex> locker(m_stateMutex);
    return m_state.load();
}

void QZynController::SetState(int state)
{
    std::lock_guard<std::mutex> locker(m_stateMutex);
    m_state.store(state);
}

bool QZynController::IsStatus(u32 mask) const
{
    std::lock_guard<std::mutex> locker(m_stateMutex);
    return (m_status & mask) != 0;
}

void QZynController::SetStatus(u32 mask)
{
    std::lock_guard<std::mutex> locker(m_stateMutex);
    m_status |= mask;
}

void QZynController::ClearStatus(u32 mask)
{
    std::lock_guard<std::mutex> locker(m_stateMutex);
    m_status &= ~mask;
}

u32 QZynController::GetStatus() const
{
    std::lock_guard<std::mutex> locker(m_stateMutex);
    return m_status;
}

QString QZynController::GetText() const
{
    const QString name = m_snmpInfo.GetName();
    const QString location = m_snmpInfo.GetLocation();
    if (!name.isEmpty() && !location.isEmpty())
        return name + QLatin1Char(' ') + location;
    if (!name.isEmpty())
        return name;
    if (!location.isEmpty())
        return m_sysInfo.GetModelName() + QLatin1Char(' ') + location;
    if (m_connectionType == ConnectionEthernet)
        return m_sysInfo.GetModelName() + QLatin1Char('(') + m_sysInfo.GetIPAddressString() + QLatin1Char(')');
    return m_sysInfo.GetModelName();
}

QString QZynController::StateIconPath(int state)
{
    return state == StateConnecting || state == StateOnline
        ? QStringLiteral(":/images/icons/devices/controller.png")
        : QStringLiteral(":/images/icons/event/warning.png");
}

QIcon QZynController::GetStateIcon() const
{
    QIcon icon;
    icon.addFile(StateIconPath(GetState()), QSize(), QIcon::Normal);
    return icon;
}

QZynRaidSet* QZynController::GetRaidSet(int i) const
{
    return i >= 0 && i < int(m_raidSets.size()) ? m_raidSets[size_t(i)] : nullptr;
}

QZynVolumeSet* QZynController::GetVolumeSet(int i) const
{
    return i >= 0 && i < int(m_volumeSets.size()) ? m_volumeSets[size_t(i)] : nullptr;
}

QZynEnclosure* QZynController::GetEnclosure(int i) const
{
    return i >= 0 && i < int(m_enclosures.size()) ? m_enclosures[size_t(i)] : nullptr;
}

QZynEvent* QZynController::GetEvent(int i) const
{
    return i >= 0 && i < int(m_events.size()) ? m_events[size_t(i)] : nullptr;
}

QZynDisk* QZynController::GetDisk(const QZynDiskIndex& index) const
{
    if (index.enclosure >= 0 && index.enclosure < int(m_disks.size()) && index.slot >= 0
        && index.slot < kSlots)
        return m_disks[size_t(index.enclosure)][size_t(index.slot)];
    qDebug() << "QZynController::GetDisk() invalid << enc = " << index.enclosure << "slot = " << index.slot
             << ",(failed disk in raidset member? return dummy disk)!!!";
    return m_dummyDisk.get();
}

void QZynController::GetRaidSetCount(std::vector<int>& out) const
{
    out.clear();
    for (int i = 0; i < int(m_raidSets.size()); ++i)
        if (m_raidSets[size_t(i)]->IsPresent())
            out.push_back(i);
}

void QZynController::GetVolumeSetCount(std::vector<int>& out) const
{
    out.clear();
    for (int i = 0; i < int(m_volumeSets.size()); ++i) {
        const sGUI_VOLUMESET r = m_volumeSets[size_t(i)]->GetRecord();
        if (r.exists() && QZynVolumeSet::IsNestedVolume(r))
            out.push_back(i);
    }
    std::vector<int> raidSets;
    GetRaidSetCount(raidSets);
    std::vector<int> volumes;
    for (int raid : raidSets) {
        m_raidSets[size_t(raid)]->GetVolumeSetCount(volumes);
        out.insert(out.end(), volumes.begin(), volumes.end());
    }
}

void QZynController::GetEnclosureCount(std::vector<int>& out) const
{
    out.clear();
    const int count = std::min<int>(m_sysInfo.GetRecord().highestEnclosure(), kEnclosures);
    for (int i = 0; i < count; ++i)
        if (m_enclosures[size_t(i)]->IsPresent())
            out.push_back(i);
}

QString QZynController::CommandName(u8 command)
{
    const int row = (command >> 4) - 1;
    if (row < 0 || row >= 6)
        return QString();
    return QString::fromLatin1(kCommandNames[row][command & 0xF]);
}

namespace {
// The controller whose road logs in with its own password on the calling thread.
thread_local const QZynController* t_roadLogIn = nullptr;
}   // namespace

u32 QZynController::ZynCmdReadWrite(u8 command, void* payload, int payloadLength, void* reply,
                                    int replyCapacity, int& replyLength, u32 flags)
{
    bool readAsked = false;
    const u32 rc = commandTries(command, payload, payloadLength, reply, replyCapacity, replyLength, flags,
                                &readAsked);
    // A password check is answered by a log-in of the road's only where the read that confirms
    // the controller before it asked for the password (the road's own log-in has no such read).
    if (rc != ZYN_ERR_PASSWORD_REQUIRED || (command == ZYN_CMD_CHECK_PASSWORD && !readAsked))
        return rc;
    char password[32] = {};
    std::strncpy(password, kControllerPassword, sizeof password - 1);
    const QZynController* const outer = t_roadLogIn;
    t_roadLogIn = this;
    const u32 login = ZynChkPassword(password);
    t_roadLogIn = outer;
    if (login != ZYN_OK)
        return login;
    return ZynCmdReadWriteInternal(command, payload, payloadLength, reply, replyCapacity, replyLength, flags);
}

u32 QZynController::ZynCmdReadWriteInternal(u8 command, void* payload, int payloadLength, void* reply,
                                            int replyCapacity, int& replyLength, u32 flags)
{
    return commandTries(command, payload, payloadLength, reply, replyCapacity, replyLength, flags, nullptr);
}

u32 QZynController::commandTries(u8 command, void* payload, int payloadLength, void* reply, int replyCapacity,
                                 int& replyLength, u32 flags, bool* readAsked)
{
    std::unique_lock<std::mutex> locker(m_commandMutex);
    replyLength = 0;
    const int state = m_state.load();
    if (state != StateConnecting && state != StateOnline)
        return ZYN_ERR_TRANSPORT_OTHER;
    const QByteArray model = m_sysInfo.GetModelName().toLocal8Bit();
    const QByteArray name = CommandName(command).toLatin1();

    // Every exchange goes only to the controller this object stands for: another one may have
    // taken its address or its driver slot since the run ended. A change outside a Run and a
    // password check (the user's password) are confirmed each time, a Run's first exchange
    // whatever other traffic did. Such a try begins with the confirming read, which waits as
    // the command would; another serial number gives the controller up, and one that answers,
    // but not with its record, gets nothing this time. Before the controller is identified
    // there is nothing to confirm against. The road's own log-in goes unconfirmed: its password
    // is every controller's and no secret of the user's, and the command it is for is confirmed
    // after it.
    const bool roadLogIn = command == ZYN_CMD_CHECK_PASSWORD && t_roadLogIn == this;
    const bool changes = ZynCommandChangesController(command, payload, payloadLength);
    Run* const run = currentRun();
    const bool everyTime = command == ZYN_CMD_CHECK_PASSWORD || (changes && run == nullptr);
    bool confirmed = false;   // by a read of this command's, the run holding since
    bool confirming = false;
    bool replaced = false;
    const auto noteIdentity = [&](Identity identity) {
        replaced = identity == IdentityOther;
        confirmed = identity == IdentitySame;
        if (confirmed && run != nullptr)
            run->m_confirmed = true;
    };
    const auto goesAlone = [&] {
        return roadLogIn || (runHolds() && (confirmed || (!everyTime && (run == nullptr || run->m_confirmed))));
    };
    QElapsedTimer underWay;
    underWay.start();
    for (int left = kCommandTries - 1; left >= 0 && !replaced; --left) {
        u32 rc = ZYN_OK;
        confirming = m_identified.load() && !goesAlone();
        if (confirming) {
            const Identity identity = readIdentity(&rc, command, payload, payloadLength);
            noteIdentity(identity);
            if (identity == IdentitySame) {
                confirming = false;
            } else if (identity == IdentityUnknown && rc != ZYN_ERR_INTERRUPTED && !retryable(rc)) {
                if (readAsked != nullptr)
                    *readAsked = rc == ZYN_ERR_PASSWORD_REQUIRED;
                return rc == ZYN_OK ? u32(ZYN_ERR_RECV) : rc;
            }
        }
        if (!confirming && !replaced)
            rc = CZynlibALL::ZynCmdReadWrite(command, payload, payloadLength, reply, replyCapacity, replyLength,
                                             flags);
        // A stopped controller is inactive; it is not given up for that.
        if (rc == ZYN_ERR_INTERRUPTED)
            return ZYN_ERR_TRANSPORT_OTHER;
        if (replaced)
            break;
        if (!retryable(rc))
            return rc;
        // After a long wait the tries go on only when the controller answers a short read as
        // itself (a frame lost while it restarted, say): that read confirms it for the next
        // try. A silent one is not waited for again.
        if (left > 0 && underWay.elapsed() >= CommandRetryWindowMs()) {
            noteIdentity(readIdentity());
            if (!confirmed)
                left = 0;
        }
        qDebug("[%s]Controller error, retry[%d] GUI command(%x,%s), status = 0x%x", model.constData(), left,
               unsigned(command), name.constData(), unsigned(rc));
    }
    if (replaced || confirming)
        qDebug("[%s]Controller not confirmed before GUI command(%x,%s): %s, given up", model.constData(),
               unsigned(command), name.constData(), replaced ? "another serial number" : "no answer");
    // Given up with the road free: what the removal sets off may take the road again.
    locker.unlock();
    GiveUp();
    return ZYN_ERR_TRANSPORT_OTHER;
}

void QZynController::SetCommandRetryWindowMs(qint64 ms)
{
    commandRetryWindow.store(ms < 0 ? kCommandRetryWindowMs : ms);
}

qint64 QZynController::CommandRetryWindowMs()
{
    return commandRetryWindow.load();
}

QZynController::Identity QZynController::readIdentity(u32* result, u8 command, const void* payload,
                                                      int payloadLength)
{
    // The library's exchange itself, one try: the caller holds the command road.
    std::array<u8, kReadReplySize> reply{};
    int length = 0;
    const u32 rc = ZynCmdReadWriteWaitingAs(ZYN_CMD_GET_SYSINFO, nullptr, 0, reply.data(), int(reply.size()), length,
                                            command, payload, payloadLength);
    if (result != nullptr)
        *result = rc;
    // An answer that is not a record shows nothing: the run stays ended.
    if (rc != ZYN_OK || length < int(sizeof(sSYSTEM_INFO))) {
        m_runConfirmed.store(false);
        return IdentityUnknown;
    }
    sSYSTEM_INFO fresh;
    std::memcpy(&fresh, reply.data(), sizeof fresh);
    const QString serial = m_sysInfo.GetSerialNumber();
    const bool same = serial.isEmpty() || QZynSysInfo(&fresh).GetSerialNumber() == serial;
    m_runConfirmed.store(same);
    return same ? IdentitySame : IdentityOther;
}

bool QZynController::runHolds() const
{
    return m_runConfirmed.load() && steadyMs() - m_lastAnswerMs.load() <= kRunGapMs;
}

qint64 QZynController::steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {
// The innermost Run of each thread.
thread_local QZynController::Run* t_innermostRun = nullptr;
}   // namespace

QZynController::Run::Run(QZynController* controller)
    : m_controller(controller)
    , m_outer(t_innermostRun)
{
    t_innermostRun = this;
}

QZynController::Run::~Run()
{
    t_innermostRun = m_outer;
}

QZynController::Run* QZynController::currentRun()
{
    for (Run* run = t_innermostRun; run != nullptr; run = run->m_outer)
        if (run->m_controller == this)
            return run;
    return nullptr;
}

void QZynController::GiveUp()
{
    SetState(StateOffline);
    // A controller that is not listed (its construction is still running, or it has been
    // removed already) belongs to whoever holds it; only a listed one is the host's to end.
    QZynHost* host = ZynGetHost();
    if (!host->remove_controller(this))
        return;
    emit host->DeviceChanged(this, DeviceRemoved);
    deleteLater();
}

int QZynController::ZynDoIO(_IF_CMD_BLOCK* block)
{
    // An answered exchange carries the run on; one that brings no reply ends it.
    const int result = CZynlibALL::ZynDoIO(block);
    if (result >= 0)
        m_lastAnswerMs.store(steadyMs());
    else
        m_runConfirmed.store(false);
    return result;
}

namespace {
std::atomic<QZynController::PollerMaker> pollerMaker{nullptr};
std::atomic<QZynController::HttpServerMaker> httpServerMaker{nullptr};
std::mutex startMakersMutex;
std::vector<QZynController::StartMaker> startMakers;
}   // namespace

void QZynController::SetPollerMaker(PollerMaker maker)
{
    pollerMaker.store(maker);
}

void QZynController::SetHttpServerMaker(HttpServerMaker maker)
{
    httpServerMaker.store(maker);
}

void QZynController::AddStartMaker(StartMaker maker)
{
    std::lock_guard<std::mutex> lock(startMakersMutex);
    if (std::find(startMakers.begin(), startMakers.end(), maker) == startMakers.end())
        startMakers.push_back(maker);
}

bool QZynController::ensureEventWatcher()
{
    if (m_eventWatcher == nullptr) {
        const PollerMaker make = pollerMaker.load();
        if (make == nullptr) {
            qWarning("No polling worker can be made: the controller is not polled");
            return false;
        }
        m_eventWatcher = make(this);
    }
    return m_eventWatcher != nullptr;
}

void QZynController::interruptExchanges()
{
    if (ZynInterface* transport = ZynGetInterface())
        transport->interrupt();
}

void QZynController::resumeExchanges()
{
    if (ZynInterface* transport = ZynGetInterface())
        transport->resume();
}

void QZynController::Start()
{
    qDebug("Starting controller");
    resumeExchanges();
    std::vector<StartMaker> makers;
    {
        std::lock_guard<std::mutex> lock(startMakersMutex);
        makers = startMakers;
    }
    for (StartMaker make : makers)
        make(this);
    if (ensureEventWatcher())
        m_eventWatcher->Start();
    StartHttpServer();
}

void QZynController::Stop()
{
    qDebug("Stopping controller");
    QObject::disconnect(this, nullptr, nullptr, nullptr);
    // The polling thread may be waiting on a controller that does not answer: its exchange
    // ends now, so the stop does not wait for it.
    interruptExchanges();
    if (m_eventWatcher != nullptr)
        m_eventWatcher->Stop();
    StopHttpServer();
}

void QZynController::Pause()
{
    if (m_eventWatcher != nullptr)
        m_eventWatcher->Stop();
    StopHttpServer();
}

void QZynController::Resume()
{
    resumeExchanges();
    if (ensureEventWatcher()) {
        // The pause only stopped the polling, which took the controller offline: it answers
        // again from now on, not only once its poller has started on its own thread, so the
        // connections that waited in the web proxy's backlog are served at once.
        {
            std::lock_guard<std::mutex> locker(m_stateMutex);
            int paused = StateOffline;
            m_state.compare_exchange_strong(paused, StateOnline);
        }
        m_eventWatcher->Start();
    }
    if (m_httpServer)
        m_httpServer->resumeAccepting();
}

void QZynController::StartHttpServer()
{
    // A stopped controller started again takes connections again.
    if (m_httpServer) {
        m_httpServer->resumeAccepting();
        return;
    }
    const HttpServerMaker make = httpServerMaker.load();
    if (make != nullptr)
        m_httpServer.reset(make(this));
}

void QZynController::StopHttpServer()
{
    if (m_httpServer)
        m_httpServer->pauseAccepting();
}

void QZynController::CloseHttpServer()
{
    m_httpServer.reset();
}

void QZynController::StartEventWatcher()
{
    if (ensureEventWatcher())
        m_eventWatcher->Start();
}

void QZynController::StopEventWatcher()
{
    if (m_eventWatcher != nullptr)
        m_eventWatcher->Stop();
}
