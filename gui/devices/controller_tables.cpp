// The controller's device tables: filling them, keeping them current from the controller's
// events, announcing each change, and the lookups the views and dialogs use.
#include "devices/controller.h"

#include "devices/enclosure.h"
#include "devices/event.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <QDebug>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr int kTableEvents = 256;
// The addresses a volume set can take: channels, ids on a channel, luns on an id.
constexpr int kChannels = 2;
constexpr int kIds = 16;
constexpr int kLuns = 8;
// A pass-through disk's raid set shows its volume a moment after the event: re-read it so often.
constexpr int kPassThroughRereads = 10;
constexpr int kPassThroughRereadPauseMs = 200;
// The numbers of the proposed volume names, "-VOL#000" .. "-VOL#999".
constexpr int kVolumeNameNumbers = 1000;

// A volume name as the controller keeps it: up to its first NUL, without trailing blanks.
QByteArray storedName(QByteArray name)
{
    const int nul = name.indexOf('\0');
    if (nul >= 0)
        name.truncate(nul);
    while (name.endsWith(' '))
        name.chop(1);
    return name;
}

// Hands each entry of a map that was read (`rc` 0) to `fill`; the read's result.
template <typename Map, typename Fill>
u32 forEachEntry(u32 rc, const Map& map, Fill fill)
{
    if (rc != ZYN_OK)
        return rc;
    for (u32 i = 0; i < std::min<u32>(map.count, Map::kMaxEntries); ++i)
        fill(map.entries[i]);
    return ZYN_OK;
}

// A name for the debug lines: the record's text up to its first NUL.
QString shown(const QString& name)
{
    const int nul = name.indexOf(QChar(0));
    return nul < 0 ? name : name.left(nul);
}

// The debug line of a table change: "raidindex =( 3 ) name = "..." created".
void note(const char* table, int index, const QString& name, const char* what)
{
    qDebug() << (QByteArray(table) + " =(").constData() << index << ")" << "name =" << shown(name) << what;
}

} // namespace

void QZynController::Announce(QZynDevice* device, int change)
{
    if (device == nullptr)
        return;
    if (QThread::currentThread() == thread()) {
        emit DeviceChanged(device, change);
        return;
    }
    HandedOver announcement;
    announcement.device = device;
    announcement.change = change;
    handOver(announcement);
}

void QZynController::handOver(const HandedOver& announcement)
{
    // From the polling thread the announcement is handed to this object's own thread and made
    // there, in the order made. The data goes through a queue under a standard mutex, so the
    // thread sanitizer sees the handover; the event posted to this object carries nothing. A
    // handed-over announcement dies with this object, so no receiver is ever given a device of
    // a controller that has gone.
    {
        std::lock_guard<std::mutex> locker(m_handOverMutex);
        m_handedOver.push_back(announcement);
    }
    QMetaObject::invokeMethod(this, "announceHandedOver", Qt::QueuedConnection);
}

void QZynController::announceHandedOver()
{
    HandedOver next;
    {
        std::lock_guard<std::mutex> locker(m_handOverMutex);
        if (m_handedOver.empty())
            return;
        next = m_handedOver.front();
        m_handedOver.pop_front();
    }
    if (next.carriesEvent) {
        // The ring slot is filled only here, on this thread, just before its announcement: every
        // receiver reads the event this announcement is about, however late it comes.
        auto* entry = static_cast<QZynEvent*>(next.device);
        QZynEvent copy(this, entry->GetIndex(), &next.record);
        copy.SetFromLoad(next.fromLoad);
        *entry = copy;
    }
    emit DeviceChanged(next.device, next.change);
}

// ---- Lookups ---------------------------------------------------------------------------

void QZynController::GetDiskSlotCount(std::vector<QZynDiskIndex>& out) const
{
    out.clear();
    const sSYSTEM_INFO info = m_sysInfo.GetRecord();
    if (!info.isEnclosureFamily()) {
        for (int slot = 0; slot < info.driveChannels(); ++slot)
            out.emplace_back(slot, 0, m_disks[0][size_t(slot)]);
        return;
    }
    std::vector<int> enclosures;
    GetEnclosureCount(enclosures);
    for (int e : enclosures) {
        const int slotCount = std::min(m_enclosures[size_t(e)]->GetRecord().slotCount(), kSlots);
        for (int slot = 0; slot < slotCount; ++slot)
            out.emplace_back(slot, e, m_disks[size_t(e)][size_t(slot)]);
    }
}

void QZynController::GetDiskCount(std::vector<QZynDiskIndex>& out) const
{
    GetDiskSlotCount(out);
    out.erase(std::remove_if(out.begin(), out.end(), [](const QZynDiskIndex& i) { return i.disk->GetState() == 0; }),
              out.end());
}

void QZynController::GetFreeDiskCount(std::vector<QZynDiskIndex>& out) const
{
    GetDiskSlotCount(out);
    out.erase(std::remove_if(out.begin(), out.end(),
                             [](const QZynDiskIndex& i) { return (i.disk->GetState() & sGUI_PHY_DRV::kStateFree) == 0; }),
              out.end());
}

void QZynController::GetHotSpareDiskCount(std::vector<QZynDiskIndex>& out) const
{
    GetDiskSlotCount(out);
    out.erase(std::remove_if(out.begin(), out.end(),
                             [](const QZynDiskIndex& i) { return (i.disk->GetState() & sGUI_PHY_DRV::kStateHotSpare) == 0; }),
              out.end());
}

int QZynController::EventRingSlots() const
{
    return int(std::min<u32>(m_sysInfo.GetRecord().eventRingCapacity(), kTableEvents));
}

void QZynController::GetEventCount(std::vector<int>& out) const
{
    out.clear();
    const int ringSlots = EventRingSlots();
    if (ringSlots == 0)
        return;
    const int first = m_eventCounter.load() % ringSlots;
    for (int k = 0; k < ringSlots; ++k) {
        const int slot = (first + k) % ringSlots;
        if (m_events[size_t(slot)]->GetRecord().eventClass() != zynevent::kNoEvent)
            out.push_back(slot);
    }
}

QString QZynController::GetFreeVolumeSetName() const
{
    QSet<QByteArray> taken;
    for (const QZynVolumeSet* volume : m_volumeSets) {
        const sGUI_VOLUMESET r = volume->GetRecord();
        if (r.exists())
            taken.insert(storedName(
                QByteArray(reinterpret_cast<const char*>(r.bytes + sGUI_VOLUMESET::kName), sGUI_VOLUMESET::kNameSize)));
    }
    // The model as the views show it: its fixed-width field may hold NUL bytes.
    QString model = m_sysInfo.GetModelName();
    model.remove(QChar(0));
    const std::string base = model.toStdString();
    for (int n = 0; n < kVolumeNameNumbers; ++n) {
        const std::string number = QString::asprintf("-VOL#%03d", n).toStdString();
        // A model too long to go into the field with the number is cut between characters: the
        // number stays whole, so that the name proposed is the name stored.
        const size_t room = sGUI_VOLUMESET::kNameSize - number.size();
        const std::string name = base.substr(0, zynwire::utf8Fit(base, room)) + number;
        if (!taken.contains(storedName(QByteArray::fromStdString(name))))
            return QString::fromStdString(name);
    }
    return QString();
}

bool QZynController::GetFreeChIdLun(u8* ch, u8* id, u8* lun) const
{
    return GetFreeChIdLun(ch, id, lun, {});
}

bool QZynController::GetFreeChIdLun(u8* ch, u8* id, u8* lun, const std::vector<ChIdLun>& taken) const
{
    bool used[kChannels][kIds][kLuns] = {};
    for (const QZynVolumeSet* volume : m_volumeSets) {
        const sGUI_VOLUMESET r = volume->GetRecord();
        if (r.exists() && r.channel() < kChannels && r.id() < kIds && r.lun() < kLuns)
            used[r.channel()][r.id()][r.lun()] = true;
    }
    for (const ChIdLun& a : taken)
        if (a[0] < kChannels && a[1] < kIds && a[2] < kLuns)
            used[a[0]][a[1]][a[2]] = true;
    for (u8 c = 0; c < kChannels; ++c)
        for (u8 i = 0; i < kIds; ++i)
            for (u8 l = 0; l < kLuns; ++l)
                if (!used[c][i][l]) {
                    *ch = c;
                    *id = i;
                    *lun = l;
                    return true;
                }
    return false;
}

// ---- Filling and refreshing ------------------------------------------------------------

void QZynController::AddRaidSet(QZynRaidSet* raidSet)
{
    if (raidSet == nullptr)
        return;
    sGUI_RAIDSET r;
    if (ZynGetRaidSetInfo(u8(raidSet->GetIndex()), &r) == ZYN_OK)
        raidSet->SetupInfo(&r);
    note("raidindex", raidSet->GetIndex(), raidSet->GetName(), "created");
}

bool QZynController::UpdateRaidSet(QZynRaidSet* raidSet)
{
    if (raidSet == nullptr || !raidSet->IsPresent())
        return false;
    sGUI_RAIDSET r;
    const u32 rc = ZynGetRaidSetInfo(u8(raidSet->GetIndex()), &r);
    if (rc == ZYN_ERR_NO_OBJECT) {
        // Gone at the controller: handled as its deletion.
        sEVET_DATA gone;
        std::memset(&gone, 0, sizeof gone);
        gone.set(zynevent::kRaidSetEvent, zynevent::kDeleteRaidSet, u8(raidSet->GetIndex()));
        QZynEvent event(this, 0, &gone);
        ProcessRaidSetEvent(&event);
        return false;
    }
    if (rc != ZYN_OK || !raidSet->ReplaceRecord(r))
        return false;
    note("raidindex", raidSet->GetIndex(), raidSet->GetName(), "updated");
    return true;
}

void QZynController::RemoveRaidSet(QZynRaidSet* raidSet)
{
    if (raidSet == nullptr)
        return;
    raidSet->SetAbsent();
    note("raidindex", raidSet->GetIndex(), raidSet->GetName(), "deleted");
}

void QZynController::AddVolumeSet(QZynVolumeSet* volume)
{
    if (volume == nullptr)
        return;
    sGUI_VOLUMESET r;
    if (ZynGetVolSetInfo(u8(volume->GetIndex()), &r) == ZYN_OK)
        volume->SetupInfo(&r);
    note("volindex", volume->GetIndex(), volume->GetName(), "created");
}

bool QZynController::UpdateVolumeSet(QZynVolumeSet* volume)
{
    if (volume == nullptr)
        return false;
    sGUI_VOLUMESET r;
    if (ZynGetVolSetInfo(u8(volume->GetIndex()), &r) != ZYN_OK || !volume->ReplaceRecord(r))
        return false;
    note("volindex", volume->GetIndex(), volume->GetName(), "updated");
    return true;
}

void QZynController::RemoveVolumeSet(QZynVolumeSet* volume)
{
    if (volume == nullptr)
        return;
    volume->SetAbsent();
    note("volindex", volume->GetIndex(), volume->GetName(), "deleted");
}

void QZynController::AddDisk(QZynDisk* disk)
{
    if (disk == nullptr || disk->GetIndex().IsDummy())
        return;
    const QZynDiskIndex& at = disk->GetIndex();
    sGUI_PHY_DRV r;
    if (ZynGetPhysicalDriveInfo(u8(at.enclosure), u8(at.slot), &r) == ZYN_OK)
        disk->SetupInfo(&r);
    qDebug() << "diskindex =(" << at.enclosure << "," << at.slot << ")" << "name =" << shown(disk->GetName()) << "added";
}

bool QZynController::UpdateDisk(QZynDisk* disk)
{
    if (disk == nullptr || disk->GetIndex().IsDummy())
        return false;
    const QZynDiskIndex& at = disk->GetIndex();
    sGUI_PHY_DRV r;
    if (ZynGetPhysicalDriveInfo(u8(at.enclosure), u8(at.slot), &r) != ZYN_OK || !disk->ReplaceRecord(r))
        return false;
    qDebug() << "diskindex =(" << at.enclosure << "," << at.slot << ")" << "name =" << shown(disk->GetName()) << "updated";
    return true;
}

void QZynController::RemoveDisk(QZynDisk* disk)
{
    if (disk == nullptr || disk->GetIndex().IsDummy())
        return;
    disk->SetAbsent();
    const QZynDiskIndex& at = disk->GetIndex();
    qDebug() << "diskindex =(" << at.enclosure << "," << at.slot << ")" << "name =" << shown(disk->GetName()) << "removed";
}

u32 QZynController::readEnclosure(QZynEnclosure* enclosure, bool* descriptorsRead)
{
    *descriptorsRead = false;
    sGUI_ENC_PROPERTY property;
    const u32 rc = ZynGetEnclosureProperty(u8(enclosure->GetIndex()), &property);
    if (rc != ZYN_OK)
        return rc;
    enclosure->SetupInfo(&property);
    // The slot descriptors come in at most kDescriptorReadSize bytes; the page holds more, the
    // rest stays zero.
    std::vector<unsigned char> page(QZynEnclosure::kDescriptorPageSize, 0);
    if (ZynGetEnclosureDescriptor(u8(enclosure->GetIndex()), sSENSORS::kSlotSection, page.data(),
                                  QZynEnclosure::kDescriptorReadSize) == ZYN_OK) {
        enclosure->SetDiskDescriptor(page.data());
        *descriptorsRead = true;
    }
    return rc;
}

void QZynController::AddEnclosure(QZynEnclosure* enclosure)
{
    if (enclosure == nullptr)
        return;
    bool descriptors = false;
    readEnclosure(enclosure, &descriptors);
    note("encindex", enclosure->GetIndex(), enclosure->GetName(), "created");
}

bool QZynController::UpdateEnclosure(QZynEnclosure* enclosure)
{
    if (enclosure == nullptr)
        return false;
    sGUI_ENC_PROPERTY property;
    const u32 rc = ZynGetEnclosureProperty(u8(enclosure->GetIndex()), &property);
    if (rc == ZYN_ERR_NO_OBJECT) {
        RemoveEnclosure(enclosure);
        return true;
    }
    if (rc != ZYN_OK)
        return false;
    enclosure->SetupInfo(&property);
    note("encindex", enclosure->GetIndex(), enclosure->GetName(), "updated");
    return true;
}

void QZynController::RemoveEnclosure(QZynEnclosure* enclosure)
{
    if (enclosure == nullptr)
        return;
    enclosure->SetAbsent();
    qDebug() << "encindex =(" << enclosure->GetIndex() << ")" << "deleted";
}

void QZynController::AddEvent(QZynEvent* event)
{
    if (event == nullptr)
        return;
    QZynEvent* entry = GetEvent(event->GetIndex());
    if (entry == nullptr)
        return;
    qDebug() << "eventindex =" << event->GetIndex();
    if (QThread::currentThread() == thread()) {
        *entry = *event;
        emit DeviceChanged(entry, DeviceAdded);
        return;
    }
    // Another thread leaves the slot alone: a copy of the record goes with the announcement.
    HandedOver announcement;
    announcement.device = entry;
    announcement.change = DeviceAdded;
    announcement.carriesEvent = true;
    announcement.fromLoad = event->IsFromLoad();
    announcement.record = event->GetRecord();
    handOver(announcement);
}

void QZynController::UpdateEvent(QZynEvent* event)
{
    AddEvent(event);
}

void QZynController::RemoveEvent(QZynEvent* event)
{
    QZynEvent* entry = event != nullptr ? GetEvent(event->GetIndex()) : nullptr;
    if (entry == nullptr)
        return;
    qDebug() << "eventindex =(" << entry->GetIndex() << ")" << "deleted";
    Announce(entry, DeviceRemoved);
}

// ---- Building and events ---------------------------------------------------------------

u32 QZynController::BuildDeviceHierarchy()
{
    ZynSetTime(0);
    int counter = 0;
    ZynPollEvent(&counter);
    RunEventLoop(LoadEventLog);

    if (IsEnclosureFamily()) {
        for (QZynEnclosure* enclosure : m_enclosures) {
            bool descriptors = false;
            if (readEnclosure(enclosure, &descriptors) != ZYN_OK || !enclosure->IsPresent() || !descriptors)
                continue;
            AddEnclosure(enclosure);
            Announce(enclosure, DeviceAdded);
        }
    }

    auto raidMap = std::make_unique<_RAID_MAP>();
    u32 rc = forEachEntry(ZynHelpBuildRaidSetMap(raidMap.get()), *raidMap, [this](const _RAID_MAP::Entry& entry) {
        if (QZynRaidSet* raidSet = GetRaidSet(entry.number)) {
            raidSet->SetupInfo(&entry.raidSet);
            AddRaidSet(raidSet);
            Announce(raidSet, DeviceAdded);
        }
    });
    if (rc != ZYN_OK)
        return rc;
    auto volumeMap = std::make_unique<_VOL_MAP>();
    rc = forEachEntry(ZynHelpBuildVolumeSetMap(volumeMap.get()), *volumeMap, [this](const _VOL_MAP::Entry& entry) {
        if (QZynVolumeSet* volume = GetVolumeSet(entry.number)) {
            volume->SetupInfo(&entry.volumeSet);
            AddVolumeSet(volume);
            Announce(volume, DeviceAdded);
        }
    });
    if (rc != ZYN_OK)
        return rc;
    auto driveMap = std::make_unique<_DRV_MAP>();
    return forEachEntry(ZynHelpBuildDeviceMap(driveMap.get()), *driveMap, [this](const _DRV_MAP::Entry& entry) {
        QZynDisk* disk = GetDisk(QZynDiskIndex(entry.slot, entry.enclosure));
        if (disk == m_dummyDisk.get())
            return;
        disk->SetupInfo(&entry.drive);
        AddDisk(disk);
        Announce(disk, DeviceAdded);
    });
}

int QZynController::RunEventLoop(u8 mode)
{
    const int ringSlots = EventRingSlots();
    if (ringSlots == 0) {
        qDebug("No event ring on this controller, no events handled");
        return 0;
    }
    std::vector<sEVET_DATA> records;
    {
        std::lock_guard<std::mutex> locker(m_eventMutex);
        int count = 0;
        if (ZynGetReqEventPage(char(mode), &count) != ZYN_OK)
            return 0;
        for (int i = count - 1; i >= 0; --i) {
            sEVET_DATA record;
            if (ZynGetEventObject(i, &record) == 0 || record.eventClass() == zynevent::kNoEvent)
                continue;
            records.push_back(record);
        }
    }
    int handled = 0;
    for (const sEVET_DATA& record : records) {
        const int slot = m_eventCounter.load() % ringSlots;
        QZynEvent event(this, slot, &record);
        event.SetFromLoad(mode == LoadEventLog);
        AddEvent(&event);
        m_eventCounter.store(slot + 1);
        if (mode == DispatchNewEvents) {
            switch (record.eventClass()) {
            case zynevent::kRaidSetEvent: ProcessRaidSetEvent(&event); break;
            case zynevent::kVolumeSetEvent: ProcessVolumeSetEvent(&event); break;
            case zynevent::kDeviceEvent: ProcessDiskEvent(&event); break;
            case zynevent::kGeneralEvent:
                if (event.GetDeviceText().startsWith(QLatin1String("Enclosure#")))
                    ProcessEnclosureEvent(&event);
                break;
            default: break;
            }
        }
        ++handled;
    }
    return handled;
}

u32 QZynController::ClearEventLog()
{
    std::lock_guard<std::mutex> locker(m_eventMutex);
    const u32 lastConsumed = m_lastEventCounter;
    const u32 rc = ZynClearEvent();
    // The session takes the counter back to the start; the controller's goes on.
    m_lastEventCounter = lastConsumed;
    return rc;
}

QZynRaidSet* QZynController::raidSetOf(const QZynDisk* disk) const
{
    return GetRaidSet(disk->GetRecord().raidSet());
}

QZynVolumeSet* QZynController::firstVolumeOf(const QZynRaidSet* raidSet) const
{
    return raidSet != nullptr ? GetVolumeSet(raidSet->GetRecord().volumeNumber(0)) : nullptr;
}

void QZynController::ProcessRaidSetEvent(QZynEvent* event)
{
    if (event == nullptr)
        return;
    const sEVET_DATA record = event->GetRecord();
    QZynRaidSet* raidSet = GetRaidSet(record.channel());
    if (raidSet == nullptr)
        return;
    std::vector<QZynDiskIndex> members;
    std::vector<int> volumes;
    auto refreshMembers = [&](bool presentOnly) {
        raidSet->GetDiskCount(members);
        for (const QZynDiskIndex& member : members) {
            QZynDisk* disk = GetDisk(member);
            if (disk == m_dummyDisk.get() || (presentOnly && disk->GetState() == 0))
                continue;
            UpdateDisk(disk);
            Announce(disk, DeviceUpdated);
        }
    };
    switch (record.code()) {
    case zynevent::kCreateRaidSet:
        AddRaidSet(raidSet);
        refreshMembers(false);
        Announce(raidSet, DeviceAdded);
        break;
    case zynevent::kDeleteRaidSet:
        raidSet->GetVolumeSetCount(volumes);
        for (int number : volumes)
            if (QZynVolumeSet* volume = GetVolumeSet(number)) {
                RemoveVolumeSet(volume);
                Announce(volume, DeviceRemoved);
            }
        refreshMembers(true);
        RemoveRaidSet(raidSet);
        Announce(raidSet, DeviceRemoved);
        break;
    case zynevent::kExpandRaidSet:
        UpdateRaidSet(raidSet);
        raidSet->GetVolumeSetCount(volumes);
        for (int number : volumes)
            if (QZynVolumeSet* volume = GetVolumeSet(number)) {
                UpdateVolumeSet(volume);
                Announce(volume, DeviceUpdated);
            }
        refreshMembers(true);
        Announce(raidSet, DeviceUpdated);
        break;
    default:
        UpdateRaidSet(raidSet);
        Announce(raidSet, DeviceUpdated);
        break;
    }
}

void QZynController::ProcessVolumeSetEvent(QZynEvent* event)
{
    if (event == nullptr)
        return;
    const sEVET_DATA record = event->GetRecord();
    QZynVolumeSet* volume = GetVolumeSet(record.channel());
    if (volume == nullptr)
        return;
    auto refreshRaidSetOf = [this](QZynVolumeSet* v) {
        if (QZynRaidSet* raidSet = v->GetRaidSet()) {
            UpdateRaidSet(raidSet);
            Announce(raidSet, DeviceUpdated);
        }
    };
    auto nestedMembers = [this](const sGUI_VOLUMESET& r) {
        std::vector<QZynVolumeSet*> out;
        const int count = std::min(r.nestedCount(), sGUI_VOLUMESET::kMaxNestedMembers);
        for (int i = 0; i < count; ++i)
            if (QZynVolumeSet* member = GetVolumeSet(r.nestedMember(i)))
                out.push_back(member);
        return out;
    };
    const int code = record.code();
    if ((code >= zynevent::kAbortInitialization && code <= zynevent::kStopChecking) || code == zynevent::kAbortCloning
        || code == zynevent::kStopCloning) {
        if (volume->IsPresent()) {
            UpdateVolumeSet(volume);
            Announce(volume, DeviceUpdated);
        }
        return;
    }
    if (code == zynevent::kCreateVolume) {
        AddVolumeSet(volume);
        const sGUI_VOLUMESET r = volume->GetRecord();
        if (!QZynVolumeSet::IsNestedVolume(r)) {
            refreshRaidSetOf(volume);
        } else {
            for (QZynVolumeSet* member : nestedMembers(r)) {
                AddVolumeSet(member);
                refreshRaidSetOf(member);
                Announce(member, DeviceAdded);
            }
        }
        Announce(volume, DeviceAdded);
        return;
    }
    if (code == zynevent::kDeleteVolume) {
        const sGUI_VOLUMESET r = volume->GetRecord();
        if (QZynVolumeSet::IsNestedVolume(r)) {
            for (QZynVolumeSet* member : nestedMembers(r)) {
                RemoveVolumeSet(member);
                Announce(member, DeviceRemoved);
                refreshRaidSetOf(member);
            }
            RemoveVolumeSet(volume);
            Announce(volume, DeviceRemoved);
        } else {
            RemoveVolumeSet(volume);
            Announce(volume, DeviceRemoved);
            refreshRaidSetOf(volume);
        }
        return;
    }
    if (!volume->IsPresent()) {
        AddVolumeSet(volume);
        if (QZynRaidSet* raidSet = volume->GetRaidSet()) {
            if (!raidSet->IsPresent()) {
                AddRaidSet(raidSet);
                Announce(raidSet, DeviceAdded);
            }
            UpdateRaidSet(raidSet);
            Announce(raidSet, DeviceUpdated);
        }
        Announce(volume, DeviceAdded);
    }
    if (code == zynevent::kStartChecking || code == zynevent::kStartCloning) {
        for (QZynVolumeSet* other : m_volumeSets)
            if (other->IsPresent() && UpdateVolumeSet(other))
                Announce(other, DeviceUpdated);
    }
    UpdateVolumeSet(volume);
    Announce(volume, DeviceUpdated);
}

void QZynController::ProcessDiskEvent(QZynEvent* event)
{
    if (event == nullptr)
        return;
    const sEVET_DATA record = event->GetRecord();
    const u32 enclosure = record.enclosure();
    QZynDisk* disk = GetDisk(QZynDiskIndex(record.channel(), enclosure < 0x10000 ? int(enclosure) : -1));
    if (disk == m_dummyDisk.get())
        return;
    const bool jbod = m_sysInfo.GetRecord().jbodMode();
    switch (record.code()) {
    case zynevent::kDeviceInserted: {
        AddDisk(disk);
        QZynRaidSet* raidSet = raidSetOf(disk);
        if (jbod) {
            if (raidSet != nullptr) {
                AddRaidSet(raidSet);
                QZynVolumeSet* volume = firstVolumeOf(raidSet);
                AddVolumeSet(volume);
                Announce(raidSet, DeviceAdded);
                Announce(volume, DeviceAdded);
            }
        } else if (disk->IsRaidSetMember() && raidSet != nullptr) {
            if (raidSet->IsPresent()) {
                UpdateRaidSet(raidSet);
                Announce(raidSet, DeviceUpdated);
            } else {
                AddRaidSet(raidSet);
                Announce(raidSet, DeviceAdded);
            }
            std::vector<int> volumes;
            raidSet->GetVolumeSetCount(volumes);
            for (int number : volumes) {
                QZynVolumeSet* volume = GetVolumeSet(number);
                if (volume == nullptr)
                    continue;
                if (volume->IsPresent()) {
                    UpdateVolumeSet(volume);
                    Announce(volume, DeviceUpdated);
                } else {
                    AddVolumeSet(volume);
                    Announce(volume, DeviceAdded);
                }
            }
        }
        Announce(disk, DeviceAdded);
        break;
    }
    case zynevent::kDeviceRemoved: {
        if (jbod) {
            QZynRaidSet* raidSet = raidSetOf(disk);
            if (QZynVolumeSet* volume = firstVolumeOf(raidSet)) {
                RemoveVolumeSet(volume);
                Announce(volume, DeviceRemoved);
            }
            if (raidSet != nullptr) {
                RemoveRaidSet(raidSet);
                Announce(raidSet, DeviceRemoved);
            }
        }
        const QString name = devicetext::upToNul(disk->GetRecord().bytes, sGUI_PHY_DRV::kModelSize);
        if (!name.endsWith(QLatin1String("SES2Device"))) {
            RemoveDisk(disk);
            Announce(disk, DeviceRemoved);
        }
        break;
    }
    case zynevent::kPassThroughDiskCreated: {
        UpdateDisk(disk);
        Announce(disk, DeviceUpdated);
        QZynRaidSet* raidSet = raidSetOf(disk);
        if (raidSet == nullptr)
            break;
        for (int attempt = 0; attempt < kPassThroughRereads; ++attempt) {
            AddRaidSet(raidSet);
            if (raidSet->GetRecord().volumeCount() != 0)
                break;
            QThread::msleep(kPassThroughRereadPauseMs);
        }
        Announce(raidSet, DeviceAdded);
        if (QZynVolumeSet* volume = firstVolumeOf(raidSet)) {
            AddVolumeSet(volume);
            Announce(volume, DeviceAdded);
        }
        break;
    }
    case zynevent::kPassThroughDiskModified:
        if (QZynVolumeSet* volume = firstVolumeOf(raidSetOf(disk))) {
            UpdateVolumeSet(volume);
            Announce(volume, DeviceUpdated);
        }
        break;
    case zynevent::kPassThroughDiskDeleted: {
        QZynRaidSet* raidSet = raidSetOf(disk);
        if (QZynVolumeSet* volume = firstVolumeOf(raidSet)) {
            RemoveVolumeSet(volume);
            Announce(volume, DeviceRemoved);
        }
        if (raidSet != nullptr) {
            RemoveRaidSet(raidSet);
            Announce(raidSet, DeviceRemoved);
        }
        if (UpdateDisk(disk) && (disk->GetState() & sGUI_PHY_DRV::kStatePassThrough) == 0) {
            Announce(disk, DeviceUpdated);
        } else {
            RemoveDisk(disk);
            Announce(disk, DeviceRemoved);
        }
        break;
    }
    default:
        UpdateDisk(disk);
        Announce(disk, DeviceUpdated);
        break;
    }
}

void QZynController::ProcessEnclosureEvent(QZynEvent* event)
{
    if (event == nullptr)
        return;
    // "Enclosure#N", N from 1 to 32, all of its digits.
    const QString text = event->GetDeviceText();
    static const QLatin1String kPrefix("Enclosure#");
    if (!text.startsWith(kPrefix))
        return;
    int digits = 0;
    while (kPrefix.size() + digits < text.size() && text.at(kPrefix.size() + digits).isDigit() && digits < 3)
        ++digits;
    bool ok = false;
    const int number = text.mid(kPrefix.size(), digits).toInt(&ok);
    if (!ok || number < 1 || number > kEnclosures)
        return;
    QZynEnclosure* enclosure = GetEnclosure(number - 1);
    switch (event->GetRecord().code()) {
    case zynevent::kAdded:
        AddEnclosure(enclosure);
        Announce(enclosure, DeviceAdded);
        break;
    case zynevent::kRemoved:
        RemoveEnclosure(enclosure);
        Announce(enclosure, DeviceRemoved);
        break;
    default:
        UpdateEnclosure(enclosure);
        Announce(enclosure, DeviceUpdated);
        break;
    }
}

bool QZynController::ProcessHwMonitor()
{
    if (!IsEnclosureFamily()) {
        // Read in the order of the kinds; kept in the order of the records.
        static const struct {
            u32 kind;
            int record;
        } kReads[] = {{HwFans, HwRecordFans},
                      {HwTemperatures, HwRecordTemperatures},
                      {HwVoltages, HwRecordVoltages},
                      {HwBattery, HwRecordBattery},
                      {HwPower, HwRecordPower}};
        for (const auto& read : kReads) {
            _HWMON_INFO info;
            if (ZynGetHWMon(read.kind, &info) != ZYN_OK)
                return false;
            DeviceWriteLocker locker(m_recordLock);
            m_hwMonitor[read.record] = info;
        }
        Announce(this, HwMonitorRefreshed);
        return true;
    }
    auto sensors = std::make_unique<sSENSORS>();
    if (ZynGetEnclosureHwMonitor(m_sysInfo.GetRecord().highestEnclosure(), sensors.get()) != ZYN_OK)
        return false;
    {
        DeviceWriteLocker locker(m_recordLock);
        *m_enclosureHwMonitor = *sensors;
    }
    std::vector<int> enclosures;
    GetEnclosureCount(enclosures);
    for (int number : enclosures) {
        if (ZynGetEnclosureHwMonitor(u8(number), sensors.get()) != ZYN_OK)
            return false;
        m_enclosures[size_t(number)]->SetSensors(*sensors);
        Announce(m_enclosures[size_t(number)], HwMonitorRefreshed);
    }
    Announce(this, HwMonitorRefreshed);
    return true;
}

_HWMON_INFO QZynController::GetHwMonitor(int record) const
{
    _HWMON_INFO info;
    std::memset(&info, 0, sizeof info);
    if (record < 0 || record >= kHwMonitorRecords)
        return info;
    DeviceReadLocker locker(m_recordLock);
    return m_hwMonitor[record];
}

sSENSORS QZynController::GetEnclosureHwMonitor() const
{
    DeviceReadLocker locker(m_recordLock);
    return *m_enclosureHwMonitor;
}
