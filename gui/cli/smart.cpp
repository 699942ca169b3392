#include "cli/smart.h"

#include "cli/output.h"

namespace {

const char kRule79[] = "===============================================================================\n";

const uint8_t* entryAt(const uint8_t* page, int k)
{
    return page + smartpage::kFirstEntry + k * smartpage::kEntrySize;
}

// The threshold of attribute k: the entry at the same position when its id matches, else the
// first with that id, else the last entry's.
uint8_t thresholdFor(const uint8_t* thresholds, int k, uint8_t id)
{
    using namespace smartpage;
    if (entryAt(thresholds, k)[kId] == id)
        return entryAt(thresholds, k)[kThreshold];
    for (int j = 0; j < kEntries; ++j)
        if (entryAt(thresholds, j)[kId] == id)
            return entryAt(thresholds, j)[kThreshold];
    return entryAt(thresholds, kEntries - 1)[kThreshold];
}

} // namespace

const SmartAttName SmartAttTable[kSmartAttRows] = {
    {1, "Raw Read Error Rate"}, {2, "Throughput Performance"}, {3, "Spin Up Time"},
    {4, "Start/Stop Count"}, {5, "Reallocated Sector Count"}, {7, "Seek Error Rate"},
    {8, "Seek Time Performance"}, {9, "Power-on Hours Count"}, {10, "Spin Retry Count"},
    {11, "Calibration Retry Count"}, {12, "Device Power Cycle Count"}, {13, "Soft Read Error Rate"},
    {177, "Wear Leveling Count"}, {181, "Program Fail Count Total"}, {182, "Erase Fail Count Total"},
    {187, "Reported Uncorrect"}, {188, "Command Timeout"}, {190, "190 Temperature"},
    {192, "Power-off Retract Count"}, {193, "Load Cycle Count"}, {194, "Temperature"},
    {195, "Hardware ECC Recovered"}, {196, "Reallocation Event Count"},
    {197, "Current Pending Sector Count"}, {198, "Off-line Scan Uncorrectable"},
    {199, "Ultra DMA CRC Error Count"}, {200, "Write Error Rate"}, {201, "Soft Read Error Rate"},
    {204, "Soft ECC Correction"}, {230, "Head Amplitude"}, {231, "231 Temperature"},
    {233, "Media Wearout Indicator"}, {241, "Total LBAs Written"}, {242, "Total LBAs Read"},
    {254, "Timeout Count"}, {253, "Media Error Count"},
};

const SmartAttName SmartSSDAttTable[kSmartSSDAttRows] = {
    {1, "Raw Read Error Rate"}, {2, "Throughput Performance"}, {4, "Start/Stop Count"},
    {5, "Reallocated Sector Count"}, {9, "Power-on Hours Count"}, {10, "Spin Retry Count"},
    {12, "Device Power Cycle Count"}, {13, "Soft Read Error Rate"}, {177, "Wear Leveling Count"},
    {181, "Program Fail Count Total"}, {182, "Erase Fail Count Total"}, {187, "Reported Uncorrect"},
    {188, "Command Timeout"}, {190, "190 Temperature"}, {192, "Power-off Retract Count"},
    {193, "Load Cycle Count"}, {194, "Temperature"}, {195, "Hardware ECC Recovered"},
    {196, "Reallocation Event Count"}, {197, "Current Pending Sector Count"},
    {198, "Off-line Scan Uncorrectable"}, {199, "Ultra DMA CRC Error Count"},
    {200, "Write Error Rate"}, {201, "Soft Read Error Rate"}, {204, "Soft ECC Correction"},
    {230, "Head Amplitude"}, {231, "SSD Life Left"}, {233, "Media Wearout Indicator"},
    {241, "Total LBAs Written"}, {242, "Total LBAs Read"},
};

const char* FoundAttrString(unsigned char id, unsigned char ssd)
{
    const SmartAttName* table = ssd == 1 ? SmartSSDAttTable : SmartAttTable;
    const int rows = ssd == 1 ? kSmartSSDAttRows : kSmartAttRows;
    for (int i = 0; i < rows; ++i)
        if (table[i].id == id)
            return table[i].name;
    return nullptr;
}

void PrintSmartResult(int drive, const uint8_t* attributes, const uint8_t* thresholds, unsigned char ssd)
{
    using namespace smartpage;
    cliout_zynmsr.Output_("S.M.A.R.T Information For Drive[#%02d]\n", drive);
    cliout_zynmsr.Output_("  # Attribute Items               Flag Value Worst Thres          Raw    State\n");
    cliout_zynmsr.Output_("%s", kRule79);
    for (int k = 0; k < kEntries; ++k) {
        const uint8_t* e = entryAt(attributes, k);
        const char* name = FoundAttrString(e[kId], ssd);
        if (name == nullptr)
            continue;
        const uint8_t threshold = thresholdFor(thresholds, k, e[kId]);
        const uint8_t value = e[kValue];
        const uint8_t worst = e[kWorst];
        const char* state = value < threshold ? "Failure" : worst < threshold ? "Warning" : "OK";
        long long raw = 0;
        for (int b = kRawSize - 1; b >= 0; --b)
            raw = (raw << 8) | e[kRaw + b];
        const unsigned flags = unsigned(e[kFlags]) | (unsigned(e[kFlags + 1]) << 8);
        char rawText[24];
        std::snprintf(rawText, sizeof rawText, "%lld", raw);
        cliout_zynmsr.Output_("%3d %-28s  0x%02x %5d %5d %5d %12s %8s\n", e[kId], name, flags, value, worst,
                              threshold, rawText, state);
    }
    cliout_zynmsr.Output_("%s", kRule79);
}
