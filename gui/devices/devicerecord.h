// The private copy of a controller record that each device object keeps. The polling thread
// refills the copies while the GUI thread reads them, so every access goes through the owning
// controller's record lock: readers take a copy under the read lock, writers replace the bytes
// under the write lock.
#pragma once

#include <QString>

#include <cstring>
#include <memory>
#include <mutex>
#include <shared_mutex>

// A readers-writer lock of the standard library: the sanitizers see its ordering.
using DeviceLock = std::shared_mutex;
using DeviceReadLocker = std::shared_lock<DeviceLock>;
using DeviceWriteLocker = std::unique_lock<DeviceLock>;

class QZynController;

// The record lock of `owner`; a lock of its own for objects without an owner.
DeviceLock* DeviceRecordLock(QZynController* owner);

template <typename Record>
class DeviceRecord {
public:
    DeviceRecord(DeviceLock* lock, const Record* source)
        : m_lock(lock)
        , m_record(std::make_unique<Record>())
    {
        copyFrom(source);
    }
    DeviceRecord(const DeviceRecord&) = delete;
    DeviceRecord& operator=(const DeviceRecord&) = delete;

    void setLock(DeviceLock* lock) { m_lock = lock; }
    // Takes a copy of `other`'s record and from now on guards its own with `lock`.
    void assign(const DeviceRecord& other, DeviceLock* lock)
    {
        const Record copy = other.get();
        m_lock = lock;
        set(&copy);
    }
    DeviceLock* lock() const { return m_lock; }

    Record get() const
    {
        DeviceReadLocker locker(*m_lock);
        return *m_record;
    }
    // Copies `source`, or zero-fills when it is null.
    void set(const Record* source)
    {
        DeviceWriteLocker locker(*m_lock);
        copyFrom(source);
    }
    // Copies `fresh` when it differs from the held bytes; true when it did.
    bool replace(const Record& fresh)
    {
        DeviceWriteLocker locker(*m_lock);
        if (std::memcmp(m_record.get(), &fresh, sizeof(Record)) == 0)
            return false;
        std::memcpy(m_record.get(), &fresh, sizeof(Record));
        return true;
    }
    // Changes the held record in place under the write lock.
    template <typename Edit>
    void edit(Edit change)
    {
        DeviceWriteLocker locker(*m_lock);
        change(*m_record);
    }

private:
    void copyFrom(const Record* source)
    {
        if (source != nullptr)
            std::memcpy(m_record.get(), source, sizeof(Record));
        else
            std::memset(m_record.get(), 0, sizeof(Record));
    }

    DeviceLock* m_lock;
    std::unique_ptr<Record> m_record;
};

namespace devicetext {

// A fixed-width field as Latin-1 over its whole width, NUL bytes included.
inline QString field(const uint8_t* bytes, int width)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes), width);
}

// A text field up to its first NUL, never past its width.
inline QString upToNul(const uint8_t* bytes, int width)
{
    int n = 0;
    while (n < width && bytes[n] != 0)
        ++n;
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes), n);
}

} // namespace devicetext

#include "devices/device.h"

// A device object that keeps a copy of one controller record: its owner, the record under the
// owner's record lock, and what every such object does with it.
template <typename Record>
class QZynRecordDevice : public QZynDevice {
public:
    QZynRecordDevice(int kind, QZynController* owner, const Record* record)
        : QZynDevice(kind)
        , m_owner(owner)
        , m_record(DeviceRecordLock(owner), record)
    {
    }

    // Copies the record, or zero-fills it when null.
    void SetupInfo(const Record* record) { m_record.set(record); }
    Record GetRecord() const { return m_record.get(); }
    // Copies `fresh` when it differs; true when it did.
    bool ReplaceRecord(const Record& fresh) { return m_record.replace(fresh); }
    QZynController* GetOwner() const { return m_owner; }

protected:
    void assignFrom(const QZynRecordDevice& other)
    {
        m_owner = other.m_owner;
        m_record.assign(other.m_record, DeviceRecordLock(m_owner));
    }
    // Reads the record again with `read` when `present`, and keeps what the read left (a failed
    // read leaves zeros); the read's result, 0 when nothing was read.
    template <typename Read>
    uint32_t refresh(bool present, Read read)
    {
        if (!present || m_owner == nullptr)
            return 0;
        Record fresh;
        std::memset(&fresh, 0, sizeof fresh);
        const uint32_t rc = read(&fresh);
        m_record.set(&fresh);
        return rc;
    }

    QZynController* m_owner;
    DeviceRecord<Record> m_record;
};
