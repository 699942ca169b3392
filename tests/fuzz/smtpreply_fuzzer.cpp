// Fuzz target for the SMTP client's reply reader: the server's bytes are untrusted. The input
// is split into replies whole and again as it would arrive in pieces (the first byte picks the
// piece size); both must give the same replies, each ending at a LF, with its last line and
// only that line ending the reply. A broken invariant is reported by a trap.
#include "smtp/smtpreply.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// The replies of `bytes` fed `step` bytes at a time; `rest` keeps what no reply took.
std::vector<std::string> split(const std::string& bytes, std::size_t step, std::string* rest)
{
    std::vector<std::string> replies;
    std::string buffer;
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        buffer.append(bytes, at, step);
        for (;;) {
            // An exact copy, so that a read past the end is a sanitizer fault.
            std::vector<char> exact(buffer.begin(), buffer.end());
            const smtpreply::Reply r = smtpreply::firstReply(exact.data(), exact.size());
            if (r.length == 0)
                break;
            check(r.length <= exact.size() && exact[r.length - 1] == '\n');
            check(r.lastLine < r.length);
            check(r.lastLine == 0 || exact[r.lastLine - 1] == '\n');
            // Only the last line ends the reply.
            std::size_t start = 0;
            while (start < r.lastLine) {
                const char* lf = static_cast<const char*>(std::memchr(exact.data() + start, '\n', r.lastLine - start));
                check(lf != nullptr);
                const std::size_t end = std::size_t(lf - exact.data());
                check(!smtpreply::isFinalLine(exact.data() + start, end - start));
                start = end + 1;
            }
            check(smtpreply::isFinalLine(exact.data() + r.lastLine, r.length - 1 - r.lastLine));
            replies.push_back(buffer.substr(0, r.length));
            buffer.erase(0, r.length);
        }
    }
    *rest = buffer;
    return replies;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t step = std::size_t(data[0] % 16) + 1;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string wholeRest;
    std::string pieceRest;
    const std::vector<std::string> whole = split(bytes, bytes.size() + 1, &wholeRest);
    const std::vector<std::string> pieces = split(bytes, step, &pieceRest);
    check(whole == pieces && wholeRest == pieceRest);
    // Nothing is lost: the replies and the rest are the input.
    std::string joined;
    for (const std::string& reply : whole)
        joined += reply;
    check(joined + wholeRest == bytes);
    // What is left holds no complete reply.
    check(smtpreply::firstReply(wholeRest.data(), wholeRest.size()).length == 0);
    return 0;
}
