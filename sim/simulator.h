// Controller simulator: stands in for the controller firmware and its driver. Serves simulated
// controllers over UDP (ADDR:7890) and as driver services of the user-client stand-in. Tests
// run it in-process on threads of its own; the zynsim executable serves it until stopped.
//
// Behind the read commands sits a device model (disks, raid sets, volume sets, enclosures,
// sensors and the event ring) that tests change through FakeController and that a text file
// describes (FakeController::loadConfig, zynsim --config). Its rules:
//
//  * Numbers: raid sets 0 .. sysinfo[178]-1, volume sets 0 .. sysinfo[177]-1. A number in that
//    range that holds nothing answers an all-zero record; a number beyond it answers 'G'.
//  * Disks: older family (E100 too) on channels 0 .. sysinfo[174]-1, addressed as enclosure 0,
//    slot = channel; 0x22 takes {channel, 0}. Enclosure family: enclosures 0 .. sysinfo[193]-1,
//    each with its slots; 0x22 takes {slot, enclosure}. An empty slot answers zeros; a slot or
//    enclosure that does not exist answers 'G'. Enclosure number sysinfo[193] is the controller's
//    own sensor block (no slots).
//  * Display names count from 1: slot 0 is "Slot 01" in the enclosure descriptor; device events
//    name enclosure 0 slot 2 "Enc#1 Slot#03" (it fits the 16-byte field) and older-family
//    channel 0 "Channel#01". Byte 2 of an event is the number of its raid set, volume set or
//    slot (the channel on the older family); device events of the enclosure family carry the
//    enclosure in their u32 at 8.
//  * 0x1B on the enclosure family: {e, 0} property, {e, 1, page 0-4} names (page 0 slots, then
//    the sections 1 voltages, 2 fans, 3 power supplies, 4 temperatures), {e, 2, 0} values,
//    {e, 3, 0} battery; a shorter payload or another sub-command answers 'G'. An enclosure with
//    no sensors still answers {e, 2, 0} with 8 zero bytes. Names are 24 bytes each: page 0, the
//    slot names, comes in 2048 bytes (85 names at most), pages 1-4 in 3072. Raw replies set by the fault switches
//    are sent as given, except that a single byte gets a zero byte after it.
//  * Without emptyModel a controller starts with a power-on event, a few disks, raid set 0
//    "Raid Set # 000" (3 disks), volume set 0 "Volume---VOL#000" (Raid5, initialised) and a
//    global hot spare in slot 3; the JBOD profiles with 4 disks only.
//  * Events: a ring of C records (sysinfo dword 148). 0x19 answers the number of events ever
//    logged modulo C (0 when C is 0). 0x24 empties the ring and leaves that counter where it
//    is. Pages of 0x1A: p <= C/16 answer (page 0: the newest 16, newest at record 15; slots
//    without an event are zero), p > C/16 answers 'G'.
//  * Every change logs the event the controller would log: disk inserted/removed/failed
//    (class 3 code 0/1/7), pass-through created/changed/deleted (3/10, 3/11, 3/12), raid set
//    created/deleted/expanded/degraded/rebuilding (1/0, 1/1, 1/2, 1/4, 1/3), volume created +
//    initialisation started (2/8 then 2/0), deleted (2/9), init complete (2/4), degraded (2/11),
//    failed (2/12), changed or migrating (2/10), migration complete (2/6), rebuild started
//    (1/3 then 2/1) and complete (2/5), check started/complete/stopped (2/3, 2/7, 2/21), hot
//    spare created/deleted (6/30, 6/31).
//  * Free space: a raid set's members hold whole units of 512 blocks (the smallest member's
//    capacity rounded down); each volume takes whole units on every member, ceil(per member /
//    512) with per member C/n (Raid0), 2C/n (Raid1+0), C/(n-1) (Raid3/5), C/(n-2) (Raid6). The
//    free segments (raid set bytes 83, 84..) count these units, in disk order.
//  * A pass-through disk (state 0x8A) is a raid set of its own (state flags 0x80, one member,
//    no free segment) holding one level-5 volume set of the whole disk; the volume goes into the
//    "other volumes" bitmap (0x1F op 5), its raid set into the raid set bitmap.
//
// RAID configuration commands. Each decodes its payload strictly ('G' for a length or a fixed
// byte the client would not send), checks everything, then changes the model and logs the
// events before it answers. 'A' done, 'B' raid set not normal (degraded, offline or a volume
// migrating), 'D' no raid set (also a pass-through disk's), 'E' no volume set, 'F' no disk or
// not a suitable one, 'G' invalid parameter, 'K' no space, 'H' not on this family (the JBOD
// profiles have no raid sets, volumes, spares or pass-through disks). Older family: drive
// masks, bit n = channel n; a 4-byte mask also works on the enclosure family (enclosure 0).
//   Level 4 (Raid6, and Raid60 for 0x65) only where system-information byte 180 says so
//   (ControllerConfig::raid6), else 'G', for 0x60, 0x65, and for 0x61 and 0x52 changing a volume
//   of another level to it.
//   0x50 {u32 mask, name blank-filled} (20) or {n 1-32, 0, 0, 0, name zero-filled, mode,
//      n x {enclosure, slot}} (21 + 2n): the lowest free raid set number; a name's trailing
//      blanks are dropped, no name (first byte 0) gives "Raid Set # 00N" blank-padded to 16.
//      Listed disks must be free ('F'); the same disk twice 'G'. 0x57: the same (enclosure
//      form only) with the self-encrypting flag 0x1000.
//   0x51 {raid}: its volume sets are deleted with it (each logs 2/9 before the raid set's 1/1),
//      'B' when one is a member of a nested volume set; its dedicated hot spares become free disks.
//   0x52 {raid, u32 mask, triples} (57) or {raid, n, 0, 0, 0, n pairs from 5, triples from 69}
//      (1023): {1, level, stripe code} at triples + 3v changes volume v of the raid set ('E'
//      otherwise), {0, 0, 0} leaves it. The free disks join; every volume of the raid set is
//      laid out afresh over the members (a changed one migrates: state 0x4, progress 0); 'K'
//      when they no longer fit. One event 1/2.
//   0x53 {raid}: state flags | 0x05, also with members missing; 0x56 {raid}: bit 0 cleared.
//   0x54 {u32 mask} global spares, or {FF FF FF FF, enclosure, slot, kind 0-2, u16 raid} (9):
//      dedicated (kind 1) to a raid set ('D'). 0x55 {u32 mask} or {FF FF FF FF, enclosure, slot,
//      zeros} (6-644): back to free disks ('F' unless a hot spare).
//   0x60 {raid, name, u64 blocks, level, stripe code 0-8 (8 << code sectors), channel, id, lun,
//      tagged, cache, byte 53, flags 0-3, encryption, 6 zeros} (41): the lowest free volume
//      number, first fit in the free segments; levels 0 (n >= 1), 1 (n >= 2), 2-4 (n >= 3).
//      A request larger than the largest segment holds is cut to it, as a controller does;
//      'K' only when the raid set has no free segment; then a channel/id/lun in use 'G'. No
//      name: "Volume---VOL#nnn". It initialises (state 0x1, 2/8 then 2/0) whatever the flags
//      say; encryption sets flags 0x40008000.
//   0x65 {n 2-8, 8 raid sets, name, u64 blocks, settings, flags, encryption} (43, extended
//      volume records only, else 'H'): the nested volume at the lowest free number, then one
//      member volume (flag 0x100) per raid set in the next free numbers, each an even share;
//      a share larger than the fullest raid set's largest segment holds is cut to it ('K' when
//      one of them has no free segment); ready at once (state 0) with one event 2/8. Deleting
//      it (0x62) removes the members.
//   0x61 {volume, name or zeros, u64 blocks or 0, settings, 4 zeros} (37): a level or stripe
//      change migrates, a larger capacity takes space (laid out afresh when it does not fit
//      in place); no shrinking ('G'); a nested volume changes its name and address only. 2/10.
//   0x62 {volume}: pass-through volumes and nested members 'G'. 0x66 {volume}: clears 0x40000000.
//   0x63 {volume, 0|1, 0|1}: 'B' unless state 0 on a complete raid set; state 0x100. 0x64 {}:
//      every check stops (2/21 each).
//   0x40 {drive, 6 settings} (7) or {drive, 6 settings, 0} (8); enclosure family {enclosure,
//      slot, 6 settings} (8). Settings: channel, id, lun, tagged, cache, byte 53; a channel, id
//      or lun of 0xFF or an address in use 'G'. 0x41 the same form (7 / 8), 0x42 {drive} /
//      {enclosure, slot}: 'F' unless a pass-through disk.
//   0x43 {0, u32 mask} (5), or {0, mode, enclosure, slot} (4, enclosure family): mode 0 one
//      disk, 1 an enclosure, 2 all off; FakeController::locateState.
//   0x1F op 8 / 0x0B {.., enclosure (0 on the older family), slot at 10} (525): fail a disk /
//      bring a failed one back: into its place in its raid set (volumes failed by the loss
//      recover when the rest survives), or as a free disk when that raid set is gone; 3/0.
//   0x44 {enc, slot, 0, 0, 0, psid} (37) / 0x45 {enc, slot}: ']' / '_' for an empty slot.
//      0x46 {0, n, mode, 0, 0, n x {se, ss, te, ts}} or {1, drive}: 'f' when a disk is missing;
//      'H' on the older family. 0x58 {raid, 0, 0, erase} / 0x59 {raid, 0, 0, 0}: as 0x51.
// Progress moves only through advanceProgress / advanceAll (zynsim --progress-ms).
//
// Pass-through and model commands.
//   0x1C {op, "KvoD", slot, arg} (7): SMART of the disk in enclosure 0 at `slot`: ops 0/1 two
//      bytes and the attribute / threshold page (smartPage), 4/8/9/16/17 u16 1, 10 u32 10000,
//      18 24 bytes; 'F' for an empty slot. {0x13 in | 0x14 out | 0x15 none, "KvoD", slot,
//      task file 6-12, enclosure 13, sector 21-532} (639): status, error, count, LBA, data in
//      from 2; IDENTIFY (0xEC), SMART 0xB0 (needs 4F C2; D0 page, D1 thresholds, D8/D9, DA,
//      D6 write log out), the threshold check 0xDA (F4 2C when an attribute reached its
//      threshold, else 4F C2), power mode 0xE5 (FF); others aborted (51, 04). {0x16, "KvoD",
//      slot, cdb length, out, .., enclosure 13, cdb 29, data 61} (639): [0] 0, u32 length at 6,
//      data from 10 (TEST UNIT READY, INQUIRY 36 bytes, LOG SENSE of the cumulative page 0x15:
//      12 bytes, parameter 0 with the power-on minutes (1000 + slot) * 60 + 30 big-endian at 8);
//      otherwise check condition (02 70 00
//      05 20 00; 02 for an empty slot).
//   0x47 {0, e} 3664 bytes for expanders 0-1, {1, e} 'A'. 0xF4 (17) 'A'; 0xF5 {max, min
//      codes 3/6/12/24/95, data} (18). 0x5A keys: 1-4 {sub, 0 x 4, key 32} create (1, 2; 'Y'
//      with a key) or change (3, 4; 'Y' without one), 5 clear, 6 disable, 7 export (512
//      bytes, 'Y' without a key), 8 {8, type 0-1, 0, 0, 0, key 512} import; answers 5C and
//      little-endian words. 0x1F op 10 {scheduler 0-10, idle 0-9, scrub, parity, zeros}.
//
// Identity, settings and maintenance. Each command checks its payload's length and fixed bytes
// and answers 'G' when they are wrong; the access strings are zynconst's.
//   0x10 {15, access16, serial zero-padded to 16}: sSYSTEM_INFO 40-55 (text up to NUL, not
//      empty). 0x11 {8, access8, 8 blanks, vendor in 40 bytes}: 0-39; 0x12 {8, access8, 8 blanks,
//      model in 8}: 104-111. Vendor and model: the text up to a NUL, trailing blanks cut, then
//      NUL-padded (so sSYSTEM_INFO holds "Acme", not "Acme" and 36 blanks); empty: 'G'.
//   0x17 {8, access8, 8 zeros, 6 bytes}: the MAC address, 152-157.
//   0xEF {15, access16, text zero-padded to 16}: setup field 76 (unitSerial()); 'H' unless
//      capability 0x02. 0x32 {length 0-15, text, zeros} (16): the password 0x14 takes from then
//      on (kRoadPassword stays), also written to setup fields 20 and 21.
//   0x1D {8, access8, yy, month, day, hour, minute, second} (15), {.., 55, AA} (17, only with
//      capability 0x01): the clock (a real date, hours 0-23). 0x1F op 7 {0} answers 8 bytes of
//      BCD: second, minute, hour, weekday (0 Sunday - 6), day, month, year % 100, 0 - the set
//      clock advanced by the time since it was set (as a calendar, without time zones), or the
//      host's local time before any 0x1D. Op 1 {0, 0|1}: the LCD title ('A').
//   0x1F op 0 {0, block low, block high | 0x80 on the last, 0-512 data, 0}: blocks from 0 in
//      order ('A' each; a block out of order answers 'R' and drops the upload, block 0 starts
//      afresh); the last block answers the verdict (setFirmwareVerdict).
//   0x18 {page, 'U' AA A5 'Z', 1-2000 bytes}: keeps the page; pages 0-3 on the older family,
//      0-31 on the other; {FF 55 AA A5 5A} clears all pages.
//   0x30: 'A'. 0x31 {0|1}: sSYSTEM_INFO 159. 0x33 {0|1}, 0x34 {0-3}, 0x35 {any}: stored.
//   0x37 {a 0-1, b 0-7, 1, c 0-1, 0, 0}: stored. 0x39 {dhcp 0|1, 4 octets}: sSYSTEM_INFO 158 and
//      116-119 and setup fields 32 and 16 (the UDP front end stays where it is).
//   0x36: no reply; for ControllerConfig::resetSilenceMs every frame is dropped unanswered and
//      unlogged (RxFrame), then the power-on event (5/38) is logged and the log-in is gone.
//   0x1E: the SNMP agent (snmpagent.h). Community: setup field 72 up to its NUL, or
//      zynconst::kDefaultCommunity when that is empty (a fresh image's is). A request with another
//      community gets no reply at all, as an agent drops it; a malformed one 'G'. sysDescr is
//      "Varnel RAID controller " + the model name, sysContact/sysLocation/sysName setup fields
//      73/74/75 up to NUL, sysUpTime counts from the last start.
//   0x16: a piece of an HTTP request (webserver.h), collected per front end and sender; the
//      complete request gets one reply frame (short form up to 65534 bytes of response text, long
//      form beyond), the pieces before it none. A piece of 0 or over 1024 bytes: 'G'.
// Password mode: 0x1E and 0x1F op 7 read; all the others of this list need a log-in.
//
// Setup image and command 0x1F. Each controller holds a setup image of one of four layouts:
// layout 0 has 1024 bytes (sysinfo byte 188 = 0), layout 1 4096 bytes (188 = 8, 177 = 16),
// layout 2 21936 bytes and layout 3 86832 bytes (both 188 = 8, 177 = 0x80). ControllerConfig::
// setupLayout picks it; by default Older and E100 have layout 0, Enclosure 3, the JBOD profiles
// 1. The layout wins over ControllerConfig::volumeNumbers, and the configuration line
// "controller volumes N" is refused when N differs from the layout's number. A fresh image holds
// the byte pattern (i * 37 + 11) & 0xFF with these fields of the setup table set where the
// layout has them: IP 192.168.1.100, mask 255.255.255.0, gateway 192.168.1.1, DHCP 0, ports
// HTTP 80, Telnet 23, SMTP 25 (u16 LE), max command length 0x81, 1 power supply, the
// controller's password (length byte + 15 bytes), its serial as the unit serial, an empty SNMP
// community, contact "Storage administrator", location "Machine room", the name
// ControllerConfig::systemName gives.
// Every 0x1F payload starts 08 "PlUmEvOr" op (bytes 0-9); a payload shorter than that or with
// another sub-command or prefix answers 'G', an unknown op 'H'.
//
//   op 0x40 {0, page}: 512 bytes of the image from page * 512, zero past its end; a page at or
//      past the end answers 'T'.
//   op 0x42 'B' {1, u32 offset, u16 length, data}: length 1-512; 'A', or 'G' for a length of 0
//      or over 512, data the payload does not hold, or bytes past the image. With
//      setRefuseLongSetupWrites(true) every 'B' write answers 'H'.
//   op 0x41 'A' {1, u16 offset, length mod 256 (0: 512), data}: 'A', or 'G' as above.
//   op 0x04 {0}: 16 bytes, bit r of byte r / 8 set for every raid set in use.
//   op 0x06 {0}: the same for the volume sets on raid sets (ordinary volumes); op 0x05 {0}: for
//      the other volumes, nested volumes and pass-through disks. The client unites the two.
// Writes change exactly their bytes and raise no events. In password mode 0x1F needs a log-in
// except for the page read and the bitmaps (isReadRequest).
//
// Configuration text (one directive per line; '#' starts a comment outside quotes; words and
// numbers are separated by blanks; text in double quotes may hold blanks, \" and \\; numbers are
// decimal or 0x hex; E:S is enclosure:slot, and on the older family a bare S is channel S).
// Loading starts from the profile's hardware with no disks, sets or events, then applies the
// lines in order; each line raises its events. An error leaves the model as it was and reports
// "line N: reason". FakeController::applyConfig (and zynsim's standard input) applies lines to
// the model as it is instead.
//
//   controller [channels N] [volumes N] [raidsets N] [ring C]
//       channels: older family only, 1-128, before any disk; volumes/raidsets 1-128; ring: C.
//   enclosure E [vendor "T"] [name "T"] [revision "T"] [type 1-3] [slots 0-128] [fans N]
//             [voltages N] [temps N] [power N] [battery 0-100|254|255|none]
//       enclosure family only; the first one drops the profile's enclosures; numbered 0, 1, ...
//       in order (at most 32), before any disk. Sensor counts 0-128 each, 256 in all.
//   disk E S [model "T"] [serial "T"] [firmware "T"] [capacity BLOCKS] [sata] [address U64]
//        [media N] [timeouts N] [temp N] [smart V:T V:T V:T V:T V:T V:T] [rpm N]
//        [counters N x 20]
//       the diagnostics of DiskHealth; left out: those of a fresh disk of the slot.
//   fail E:S | remove E:S
//   raidset [N] "NAME" disks E:S E:S ... [sed]
//   volume [N] "NAME" raidset R capacity BLOCKS level 0-4 [stripe SECTORS] [channel C] [id I]
//          [lun L] [tagged 0|1] [cache C] [extra U32] [serial "T"] [encryption T] [keystatus K]
//          [flags U32] [state U32] [progress 0-1000]
//       level: 0 Raid0, 1 Raid1+0, 2 Raid3, 3 Raid5, 4 Raid6; stripe a power of two 8-2048
//       (default 128); state/progress apply after creation (state 0 completes initialisation).
//   nested [N] "NAME" members V V ...            (enclosure profile: extended volume records)
//   hotspare E:S [global | dedicated R | enclosure]
//   passthrough E:S
//   event CLASS CODE ["NAME"] [channel N]
//   sensor [enclosure E] KIND VALUES [/ KIND VALUES ...]
//       KIND: fan, voltage, temp, power, battery, ups. Older family: the 0x1B block (fan rpm;
//       voltage V[:W] = the entry's two words, nominal and measured, W = V when left out; temp -128..127; power: one value per supply,
//       nonzero = good, at most 8; battery N: block 55 AA 01 N; ups N: one state byte). E100: at
//       most 1 fan, 4 voltages (their measured words), 2 temps. Enclosure family: without "enclosure E" the
//       controller's own sensors; values V[:FLAGS]; battery as in the enclosure line.
//
//   Names of raid and volume sets hold 1-16 characters, disk models 40, serials 20, firmware 8,
//   enclosure vendor 8, name 16, revision 4; capacities 1 .. 2^48 blocks.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "records.h"

namespace iokit {
class InProcessRegistry;
}

namespace zynsim {

using Bytes = std::vector<uint8_t>;

enum class Profile {
    Older,       // older family: disks on channels, family byte 1
    Enclosure,   // enclosure-based family: family byte 3
    Jbod,        // "Varnel JBOD Subsystem"
    Jbod6G,      // "Varnel 6G JBOD Subsystem"
    E100,        // older family external box: 5 drive channels, its own monitor block, model
                 // name "ZYN-E100"
};
// "older", "enclosure", "jbod", "jbod6g", "e100"; false for an unknown name.
bool profileFromName(const std::string& name, Profile* out);
std::string profileName(Profile profile);

struct ControllerConfig {
    Profile profile = Profile::Enclosure;
    std::string serial;                  // empty: a distinct serial is made up ("Y" + 15 digits)
    std::string password = "0000";       // the controller's own password
    int modelNumber = 1880;              // decimal model number in the identify string
    std::string firmware = "V1.56 2021-03-18";
    uint32_t eventRingCapacity = 256;    // sSYSTEM_INFO dword 148
    bool emptyModel = false;             // no disks, sets or events (the enclosures stay)
    int volumeNumbers = 16;              // sSYSTEM_INFO byte 177 (1-128; 16 or 128 in the product);
                                         // setup layouts 1-3 override it (16, 128, 128)
    int raidSetNumbers = 16;             // sSYSTEM_INFO byte 178 (1-128)
    int setupLayout = -1;                // setup image layout 0-3; other values: by profile
    uint8_t capabilities = 0x03;         // sSYSTEM_INFO byte 196: 0x01 UTC clock, 0x02 command 0xEF
    int boardType = -1;                  // sSYSTEM_INFO byte 188 (0-255); -1: by the setup layout
    bool onBoardNetwork = true;          // sSYSTEM_INFO byte 179
    int family = -1;                     // sSYSTEM_INFO byte 189 as reported (0-255; 2 the SATA
                                         // controllers); -1: by the profile (1 or 3). The model
                                         // keeps the profile's addressing either way
    bool raid6 = false;                  // sSYSTEM_INFO byte 180: Raid6 volumes supported
    int resetSilenceMs = 2000;           // how long the controller hears nothing after 0x36
    int silentAfterFrames = -1;          // answer this many frames, then none (-1: always answer);
                                         // a silent controller logs nothing it hears
    std::array<uint8_t, 6> mac{};        // all zero: a distinct address is made up; with the
                                         // serial of another controller it makes a clone
    std::string systemName;              // the SNMP system name (setup field 75); empty:
                                         // "varnel-raid", with "-" and the address (UDP) or
                                         // "-slot" and the order (driver) when Simulator serves it
};

// The clock as command 0x1D last set it.
struct ClockSetting {
    bool set = false;                    // false: never set, the clock reads the host's local time
    uint8_t year = 0;                    // years since 2000
    uint8_t month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool utc = false;                    // set with the UTC form (55 AA)
};

// Options of a new raid set.
struct RaidSetOptions {
    int number = -1;                     // -1: the first free number
    uint16_t flags = 0;                  // record flags (sGUI_RAIDSET::kFlagSed)
};

// What a disk reports of itself besides its identity: the diagnostics of its drive record.
// The older family's disks and the enclosure family's SATA disks report the ATA view (SMART
// attributes and a one-byte temperature), the enclosure family's others the SAS view (rotation,
// temperature and twenty error counters).
struct DiskHealth {
    bool sata = false;                   // enclosure family: a SATA disk (drive state bit 0x100)
    uint64_t address = 0;
    int32_t mediaErrors = 0;
    int32_t timeouts = 0;
    uint16_t temperature = 0;            // degrees C
    // SMART value and threshold per attribute; a calibration value of 255 reads "not reported".
    std::array<std::pair<uint8_t, uint8_t>, 6> smart{};
    uint16_t rpm = 0;
    std::array<uint64_t, 20> counters{};
};

// Options of a new volume set.
struct VolumeOptions {
    int number = -1;                     // -1: the first free number
    int channel = 0;                     // 0x80 selects the extended layout of the 0x21 reply
    int id = -1;                         // -1: volume number / 8
    int lun = -1;                        // -1: volume number % 8
    uint8_t taggedQueuing = 1;
    uint8_t cacheMode = 1;
    uint32_t extra = 0;                  // the u32 at 88 (sent with the extended channel only)
    uint32_t flags = 0;                  // flag word bits besides the nested ones
    uint8_t encryptionType = 0;
    uint8_t keyStatus = 0;
    std::string serial;                  // empty: made up from the controller's serial
};

// The locate lights command 0x43 left on: disks ({enclosure, slot}; older family {0, channel}),
// or every slot of one enclosure.
struct LocateState {
    std::vector<std::pair<int, int>> disks;
    int enclosure = -1;                  // -1: none
};

// The password the application's command road logs in with; always accepted by 0x14.
constexpr const char* kRoadPassword = "QRT205813946071";

// Commands that only read, whatever their payload. The password check asks isReadRequest:
// requests that read never answer 'M'; every other request changes the controller.
bool isReadCommand(uint8_t command);
// isReadCommand, except that 0x1F reads with its page read and bitmap operations only.
bool isReadRequest(uint8_t command, const Bytes& payload);

// How the simulator answers a frame. Scripted answers replace the model's answer.
struct Answer {
    enum Kind { Status, Data, Raw, Silence, Model };
    Kind kind = Model;
    uint8_t letter = 'A';        // Status
    Bytes bytes;                 // Data: the data of a data reply; Raw: the exact bytes sent
    // Faults applied to the reply bytes, in this order:
    bool badChecksum = false;    // flip the checksum byte
    int truncateTo = -1;         // send only the first N bytes
    int delayMs = 0;             // hold the reply back this long
    int splitParts = 1;          // send the reply in this many pieces (UDP datagrams / driver arrivals)
    int splitGapMs = 0;          // pause between the pieces
    // UDP: the reply waits until the controller's next frame from anyone arrives and goes out
    // just before that frame's answer, to the address the held request came from (a reply that
    // comes too late, in a fixed order). The driver front end ignores it.
    bool holdUntilNextFrame = false;
    // Not empty: only frames whose payload starts with these bytes take this script; the
    // others pass it by (to the model or a later script).
    Bytes payloadPrefix;

    static Answer status(uint8_t letter);
    static Answer data(Bytes data);
    static Answer raw(Bytes bytes);
    static Answer silence();
    static Answer model();       // the model's own answer, with faults added
};

struct LogEntry {
    enum Kind {
        RxChunk,   // a datagram or driver write as received (bytes = the chunk)
        RxFrame,   // a complete command frame (command, payload)
        TxFrame,   // a reply frame as sent (bytes = the whole reply, faults applied)
        TxChunk,   // a datagram or driver read arrival as sent
    };
    Kind kind;
    std::string via;            // "udp:127.0.0.2:7890" or "driver:<entry id>"
    uint8_t command = 0;        // RxFrame, TxFrame
    Bytes bytes;                // RxFrame: the payload; others: the bytes
    std::string peer;           // UDP: the sender "ip:port"
    std::chrono::steady_clock::time_point when;
};

// The model of one controller. Thread-safe: the front ends and the tests call it from any thread.
class FakeController {
public:
    explicit FakeController(const ControllerConfig& config);
    ~FakeController();
    FakeController(const FakeController&) = delete;
    FakeController& operator=(const FakeController&) = delete;

    // The configuration in effect: setupLayout resolved to 0-3, volumeNumbers as the layout fixes it.
    const ControllerConfig& config() const;
    std::string serial() const;      // sSYSTEM_INFO 40-55: the configured one until 0x10 sets another
    Bytes systemInfo() const;        // the 256-byte record
    Bytes identifyString() const;    // the 64-byte identify reply data

    // Handles one complete command frame; returns the reply frame (empty: no reply) and the
    // faults to apply. `via` names the front end for the log.
    struct Reply {
        Bytes bytes;
        int delayMs = 0;
        int splitParts = 1;
        int splitGapMs = 0;
        bool holdUntilNextFrame = false;
    };
    Reply handleFrame(const Bytes& frame, const std::string& via, const std::string& peer = {});

    // Scripts: the next `count` frames of `command` get `answer` (queued behind earlier scripts
    // for the same command; one with a payload prefix counts only the frames it matches).
    // scriptAll applies to every command.
    void script(uint8_t command, int count, const Answer& answer);
    void scriptAll(int count, const Answer& answer);
    void clearScripts();

    // Password mode: while on and not logged in, commands that change the controller answer 'M'.
    // 0x14 with the controller's password or kRoadPassword logs in; a wrong password gets 'J'.
    void setPasswordRequired(bool on);
    // The stricter password mode (on turns password mode on and ends the log-in): every
    // command but 0x13 and 0x14 needs the log-in. Off goes back to the changing commands only.
    // In either, a log-in lapses `lapseMs` after it was taken (0: never).
    void setLogInForEveryCommand(bool on, int lapseMs = 0);
    // On: 0x14 with kRoadPassword gets 'J'; only the controller's own password logs in.
    void setRoadPasswordRefused(bool on);
    bool passwordRequired() const;
    bool loggedIn() const;

    // The address reported in sSYSTEM_INFO (set by the UDP front end; 0.0.0.0 otherwise).
    void setIpAddress(const std::array<uint8_t, 4>& address);

    // The frame log.
    std::vector<LogEntry> log() const;
    void clearLog();
    void logEntry(LogEntry entry);            // used by the front ends
    bool setLogFile(const std::string& path); // appends each entry as a hex line
    // Frames of `command` received so far (RxFrame entries).
    int framesReceived(uint8_t command) const;

    // Driver front end bookkeeping: exchanges (open .. close of a driver connection) that ran
    // while another one was open on the same controller.
    int overlappingExchanges() const;
    void exchangeBegins();
    void exchangeEnds();

    // ---- The device model (see the top of this file). Records as the controller sends them.
    sGUI_RAIDSET raidSet(int i) const;              // zeros when absent or out of range
    sGUI_VOLUMESET volumeSet(int i) const;          // the library's re-packed form
    Bytes volumeReply(int i) const;                 // the 128 bytes of the 0x21 reply
    sGUI_PHY_DRV disk(int enclosure, int slot) const;   // older family: enclosure 0, slot = channel
    sGUI_ENC_PROPERTY enclosure(int e) const;
    // What a disk answers to pass-through: its SMART attribute or threshold page, its ATA
    // IDENTIFY and its SCSI INQUIRY data (empty for an empty slot). SMART requests name the disk
    // by slot (enclosure 0); ATA and SCSI requests carry the enclosure in payload byte 13.
    Bytes smartPage(int enclosure, int slot, bool thresholds) const;
    Bytes ataIdentify(int enclosure, int slot) const;
    Bytes scsiInquiry(int enclosure, int slot) const;
    // The self-encrypting disk key 0x5A set (empty: none), and what 0x1F operation 10 set.
    Bytes sedKey() const;
    std::array<uint8_t, 4> scheduledCheck() const;
    std::vector<sEVET_DATA> events() const;         // the ring, oldest first
    uint32_t eventCounter() const;                  // what 0x19 answers

    // Changes; each logs its events and keeps the records consistent. On an invalid request
    // nothing changes and `reason` (when given) says why.
    bool addDisk(int enclosure, int slot, const std::string& model, const std::string& serial,
                 uint64_t capacityBlocks, std::string* reason = nullptr);
    bool removeDisk(int enclosure, int slot, std::string* reason = nullptr);
    // Replaces the diagnostics of a present disk (no event).
    bool setDiskHealth(int enclosure, int slot, const DiskHealth& health, std::string* reason = nullptr);
    bool failDisk(int enclosure, int slot, std::string* reason = nullptr);
    // Returns the raid set number, -1 on error. disks: {enclosure, slot} each.
    int createRaidSet(const std::string& name, const std::vector<std::pair<int, int>>& disks,
                      const RaidSetOptions& options = {}, std::string* reason = nullptr);
    bool deleteRaidSet(int raid, std::string* reason = nullptr);   // only without volume sets
    // Returns the volume number, -1 on error. level: 0 Raid0, 1 Raid1+0, 2 Raid3, 3 Raid5,
    // 4 Raid6. Starts initialising (state 0x1); setVolumeState(v, 0, 0) completes it.
    int createVolumeSet(int raid, const std::string& name, uint64_t capacityBlocks, int level,
                        uint32_t stripeSectors, const VolumeOptions& options = {},
                        std::string* reason = nullptr);
    bool deleteVolumeSet(int volume, std::string* reason = nullptr);
    // A volume striped over volume sets (extended volume records only). Returns its number.
    int createNestedVolume(const std::string& name, const std::vector<int>& members,
                           std::string* reason = nullptr);
    // kind: 0 global, 1 dedicated to `raid`, 2 enclosure. The disk must be free.
    bool setHotSpare(int enclosure, int slot, int kind, int raid = -1, std::string* reason = nullptr);
    bool clearHotSpare(int enclosure, int slot, std::string* reason = nullptr);
    // Makes a free disk a pass-through disk: a volume set of level 5. Returns its number.
    int setPassThrough(int enclosure, int slot, std::string* reason = nullptr);
    bool clearPassThrough(int enclosure, int slot, std::string* reason = nullptr);
    void addEvent(const sEVET_DATA& event);         // logged as given
    // State word and progress (tenths of a per cent, at most 1000).
    bool setVolumeState(int volume, uint32_t state, uint32_t progress, std::string* reason = nullptr);
    // Moves the initialisation, migration, rebuild or check running on `volume` on by `tenths` of
    // a per cent; at 1000 the state bit goes (progress 0) and the completion event is logged (2/4,
    // 2/6, 2/5, 2/7). False when nothing runs there (or the volume has failed). advanceAll: every volume.
    bool advanceProgress(int volume, int tenths);
    void advanceAll(int tenths);
    // Fixes the clock events are stamped with (seconds since 1970, local time); 0: the real clock.
    void setClock(int64_t unixSeconds);

    // Fault switches.
    void setEventRingCapacity(uint32_t capacity);   // any value; sysinfo dword 148 follows
    void setHwMonitorBlock(const Bytes& block);     // older family 0x1B reply as given; empty: the model's
    void setSensorValues(int enclosure, const Bytes& reply);    // 0x1B {e, 2, 0}; empty: the model's
    // Section counts (slots, fans, voltages, temperatures, power supplies) the property record
    // claims; the descriptor and value replies follow them (values past the model are zero,
    // replies stop at 2048 bytes, 128 names). nullptr: the model's own counts.
    void setEnclosurePropertyCounts(int enclosure, const uint8_t counts[5]);
    // 0-100 per cent, 254 failed, 255 absent, -1 no battery (0x1B {e, 3, 0} answers 'H'). Older
    // family: the battery block of the monitor reply (-1: none).
    bool setBattery(int enclosure, int percentOrMinus1ForNoBattery);

    // Replaces the model with the one `text` describes (format at the top of this file).
    bool loadConfig(const std::string& text, std::string* error);
    // Applies the lines of `text` to the model as it is: nothing is reset, each line raises its
    // events, an enclosure line adds the next enclosure. An error leaves the model as it was.
    bool applyConfig(const std::string& text, std::string* error);

    // ---- The setup image (see the top of this file).
    Bytes setupImage() const;
    bool setSetupImage(const Bytes& image);   // false unless the size is the layout's
    int setupLayout() const;
    void setRefuseLongSetupWrites(bool on);   // every 'B' (0x42) write answers 'H'

    // ---- Identity, settings and maintenance (see the top of this file).
    std::string password() const;             // the controller's own (0x32 changes it)
    std::string unitSerial() const;           // setup field 76 up to its first NUL
    ClockSetting clockSetting() const;
    Bytes logoPage(int page) const;           // as the last 0x18 gave it; empty: none or cleared
    Bytes firmwareImage() const;              // the last image taken; empty before any
    int firmwareUpdates() const;              // images taken
    // The answer to the last block of an image: 'A' checks the image (taken unless empty, else
    // 'Q'); 'P', 'Q' or 'R' refuse it with that letter. Stays until set again.
    void setFirmwareVerdict(char letter);
    uint8_t beeper() const;                   // sSYSTEM_INFO byte 159
    int beeperMutes() const;                  // 0x30 frames answered
    uint8_t hostMode() const;
    uint8_t rebuildPriority() const;
    uint8_t maxAtaMode() const;               // as sent
    Bytes termPort() const;                   // the six bytes of the last 0x37 ({0, 0, 1, 0, 0, 0} before)
    uint8_t dhcp() const;                     // sSYSTEM_INFO byte 158
    uint8_t lcdTitle() const;                 // 0x1F op 1
    std::string lastHttpRequest() const;      // the last complete request of the web server
    LocateState locateState() const;          // as the last accepted 0x43 left it
    bool restarting() const;                  // within the silence after 0x36
    // Answers the next `frames` frames, then none (-1: answers again).
    void setSilentAfterFrames(int frames);
    // For the next `ms` milliseconds the controller answers nothing (a controller busy or
    // stalled): what it hears meanwhile is answered when the pause ends.
    void pauseFor(int ms);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Runs controllers on their front ends. Each front end runs on threads of the simulator's own.
class Simulator {
public:
    Simulator();
    ~Simulator();   // stops everything
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Serves a controller on address:port over UDP (port 7890 in the product; tests may pass
    // 0 for a free port, see udpPort). nullptr when the address cannot be bound (see error()).
    std::shared_ptr<FakeController> addUdpController(const std::string& address,
                                                     const ControllerConfig& config,
                                                     uint16_t port = 7890);
    uint16_t udpPort(const std::shared_ptr<FakeController>& controller) const;

    // Publishes a controller as a driver service in `folder` (registry folder of the user-client
    // stand-in) with the given position; the entry id is 0x100000000 + 0x100 * order + 1 unless
    // given. The parent name is "Varnel" + model number. nullptr on failure.
    std::shared_ptr<FakeController> addDriverController(const std::string& folder, int order,
                                                        const ControllerConfig& config,
                                                        uint64_t entryId = 0);
    // The same service in an in-process registry. The registry must outlive the controller's
    // service: remove the controller or stop the simulator before the registry goes.
    std::shared_ptr<FakeController> addInProcessController(iokit::InProcessRegistry& registry,
                                                           int order, const ControllerConfig& config,
                                                           uint64_t entryId = 0);
    // The same in the registry given by useInProcessRegistry or to the last call above;
    // nullptr when there is none.
    std::shared_ptr<FakeController> addInProcessController(int order, const ControllerConfig& config,
                                                           uint64_t entryId = 0);
    void useInProcessRegistry(iokit::InProcessRegistry* registry);
    // Withdraws a driver or in-process service (the device goes away).
    void removeDriverController(const std::shared_ptr<FakeController>& controller);

    std::string error() const;
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zynsim
