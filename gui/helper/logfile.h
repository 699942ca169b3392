// A configuration report: a plain-text snapshot of one controller (system information, raid
// sets, volume sets, disks, hardware monitor and event log) written to a new numbered file
// "Ctlr<slot>-<number>.log" in the report folder. Built on the caller's stack for one report;
// runs on the GUI thread, its reads take the controller's command road.
#pragma once

#include "records.h"
#include "zynlib.h"

#include <QString>

#include <map>
#include <string>

class QZynController;
class QZynEvent;

class QLogFile {
public:
    // Result of a report whose file could not be created or written.
    static constexpr int kFileError = 7;
    // The highest sequence number a report file takes.
    static constexpr int kMaxSequence = 99999;

    // `event` (may be null) is the event the report is written for.
    QLogFile(QZynController* controller, QZynEvent* event);
    QLogFile(const QLogFile&) = delete;
    QLogFile& operator=(const QLogFile&) = delete;

    // Writes one report: 0, the status of the system-information read (no file is made),
    // ZYN_ERR_TRANSPORT_OTHER when the controller was given up or stopped being usable part
    // way, or kFileError (no file is left in either case: the file is removed).
    int SaveRaidCfgIntoLogFile();
    // The full path of the last report attempted; empty before the first.
    QString GetFileName() const { return m_fileName; }

    // The folder reports go to, ending with "/": "CtrlLog" beside the application's folder,
    // unless SetFolder chose another (empty: back to the default).
    static QString Folder();
    static void SetFolder(const QString& folder);
    // The report folder that belongs beside `applicationFolder`, ending with "/".
    static QString FolderBeside(const QString& applicationFolder);

private:
    void Exe_Raid_Info_Cmd();
    uint32_t ShowRaidSetInfo(const sGUI_RAIDSET& raidSet);
    void Exe_Vol_Info_Cmd();
    uint32_t ShowVolumeSetInfo(const sGUI_VOLUMESET& volume);
    void Exe_Disk_Info_Cmd();
    void ShowDiskInfo(const _DRV_MAP::Entry& entry);
    void Exe_Hw_Info_Cmd();
    void Exe_SAS_Hw_Info_Cmd();
    void sensorLines(const sSENSORS& sensors, int section, bool enclosure);
    void Exe_Event_Info_Cmd();

    // Runs `show` on every entry of the map `build` makes; nothing when that fails.
    template <typename Map, typename Show>
    void eachOfMap(u32 (CZynlib::*build)(Map*), Show show);
    // Creates the first free report file; false when none could be made.
    bool createFile(int* descriptor);
    // Removes the report file open on `descriptor` after a failed write, saying why in the log.
    void discardFile(int descriptor, const QString& why);
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void text(const std::string& s) { m_text += s; }
    void rule(int width);
    std::string slotName(int enclosure, int slot);

    QZynController* m_controller;
    QZynEvent* m_event;
    sSYSTEM_INFO m_sysInfo;
    std::string m_text;                 // the report while it is written
    QString m_fileName;
    // Slot-name pages of the enclosures read so far.
    std::map<int, std::string> m_slotNames;
};
