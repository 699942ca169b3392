#include "zynframe.h"

#include <cstring>

int get_frame_length(unsigned char* buffer, int count)
{
    if (buffer == nullptr || count < kZynFrameOverhead)
        return -1;
    if (buffer[0] != kZynFramePrefix[0] || buffer[1] != kZynFramePrefix[1] || buffer[2] != kZynFramePrefix[2])
        return -2;
    const unsigned char* lengthBytes = buffer + kZynFrameLengthOffset;
    if (lengthBytes[0] == 0xFF && lengthBytes[1] == 0xFF) {
        // Long form: the 24-bit length follows the marker. Wait until the bytes it occupies and
        // the one after it have arrived, so that the "HTTP" written over them is not overwritten.
        if (count < kZynLongFormHeader)
            return -1;
        unsigned char* marker = buffer + kZynFrameDataOffset;
        const int length = marker[0] | (marker[1] << 8) | (marker[2] << 16);
        std::memcpy(marker, "HTTP", 4);
        return length + kZynFrameOverhead;
    }
    return (lengthBytes[0] | (lengthBytes[1] << 8)) + kZynFrameOverhead;
}

int CalCheckSum(unsigned char* frame, int count)
{
    if (frame == nullptr || count < kZynFrameDataOffset)
        return 0;
    unsigned sum = 0;
    for (int i = kZynFrameLengthOffset; i <= count - 2; ++i)
        sum += frame[i];
    return int(sum & 0xFF);
}

const uint32_t* crc32Table()
{
    static const struct Table {
        uint32_t entries[256];
        Table()
        {
            for (uint32_t n = 0; n < 256; ++n) {
                uint32_t c = n;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                entries[n] = c;
            }
        }
    } table;
    return table.entries;
}

uint32_t crc32(const unsigned char* data, size_t length)
{
    if (data == nullptr || length == 0)
        return 0;
    const uint32_t* table = crc32Table();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

int ZynBuildFrame(unsigned char command, const void* payload, int payloadLength, unsigned char* out)
{
    const int length = payloadLength + 1;
    out[0] = kZynFramePrefix[0];
    out[1] = kZynFramePrefix[1];
    out[2] = kZynFramePrefix[2];
    out[kZynFrameLengthOffset] = static_cast<unsigned char>(length & 0xFF);
    out[kZynFrameLengthOffset + 1] = static_cast<unsigned char>((length >> 8) & 0xFF);
    out[kZynFrameDataOffset] = command;
    if (payloadLength > 0)
        std::memcpy(out + kZynFrameDataOffset + 1, payload, size_t(payloadLength));
    const int frameLength = length + kZynFrameOverhead;
    out[frameLength - 1] = static_cast<unsigned char>(CalCheckSum(out, frameLength));
    return frameLength;
}

int ZynCheckReplyFrame(const unsigned char* frame, int count)
{
    if (frame == nullptr || count < kZynFrameOverhead)
        return -1;
    if (frame[0] != kZynFramePrefix[0] || frame[1] != kZynFramePrefix[1] || frame[2] != kZynFramePrefix[2])
        return -1;
    const int data = frame[kZynFrameLengthOffset] | (frame[kZynFrameLengthOffset + 1] << 8);
    if (data > count - kZynFrameOverhead)
        return -1;
    unsigned sum = 0;
    for (int i = kZynFrameLengthOffset; i < kZynFrameDataOffset + data; ++i)
        sum += frame[i];
    if (frame[kZynFrameDataOffset + data] != static_cast<unsigned char>(sum & 0xFF))
        return -1;
    return data;
}
