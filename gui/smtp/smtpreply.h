// Splitting the bytes an SMTP server sends into complete replies. Plain C++ without Qt, so the
// reader can be driven by a fuzzer on its own.
//
// A reply is one or more lines, each ended by LF (a CR before it belongs to the line end). Its
// last line is a line of just the three-character code, or one whose fourth character is a
// space ("250 OK"); every other line ("250-SIZE", or a line too short to hold a code) continues
// the reply.
#pragma once

#include <cstddef>

namespace smtpreply {

constexpr std::size_t kCodeLength = 3;      // "250"
constexpr char kFinalMark = ' ';            // the character after the code on a reply's last line

struct Reply {
    std::size_t length = 0;     // bytes of the whole reply, its last LF included; 0: incomplete
    std::size_t lastLine = 0;   // offset of its last line, which begins with the reply's code
};

// The reply at the start of data[0 .. size), or a length of 0 while its last line has not
// fully arrived. Reads nothing outside the range.
Reply firstReply(const char* data, std::size_t size);

// True when the line data[0 .. length), without its line end, ends a reply.
bool isFinalLine(const char* line, std::size_t length);

} // namespace smtpreply
