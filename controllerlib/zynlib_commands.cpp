// Which commands change the controller and which only read it.
#include "setuptable.h"
#include "snmpx.h"
#include "zynlib.h"

#include <algorithm>
#include <iterator>

namespace {

// Commands that only read, whatever their payload.
constexpr u8 kReadCommands[] = {
    ZYN_CMD_IDENTIFY,   ZYN_CMD_CHECK_PASSWORD, ZYN_CMD_LOGOUT,        ZYN_CMD_HTTP_PIECE,  ZYN_CMD_POLL_EVENT,
    ZYN_CMD_GET_EVENT,  ZYN_CMD_HW_MONITOR,     ZYN_CMD_GET_RAIDSET,   ZYN_CMD_GET_VOLUMESET,
    ZYN_CMD_GET_DRIVE,  ZYN_CMD_GET_SYSINFO,    ZYN_CMD_RAW,
};
// The setup-data operations that only read.
constexpr u8 kSetupReadOperations[] = {
    SetupOpReadPage, SetupOpRaidSetBitmap, SetupOpVolumeBitmapA, SetupOpVolumeBitmapB, SetupOpRtc,
};
// The pass-through SMART operations that only read.
constexpr u8 kSmartReads[] = {ZYN_SMART_READ_PAGE, ZYN_SMART_READ_THRESHOLDS, ZYN_SMART_STATUS, ZYN_SMART_RW_RESULT};
// Where a setup-data request names its operation: after the sub-command and the access prefix.
constexpr int kSetupOperationAt = 1 + int(sizeof kSetupAccessPrefix);

template <typename Table>
bool listed(const Table& table, u8 value)
{
    return std::find(std::begin(table), std::end(table), value) != std::end(table);
}

bool setupReads(const u8* p, int n)
{
    return n > kSetupOperationAt && p[0] == kSetupSubCommand && listed(kSetupReadOperations, p[kSetupOperationAt]);
}

bool passthroughReads(const u8* p, int n)
{
    if (n < 1)
        return false;
    if (listed(kSmartReads, p[0]) || p[0] == ZYN_PASSTHROUGH_ATA_DATA_IN)
        return true;
    return p[0] == ZYN_PASSTHROUGH_SCSI && n > kZynScsiDataOutAt && p[kZynScsiDataOutAt] == 0;
}

// An SNMP message (version, community, PDU) whose PDU is a get or get-next request.
bool snmpReads(const u8* p, int n)
{
    ByteArray message(n);
    if (!message.append(p, 0, n))
        return false;
    SNMPTLV outer;
    SNMPBERCodec::extractNextTLV(&message, 0, &outer);
    if (outer.truncated || outer.value->getLength() == 0)
        return false;
    const ByteArray* contents = outer.value;
    SNMPTLV unit;
    int at = 0;
    for (int skipped = 0; skipped < 2; ++skipped) {   // the version and the community
        SNMPBERCodec::extractNextTLV(contents, at, &unit);
        if (unit.truncated)
            return false;
        at += unit.totalLength;
    }
    if (at >= contents->getLength())
        return false;
    SNMPBERCodec::extractNextTLV(contents, at, &unit);
    return !unit.truncated && (unit.tag == SNMPPDU::kGetRequest || unit.tag == SNMPPDU::kGetNextRequest);
}

} // namespace

bool ZynCommandChangesController(u8 command, const void* payload, int payloadLength)
{
    if (payloadLength < 0 || (payloadLength > 0 && payload == nullptr))
        return false;
    if (listed(kReadCommands, command))
        return false;
    const u8* p = static_cast<const u8*>(payload);
    switch (command) {
    case ZYN_CMD_SETUP_DATA: return !setupReads(p, payloadLength);
    case ZYN_CMD_PASSTHROUGH: return !passthroughReads(p, payloadLength);
    case ZYN_CMD_SNMP: return !snmpReads(p, payloadLength);
    case ZYN_CMD_EXPANDER: return payloadLength < 1 || p[0] != kZynExpanderInfo;
    case ZYN_CMD_SED_KEY: return payloadLength < 1 || p[0] != kZynSedKeyExport;
    default: return true;
    }
}
