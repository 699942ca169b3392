#include "cli/output.h"

#include "records.h"
#include "zynlib.h"

CliMessage cliout_zynmsr;

// The library's own results, then the controller's status bytes passed through.
const CliMessage::ErrorMsgRow CliMessage::errormsgtable[CliMessage::kErrorMsgRows] = {
    {ZYN_OK, "Success."},
    {0x01, "Failure."},
    {ZYN_ERR_BAD_FRAME, "Invalid Data Returned From Media."},
    {0x03, "Invalid Handle."},
    {ZYN_ERR_TRANSPORT, "Failed To Write To Media."},
    {ZYN_ERR_RECV, "Failed To Read From Media."},
    {ZYN_ERR_INVALID_ARG, "The Wrong Parameter(s)."},
    {ZYN_ERR_FILE, "Failed To Open File."},
    {ZYN_ERR_PASSWORD_REQUIRED, "Password Required."},
    {0x09, "Wrong Password."},
    {0x0A, "Memory Too Small."},
    {0x0B, "Failed To Allocate Necessary Memory."},
    {ZYN_ERR_BUFFER_TOO_SMALL, "Buffer Too Small."},
    {0x0D, "Socket Error."},
    {0x0E, "Invalid Socket."},
    {0x0F, "Failed To Open COM Port."},
    {0x10, "Failed To Init Socket."},
    {ZYN_ERR_NO_TRANSPORT, "Invalid Interface."},
    {ZYN_ERR_NO_OBJECT, "No Such Device."},
    {ZYN_ERR_SEND_TIMEOUT, "Timeout."},
    {ZYN_ERR_REPLY_TIMEOUT, "Timeout."},
    {ZYN_ERR_TRANSPORT_OTHER, "Controller Failed or Inactive."},
    {0x16, "Check Condition."},
    {ZYN_ERR_IO, "Unknown Status"},
    {kZynStatusOk, "Gui Ok."},
    {0x42, "RaidSet Not Normal."},
    {0x43, "VolumeSet Not Normal."},
    {0x44, "No RaidSet."},
    {0x45, "No VolumeSet."},
    {0x46, "No Physical Drive."},
    {0x47, "Invalid Parameter."},
    {ZYN_ERR_NOT_ALLOWED, "Unsupported Command."},
    {0x49, "Disk Config Changed."},
    {0x4A, "Invalid Password."},
    {0x4B, "No Disk Space."},
    {0x4C, "Checksum Error."},
    {kZynStatusPassword, "Password Required."},
    {0x4E, "No More Data."},
    {0x4F, "Internal Error."},
    {0x50, "Firmware CRC Error."},
    {0x51, "Firmware Invalid."},
    {0x52, "Firmware Update Failed."},
    {0x53, "Firmware No HDD."},
    {0x54, "End Of Data."},
    {0x55, "Encryption Type Mismatch."},
    {0x56, "Encryption Key Length Invalid."},
    {0x57, "Encryption Key Invalid."},
    {0x58, "Disk Test Failed."},
    {0x59, "SED HDD Required."},
    {0x5A, "SED RaidSet Required."},
    {0x5B, "SED RaidSet Not Allowed."},
    {0x5C, "SED Partial OK."},
    {0x5D, "SED Revertsp Failed."},
    {0x5E, "Device Not Functioning."},
    {0x5F, "SED Erase Failed."},
    {0x60, "SED Key Not Set."},
    {0x61, "SED Key Already Set."},
    {0x62, "SED Password Error."},
    {0x63, "SED Invalid Key File."},
    {0x64, "RaidSet Not Exist."},
    {0x65, "Clone Completed."},
    {0x66, "Clone Source Must Be RaidSet Member."},
    {0x67, "Clone Source No Volume."},
    {0x68, "Clone Target Not Free."},
    {0x69, "Already Clone."},
    {0x6A, "Clone 4K Disk Not Allowed."},
    {CliMessage::kUnknownStatusCode, "Unknown Status."},
};

namespace {

// vsnprintf into `size` bytes: the text cut to size - 1 characters; the length kept, or -1 when
// the format cannot be applied (the buffer then holds an empty text).
int formatBounded(char* buffer, std::size_t size, const char* fmt, va_list args)
{
    buffer[0] = '\0';
    const int wanted = std::vsnprintf(buffer, size, fmt, args);
    if (wanted < 0) {
        buffer[0] = '\0';
        return -1;
    }
    return static_cast<std::size_t>(wanted) < size ? wanted : static_cast<int>(size - 1);
}

} // namespace

const char* CliMessage::ErrorText(quint64 code)
{
    for (std::size_t i = 0; i + 1 < kErrorMsgRows; ++i) {
        if (errormsgtable[i].code == code)
            return errormsgtable[i].text;
    }
    return errormsgtable[kErrorMsgRows - 1].text;
}

int CliMessage::outputV(const char* fmt, va_list args)
{
    char buffer[kOutputBufferSize];
    const int length = formatBounded(buffer, sizeof buffer, fmt, args);
    const int kept = length < 0 ? 0 : length;
    // The handlers print names as UTF-8; other bytes that are not UTF-8 show as Latin-1.
    const std::string text = zynwire::textAsUtf8(reinterpret_cast<const uint8_t*>(buffer), std::size_t(kept));
    emit Display(QString::fromStdString(text));
    return kept;
}

int CliMessage::prefixedV(const char* prefix, const char* fmt, va_list args)
{
    char text[kMessageBufferSize];
    formatBounded(text, sizeof text, fmt, args);
    return Output_("%s%s\n", prefix, text);
}

int CliMessage::Output_(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const int length = outputV(fmt, args);
    va_end(args);
    return length;
}

int CliMessage::SimpleMsg_(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const int length = prefixedV("", fmt, args);
    va_end(args);
    return length;
}

int CliMessage::Msg_(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const int length = prefixedV("Message: ", fmt, args);
    va_end(args);
    return length;
}

int CliMessage::ErrMsg_(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const int length = prefixedV("ErrMsg: ", fmt, args);
    va_end(args);
    return length;
}

int CliMessage::GuiErrMsg_(unsigned int code)
{
    return Output_("%s<0x%02X>: %s\n", "GuiErrMsg", code, ErrorText(code));
}

int CliMessage::DbgPrint_(FILE* stream, const char* fmt, ...)
{
    Q_UNUSED(stream);
    Q_UNUSED(fmt);
    return 0;
}
