// The texts the event, hardware-monitor, network, mail, SNMP and NTP commands print: tables
// indexed by a byte or word the controller stores. Every lookup is bounded: a value past the
// end of its table gives the table's own fallback text.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace clitext {

// Entry `index` of `table`, or `fallback` for an index past its end.
template <std::size_t N>
const char* entryOr(const char* const (&table)[N], unsigned long index, const char* fallback)
{
    return index < N ? table[index] : fallback;
}

// Entry `index` of `table`, or "Unknown(index)" for an index past its end.
template <std::size_t N>
std::string entryOrUnknown(const char* const (&table)[N], unsigned long index)
{
    if (index < N)
        return table[index];
    char text[32];
    std::snprintf(text, sizeof text, "Unknown(%lu)", index);
    return text;
}

// ---- Events ----------------------------------------------------------------------------------

constexpr const char* kUnknownEvent = "Unknown Event";

inline constexpr const char* kRaidSetEvents[] = {
    "Create RaidSet", "Delete RaidSet", "Expand RaidSet", "Rebuild RaidSet", "RaidSet Degraded",
};

inline constexpr const char* kVolumeSetEvents[] = {
    "Start Initialize", "Start Rebuilding", "Start Migrating", "Start Checking", "Complete Init",
    "Complete Rebuild", "Complete Migrate", "Complete Check", "Create Volume", "Delete Volume",
    "Modify Volume", "Volume Degraded", "Volume Failed", "Failed Volume Revived", "Abort Initialization",
    "Abort Rebuilding", "Abort Migration", "Abort Checking", "Stop Initialization", "Stop Rebuilding",
    "Stop Migration", "Stop Checking", "Unsupported Stripe Size", "Start Cloning", "Complete Clone",
    "Abort Cloning", "Stop Cloning",
};

inline constexpr const char* kDeviceEvents[] = {
    "Device Inserted", "Device Removed", "Reading Error", "Writing Error", "ATA Ecc Error",
    "Change ATA Mode", "Time Out Error", "Device Failed", "PCI Parity Error", "Dev Fail (SMART)",
    "PassThrough Disk Created", "PassThrough Disk Modified", "PassThrough Disk Deleted",
};

inline constexpr const char* kEventClassNames[] = {
    "NO_EVENT", "RAIDSET", "VOLUMESET", "DEVICE", "HOST", "H/W MONITOR",
};

inline constexpr const char* kHostEvents[] = {
    "SCSI Bus Reset", "SCSI Bus Parity", "SCSI Bus SE<>LVD",
};

// The trailing blanks of the eight "Power#n Failed" and "Fan#n Failed" texts belong to them.
inline constexpr const char* kHwMonitorEvents[] = {
    "DRAM 1-Bit ECC", "DRAM Fatal Error", "Controller Over Temperature", "Backplane Over Temperature",
    "1.5V Abnormal", "3.3V Abnormal", "5V Abnormal", "12V Abnormal", "1.3V Abnormal", "2.5V Abnormal",
    "1.2V or 1.8V or 1.25V Abnormal", "Power#1 Failed  ", "Fan#1 Failed    ", "Power#2 Failed  ",
    "Fan#2 Failed    ", "Power#3 Failed  ", "Fan#3 Failed    ", "Power#4 Failed  ", "Fan#4 Failed    ",
    "UPS ACPower Loss", "Controller Over Temperature Recovered", "Backplane Over Temperature Recovered",
    "1.5V Abnormal Recovered", "3.3V Abnormal Recovered", "5V Abnormal Recovered", "12V Abnormal Recovered",
    "1.3V Abnormal Recovered", "2.5V Abnormal Recovered", "1.2V or 1.8V or 1.25V Abnormal Recovered",
    "Power#1 Failed Recovered", "Fan#1 Failed Recovered", "Power#2 Failed Recovered", "Fan#2 Failed Recovered",
    "Power#3 Failed Recovered", "Fan#3 Failed Recovered", "Power#4 Failed Recovered", "Fan#4 Failed Recovered",
    "UPS ACPower Loss Recovered", "Raid Powered On", "Test Event", "Power On With Battery Backup",
};

inline constexpr const char* kGeneralEvents[] = {
    "Recovered", "Over Temp.", "Failed", "Under Voltage", "Over Voltage", "Discovered",
    "Lost Rebuilding/Migration LBA", "Offlined", "HTTP Log In", "Telnet Log In", "VT100 Log In", "API Log In",
    "FC Link Up", "FC Link Down", "In U160 Mode", "Restart Init LBA Point", "Restart Rebuild LBA Point",
    "Restart Migration LBA Point", "One BIT ECC Error", "Multi BIT ECC Error", "Off", "Unknown Error", "Added",
    "Removed", "Mismatch", "Ready", "Restart", "Halted", "Restart Cloning LBA Point", "Renamed",
    "HotSpare Created", "HotSpare Deleted", "HotSpare Used", "Pre-Fail Warning", "No Response",
    "Authentication Failed", "Secure Erased", "Evaluation Alert",
};

// The voltages of the dual-temperature boards, in the order the monitor reports their pairs.
inline constexpr const char* kDualTemperatureVoltages[] = {
    "Power +12V", "Power +5V", "Power +3.3V", "SATA PHY +2.5V", "DDR-II +1.8V",
    "PCI-E +1.8V", "CPU +1.8V", "CPU +1.2V", "DDR-II +0.9V",
};

// ---- Network, mail, SNMP, NTP ----------------------------------------------------------------

inline constexpr const char* kDhcpStates[] = {"Disabled", "Enabled"};

inline constexpr const char* kMailLevels[] = {
    "Disabled(No Event Notification Will Be Sent)",
    "Urgent(Send Only Urgent Event)",
    "Serious(Send Urgent And Serious Event)",
    "Warning(Send Urgent, Serious And Warning Event)",
    "Information(Send All Event)",
};

inline constexpr const char* kMailNoEventStates[] = {
    "Disabled", "Enabled(Notify User If No Event Within 24H)",
};

inline constexpr const char* kSnmpLevels[] = {
    "Disable SNMP Trap", "Urgent Error Notification", "Serious Error Notification",
    "Warning Error Notification", "Information Notification", "Notification For No Event",
};

inline constexpr const char* kTimeZones[] = {
    "(GMT-12:00)International Date Line West",
    "(GMT-11:00)Midway Island, Samoa",
    "(GMT-10:00)Hawaii",
    "(GMT-09:00)Alaska",
    "(GMT-08:00)Pacific Time(US&Canada), Tijuana",
    "(GMT-07:00)Arizona",
    "(GMT-07:00)Chihuahua, La Paz, Mazatlan",
    "(GMT-07:00)Mountain Time(US&Canada)",
    "(GMT-06:00)Central America",
    "(GMT-06:00)Central Time(US&Canada)",
    "(GMT-06:00)Guadalajara, Mexico City, Monterrey",
    "(GMT-06:00)Saskatchewan",
    "(GMT-05:00)Bogota, Lima, Quito",
    "(GMT-05:00)Eastern Time(US&Canada)",
    "(GMT-05:00)Indiana(East)",
    "(GMT-04:00)Atlantic Time(Canada)",
    "(GMT-04:00)Caracas, La Paz",
    "(GMT-04:00)Santiago",
    "(GMT-03:30)Newfoundland",
    "(GMT-03:00)Brasilia",
    "(GMT-03:00)Buenos Aires, Georgetown",
    "(GMT-03:00)Greenland",
    "(GMT-02:00)Mid-Atlantic",
    "(GMT-01:00)Azores",
    "(GMT-01:00)Cape Verde Is.",
    "(GMT)Casablanca, Monrovia",
    "(GMT)Greenwich Mean Time, Dublin, Edinburgh, Lisbon, London",
    "(GMT+01:00)Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna",
    "(GMT+01:00)Belgrade, Bratislava, Budapest, Ljubljana, Prague",
    "(GMT+01:00)Brussels, Copenhagen, Madrid, Paris",
    "(GMT+01:00)Sarajevo, Skopje, Warsaw, Zagreb",
    "(GMT+01:00)West Central Africa",
    "(GMT+02:00)Athens, Beirut, Istanbul, Minsk",
    "(GMT+02:00)Bucharest",
    "(GMT+02:00)Cairo",
    "(GMT+02:00)Harare, Pretoria",
    "(GMT+02:00)Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius",
    "(GMT+02:00)Jerusalem",
    "(GMT+03:00)Baghdad",
    "(GMT+03:00)Kuwait, Riyadh",
    "(GMT+03:00)Moscow, St. Petersburg, Volgograd",
    "(GMT+03:00)Nairobi",
    "(GMT+03:30)Tehran",
    "(GMT+04:00)Abu Dhabi, Muscat",
    "(GMT+04:00)Baku, Tbilisi, Yerevan",
    "(GMT+04:30)Kabul",
    "(GMT+05:00)Ekaterinburg",
    "(GMT+05:00)Islamabad, Karachi, Tashkent",
    "(GMT+05:30)Chennai, Kolkata, Mumbai, New Delhi",
    "(GMT+05:45)Kathmandu",
    "(GMT+06:00)Almaty, Novosibirsk",
    "(GMT+06:00)Astana, Dhaka",
    "(GMT+06:00)Sri Jayawardenepura",
    "(GMT+06:30)Rangoon",
    "(GMT+07:00)Bangkok, Hanoi, Jakarta",
    "(GMT+07:00)Krasnoyarsk",
    "(GMT+08:00)Beijing, Chongging, Hong Kong, Urumqi",
    "(GMT+08:00)Irkutsk, Ulaan Bataar",
    "(GMT+08:00)Kuala Lumpur, Singapore",
    "(GMT+08:00)Perth",
    "(GMT+08:00)Taipei",
    "(GMT+09:00)Osaka, Sapporo, Tokyo",
    "(GMT+09:00)Seoul",
    "(GMT+09:00)Yakutsk",
    "(GMT+09:30)Adelaide",
    "(GMT+09:30)Darwin",
    "(GMT+10:00)Brisbane",
    "(GMT+10:00)Canberra, Melbourne, Sydney",
    "(GMT+10:00)Guam, Port Moresby",
    "(GMT+10:00)Hobart",
    "(GMT+10:00)Vladivostok",
    "(GMT+11:00)Magadan, Solomon Is., New Caledonia",
    "(GMT+12:00)Auckland, Wellington",
    "(GMT+12:00)Fiji, Kamchatka, Marshall Is.",
    "(GMT+13:00)Nuku'alofa",
};
static_assert(sizeof kTimeZones / sizeof kTimeZones[0] == 75, "75 time zones");

inline constexpr const char* kDaylightSaving[] = {"Enabled", "Disabled"};

} // namespace clitext
