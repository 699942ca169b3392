// The controller command frame: 5E 01 61, u16 length L (command + payload), command, payload,
// byte-sum checksum over the length bytes, command and payload. Replies use the same form;
// a length of FF FF announces the long form that carries the controller's web pages.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr unsigned char kZynFramePrefix[3] = {0x5E, 0x01, 0x61};
constexpr int kZynFrameOverhead = 6;       // prefix, length, checksum
constexpr int kZynFrameLengthOffset = 3;   // the u16 length, where the checksum starts
constexpr int kZynFrameDataOffset = 5;     // the command byte, or a reply's first data byte
constexpr int kZynLongFormHeader = 9;      // prefix, FF FF, 24-bit length, one more byte

// -1: need more bytes; -2: not a frame; else the whole frame length.
int get_frame_length(unsigned char* buffer, int count);
// count < 5: 0; else the sum modulo 256 of bytes 3 .. count - 2.
int CalCheckSum(unsigned char* frame, int count);
// Reflected CRC-32 (0xEDB88320); length 0 gives 0.
uint32_t crc32(const unsigned char* data, size_t length);
// The 256-entry table crc32 runs over.
const uint32_t* crc32Table();

// Builds the frame of `command` and its payload into `out` (room for payloadLength + 7 bytes).
// Returns the frame length.
int ZynBuildFrame(unsigned char command, const void* payload, int payloadLength, unsigned char* out);

// Checks a complete reply frame of `count` bytes: prefix, data length D <= count - 6 and the
// checksum at offset D + 5. Returns D, or -1 when the frame is invalid.
int ZynCheckReplyFrame(const unsigned char* frame, int count);
