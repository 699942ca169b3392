// The event and hw commands: the controller's event log as a table, clearing it, and the
// hardware monitor in the layout of the controller's kind (the external box, the ordinary
// boards, the enclosure family with one block per enclosure).
//
// The log is read through the controller's ReadWholeEventLog and cleared through its
// ClearEventLog (the facade's ZynClearEvent), so that the polling thread still receives every
// event once, whatever the console read or cleared in between.
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/cli-evnettables.h"
#include "cli/output.h"
#include "zynconst.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

using clicommon::resultLine;

namespace {

constexpr int kEventRule = 79;
// The device column of the event table, in characters.
constexpr int kDeviceWidth = 16;
constexpr int kMonitorRule = 43;
constexpr int kEnclosureMonitorRule = 53;
constexpr double kMillivolt = 1000.0;

// The calendar form of an event's time word.
constexpr uint32_t kTimeLowBits = 0x7FFFFFFFu;
constexpr int kYearShift = 22, kMonthShift = 27, kDayShift = 17, kHourShift = 12, kMinuteShift = 6;
constexpr uint32_t kYearMask = 31, kMonthMask = 15, kDayMask = 31, kHourMask = 31, kMinuteMask = 63,
                   kSecondMask = 63;
constexpr int kBaseYear = 2000;

// Elapsed time in tenths of a second.
constexpr uint32_t kTenthsPerHour = 36000;
constexpr uint32_t kTenthsPerSecond = 10;
constexpr uint32_t kSecondsPerHour = 3600;
constexpr uint32_t kSecondsPerMinute = 60;

// The identify string: its buffer, and where the decimal model number begins and ends.
constexpr int kModelNumberEnd = zynident::kIdentifyCopy;
constexpr uint32_t kModelNumberLimit = 100000000u;

void rule(int n)
{
    cliout_zynmsr.Output_("%s\n", std::string(std::size_t(n), '=').c_str());
}

// The volume set events whose elapsed time is shown: the completions, aborts and stops.
bool showsElapsed(uint8_t code)
{
    using namespace zynevent;
    return (code >= kCompleteInit && code <= kCompleteCheck) || (code >= kAbortInitialization && code <= kStopChecking)
        || (code >= kCompleteClone && code <= kStopCloning);
}

std::string timeText(uint32_t t)
{
    char text[32];
    if (t & sEVET_DATA::kTimePacked)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", int((t >> kYearShift) & kYearMask) + kBaseYear,
                      int((t >> kMonthShift) & kMonthMask), int((t >> kDayShift) & kDayMask),
                      int((t >> kHourShift) & kHourMask), int((t >> kMinuteShift) & kMinuteMask),
                      int(t & kSecondMask));
    else
        std::snprintf(text, sizeof text, "%u", unsigned(t & kTimeLowBits));
    return text;
}

std::string elapsedText(uint32_t e)
{
    const uint32_t seconds = (e / kTenthsPerSecond) % kSecondsPerHour;
    char text[32];
    std::snprintf(text, sizeof text, "%03u:%02u:%02u", unsigned(e / kTenthsPerHour),
                  unsigned(seconds / kSecondsPerMinute), unsigned(seconds % kSecondsPerMinute));
    return text;
}

// One row of the event table; false for a slot that holds no event.
bool eventRow(const sEVET_DATA& record, bool enclosures, std::string* row)
{
    using namespace clitext;
    const uint8_t eventClass = record.eventClass();
    if (eventClass == zynevent::kNoEvent)
        return false;
    const uint8_t code = record.code();
    std::string device, event, elapsed, errors;
    switch (eventClass) {
    case zynevent::kRaidSetEvent:
        device = zynwire::textAsUtf8(record.name());
        event = entryOr(kRaidSetEvents, code, kUnknownEvent);
        break;
    case zynevent::kVolumeSetEvent:
        device = zynwire::textAsUtf8(record.name());
        event = entryOr(kVolumeSetEvents, code, kUnknownEvent);
        if (showsElapsed(code))
            elapsed = elapsedText(record.duration());
        if (code == zynevent::kCompleteCheck) {
            char text[16];
            std::snprintf(text, sizeof text, "%-6d", int(record.count()));
            errors = text;
        }
        break;
    case zynevent::kDeviceEvent:
        if (enclosures) {
            device = zynwire::textAsUtf8(record.name());
        } else {
            char text[32];
            std::snprintf(text, sizeof text, "IDE Channel #%02d", record.channel() + 1);
            device = text;
        }
        event = entryOr(kDeviceEvents, code, kUnknownEvent);
        break;
    case zynevent::kHostEvent:
        device = kEventClassNames[zynevent::kHostEvent];
        event = entryOr(kHostEvents, code, kUnknownEvent);
        break;
    case zynevent::kHwMonitorEvent:
        device = kEventClassNames[zynevent::kHwMonitorEvent];
        event = entryOr(kHwMonitorEvents, code, kUnknownEvent);
        break;
    case zynevent::kGeneralEvent:
        device = zynwire::textAsUtf8(record.name());
        event = entryOr(kGeneralEvents, code, kUnknownEvent);
        break;
    default:   // a class this program does not know: its time only
        break;
    }
    char text[256];
    std::snprintf(text, sizeof text, "%-20s %s %-21s %-12s %-6s\n", timeText(record.time()).c_str(),
                  cliconf::padded(device, -kDeviceWidth).c_str(), event.c_str(), elapsed.c_str(), errors.c_str());
    *row = text;
    return true;
}

// The decimal model number of an identify string; 0 when none is there.
uint32_t modelNumberOf(const char* identify)
{
    uint32_t number = 0;
    for (int i = zynident::kModelNumberOffset; i < kModelNumberEnd; ++i) {
        const unsigned char c = static_cast<unsigned char>(identify[i]);
        if (!std::isdigit(c) || number > kModelNumberLimit)
            break;
        number = number * 10 + uint32_t(c - '0');
    }
    return number;
}

bool isExternalBox(const std::string& model)
{
    return strcasecmp(model.c_str(), zynident::kModelNameE100) == 0
        || strcasecmp(model.c_str(), zynident::kModelNameE200) == 0;
}

bool isDualTemperatureModel(uint32_t model)
{
    return std::find(std::begin(zynident::kDualTemperatureModels), std::end(zynident::kDualTemperatureModels), model)
        != std::end(zynident::kDualTemperatureModels);
}

int clampedCount(const _HWMON_INFO& info)
{
    return std::min<int>(info.count, _HWMON_INFO::kMaxValues);
}

// The lines of one sensor section of an enclosure's or of the controller's own block.
void sensorLines(const sSENSORS& sensors, int section, bool enclosure)
{
    const sSENSORS::Section& s = sensors.sections[section];
    const int count = std::min<int>(s.count, sSENSORS::kMaxEntries);
    for (int i = 0; i < count; ++i) {
        const std::string name = s.name(i);
        const uint32_t value = s.value(i);
        const long signedValue = long(int32_t(value));
        switch (section) {
        case sSENSORS::kVoltageSection:
            cliout_zynmsr.Output_("  %-16s : %2.3lf V\n", name.c_str(), value / kMillivolt);
            break;
        case sSENSORS::kFanSection:
            cliout_zynmsr.Output_("  %-16s : %ld RPM\n", name.c_str(), signedValue);
            break;
        case sSENSORS::kTemperatureSection:
            if (enclosure && int32_t(value) == zynsensor::kTemperatureNotReported)
                cliout_zynmsr.Output_("  %-16s : %s\n", name.c_str(), "N.A.");
            else
                cliout_zynmsr.Output_("  %-16s : %ld C\n", name.c_str(), signedValue);
            break;
        case sSENSORS::kBatterySection:
            if (value == zynsensor::kBatteryNotInstalled)
                cliout_zynmsr.Output_("  %-16s : Not Installed\n", name.c_str());
            else if (value == zynsensor::kBatteryFailed)
                cliout_zynmsr.Output_("  %-16s : Failed\n", name.c_str());
            else
                cliout_zynmsr.Output_("  %-16s : %d%%\n", name.c_str(), int(value));
            break;
        default:
            break;
        }
    }
}

const char kEventHelp[] =
    "Sub-Command & Parameters Of [ event ]\n"
    "Sub-Command Description\n"
    "============================================================\n"
    "info        Parameter: None.\n"
    "            Fn: Display System Events.\n"
    "            Command: event info [Enter]\n"
    "\n"
    "clear       Parameter: None.\n"
    "            Fn: Clear System Events.\n"
    "            Command: event clear [Enter]\n"
    "============================================================\n";

const char kHwHelp[] =
    "Sub-Command & Parameters Of [ hw ]\n"
    "Sub-Command Description\n"
    "============================================================\n"
    "info        Parameter: None.\n"
    "            Fn: Display Hardware Monitor Information.\n"
    "            Command: hw info [Enter]\n"
    "============================================================\n";

} // namespace

// ---- event ---------------------------------------------------------------------------------

int CZynlibCLI::Exe_Event_Info_Cmd(int, char**)
{
    QZynController* ctrl = GetCtrl();
    if (ctrl == nullptr)
        return resultLine(ZYN_ERR_NO_TRANSPORT);
    u32 rc = ZYN_OK;
    std::vector<sEVET_DATA> records;
    // The whole log, read as the polling thread's reads are: its bookkeeping stays as it was.
    ctrl->ReadWholeEventLog([&] {
        int count = 0;
        rc = ZynGetReqEventPage(0, &count);
        if (rc != ZYN_OK || count <= 0)
            return;
        for (int i = 0; i < count; ++i) {
            sEVET_DATA record;
            std::memset(&record, 0, sizeof record);
            // Ring slots that never held an event are no rows.
            if (ZynGetEventObject(i, &record) && record.eventClass() != zynevent::kNoEvent)
                records.push_back(record);
        }
    });
    if (rc != ZYN_OK || records.empty())
        return resultLine(rc);
    const bool enclosures = m_sysInfo.isEnclosureFamily();
    cliout_zynmsr.Output_("Date-Time            Device           Event Type            Elapsed Time Errors\n");
    rule(kEventRule);
    std::string row;
    for (const sEVET_DATA& record : records)
        if (eventRow(record, enclosures, &row))
            cliout_zynmsr.Output_("%s", row.c_str());
    rule(kEventRule);
    return resultLine(ZYN_OK);
}

int CZynlibCLI::Exe_Event_Clear_Cmd(int, char**)
{
    return resultLine(ZynClearEvent());
}

int CZynlibCLI::Display_Event_CMD_Help(int, char**)
{
    cliout_zynmsr.Output_("\n%s", kEventHelp);
    return 0;
}

// ---- hw ------------------------------------------------------------------------------------

int CZynlibCLI::Exe_Hw_Info_Cmd(int argc, char** argv)
{
    if (m_sysInfo.isEnclosureFamily())
        return Exe_SAS_Hw_Info_Cmd(argc, argv);

    char identify[zynident::kIdentifySize] = {};
    u32 rc = ZynGetIdentifyString(identify);
    if (rc != ZYN_OK)
        return resultLine(rc);

    // The external boxes carry their model name in the system information.
    if (isExternalBox(m_sysInfo.modelName())) {
        _HWMON_E100 box;
        std::memset(&box, 0, sizeof box);
        rc = ZynGetHWMonE100(&box);
        if (rc != ZYN_OK)
            return resultLine(rc);
        cliout_zynmsr.Output_("The Hardware Monitor Information\n");
        rule(kMonitorRule);
        cliout_zynmsr.Output_("Controller Temp : %d (Celsius)\n", box.temperature(0));
        cliout_zynmsr.Output_("BackPlane Temp  : %d (Celsius)\n", box.temperature(1));
        cliout_zynmsr.Output_("Fan Speed (RPM) : %d\n", box.fan());
        cliout_zynmsr.Output_("Power +12.00V   : %2.3lf\n", box.voltage(0) / kMillivolt);
        cliout_zynmsr.Output_("Power +5.00V    : %2.3lf\n", box.voltage(1) / kMillivolt);
        cliout_zynmsr.Output_("Power +3.30V    : %2.3lf\n", box.voltage(2) / kMillivolt);
        cliout_zynmsr.Output_("Power +1.50V    : %2.3lf\n", box.voltage(3) / kMillivolt);
        rule(kMonitorRule);
        return resultLine(ZYN_OK);
    }

    _HWMON_INFO fans{}, temperatures{}, voltages{}, battery{}, power{};
    const std::pair<u32, _HWMON_INFO*> reads[] = {{CZynlib::HwFans, &fans},
                                                  {CZynlib::HwTemperatures, &temperatures},
                                                  {CZynlib::HwVoltages, &voltages},
                                                  {CZynlib::HwBattery, &battery},
                                                  {CZynlib::HwPower, &power}};
    for (const auto& read : reads) {
        rc = ZynGetHWMon(read.first, read.second);
        if (rc != ZYN_OK)
            return resultLine(rc);
    }
    const int fanCount = clampedCount(fans);
    const int temperatureCount = clampedCount(temperatures);
    const int voltageCount = clampedCount(voltages);
    auto& out = cliout_zynmsr;
    out.Output_("The Hardware Monitor Information\n");
    rule(kMonitorRule);

    if (!m_sysInfo.compactBoard()) {
        for (int j = 0; j + 1 < voltageCount; j += 2)
            out.Output_("Power +%-5.2lfV       : %2.3lf\n", voltages.values[j] / kMillivolt,
                        voltages.values[j + 1] / kMillivolt);
        for (int k = 0; k < fanCount; ++k) {
            if (fans.values[k] == zynsensor::kFanNotReported)
                out.Output_("Fan#%-2d Speed (RPM)  : N.A.\n", k + 1);
            else
                out.Output_("Fan#%-2d Speed (RPM)  : %d\n", k + 1, fans.values[k]);
        }
        out.Output_("Controller Temp     : %d (Celsius)\n", temperatures.values[0]);
        for (int k = 1; k < temperatureCount; ++k)
            out.Output_("HDD #%-2d Temp.       : %d\n", k, temperatures.values[k]);
    } else {
        for (int k = 0; k < fanCount; ++k) {
            if (fans.values[k] == zynsensor::kFanNotReported)
                out.Output_("Fan#%d Speed (RPM)   : N.A.\n", k + 1);
            else
                out.Output_("Fan#%d Speed (RPM)   : %d\n", k + 1, fans.values[k]);
        }
        for (int k = 0; k < clampedCount(battery); ++k) {
            const uint16_t charge = battery.values[k];
            if (charge == zynsensor::kBatteryFailed)
                out.Output_("Battery Status      : Failed\n");
            else if (charge == zynsensor::kBatteryNotInstalled)
                out.Output_("Battery Status      : Not Installed\n");
            else
                out.Output_("Battery Status      : %d%%\n", int(charge));
        }
        if (isDualTemperatureModel(modelNumberOf(identify))) {
            out.Output_("%-20.20s: %d (Celsius)\n", "CPU Temperature", temperatures.values[0]);
            out.Output_("%-20.20s: %d (Celsius)\n", "Ctrl Temperature", temperatures.values[1]);
            if (voltageCount > 1) {
                const int pairs = std::min<int>(voltageCount / 2, int(std::size(clitext::kDualTemperatureVoltages)));
                for (int i = 0; i < pairs; ++i)
                    out.Output_("%-20.20s: %2.3lf\n", clitext::kDualTemperatureVoltages[i],
                                voltages.values[2 * i + 1] / kMillivolt);
            }
            for (int k = 1; k + 1 < temperatureCount; ++k)
                out.Output_("HDD #%-2d Temp.       : %d\n", k, temperatures.values[k + 1]);
        } else {
            for (int k = 1; k <= temperatureCount; ++k)
                out.Output_("HDD #%-2d Temp.       : %d\n", k, temperatures.values[k - 1]);
        }
    }
    rule(kMonitorRule);
    return resultLine(ZYN_OK);
}

int CZynlibCLI::Exe_SAS_Hw_Info_Cmd(int, char**)
{
    auto& out = cliout_zynmsr;
    out.Output_("The Hardware Monitor Information\n");
    rule(kEnclosureMonitorRule);
    out.Output_("[Controller H/W Monitor]\n");
    auto sensors = std::make_unique<sSENSORS>();
    // The controller's own sensors come as the enclosure after the last one.
    const int enclosures = m_sysInfo.highestEnclosure();
    u32 result = ZynGetEnclosureHwMonitor(u8(enclosures), sensors.get());
    if (result == ZYN_OK)
        for (int section : {sSENSORS::kTemperatureSection, sSENSORS::kFanSection, sSENSORS::kVoltageSection,
                            sSENSORS::kBatterySection})
            sensorLines(*sensors, section, false);

    for (int e = 0; e < enclosures; ++e) {
        sGUI_ENC_PROPERTY property;
        std::memset(&property, 0, sizeof property);
        const u32 rc = ZynGetEnclosureProperty(u8(e), &property);
        if (rc != ZYN_OK) {
            result = rc;
            continue;
        }
        if (!property.exists()) {
            result = ZYN_OK;
            continue;
        }
        out.Output_("[Enclosure#%d : %s%s%s]\n", e + 1, property.vendor().c_str(), property.name().c_str(),
                    property.revision().c_str());
        std::memset(sensors.get(), 0, sizeof *sensors);
        result = ZynGetEnclosureHwMonitor(u8(e), sensors.get());
        if (result != ZYN_OK)
            continue;
        for (int section : {sSENSORS::kVoltageSection, sSENSORS::kFanSection, sSENSORS::kTemperatureSection})
            sensorLines(*sensors, section, true);
    }
    rule(kEnclosureMonitorRule);
    return resultLine(result);
}

int CZynlibCLI::Display_Hw_CMD_Help(int, char**)
{
    cliout_zynmsr.Output_("\n%s", kHwHelp);
    return 0;
}
