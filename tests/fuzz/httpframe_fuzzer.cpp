// Fuzz target for the web proxy's request framing: the bytes come from any browser, or anyone,
// that reaches the proxy's port. The first two input bytes choose the longest request allowed
// and how the rest is cut into arriving segments; the rest is the traffic. Whatever the cut, the
// verdict must be the one the whole traffic gets at once, and a complete request must lie within
// what arrived and within the longest allowed. Faults are reported by the sanitizers or, for a
// broken invariant, by a trap.
#include "httpproxy/httpframer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

constexpr size_t kHeaderBytes = 2;
constexpr size_t kLongestScale = 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kHeaderBytes)
        return 0;
    const size_t longest = size_t(data[0]) * kLongestScale;
    const size_t step = size_t(data[1]) + 1;
    const char* traffic = reinterpret_cast<const char*>(data + kHeaderBytes);
    const size_t length = size - kHeaderBytes;

    HttpRequestFramer whole(longest);
    const HttpRequestFramer::Verdict once = whole.examine(traffic, length);

    HttpRequestFramer pieces(longest);
    HttpRequestFramer::Verdict verdict = HttpRequestFramer::Incomplete;
    for (size_t arrived = 0; arrived < length;) {
        arrived = arrived + step < length ? arrived + step : length;
        const HttpRequestFramer::Verdict before = verdict;
        verdict = pieces.examine(traffic, arrived);
        // A verdict once given stays.
        check(before == HttpRequestFramer::Incomplete || verdict == before);
    }
    check(verdict == once);
    if (once == HttpRequestFramer::Complete) {
        check(pieces.length() == whole.length());
        check(whole.length() <= length && whole.length() <= longest);
        check(whole.url() == pieces.url() && whole.method() == pieces.method());
        const bool get = std::memcmp(traffic, "GET", 3) == 0;
        const bool post = length >= 4 && std::memcmp(traffic, "POST", 4) == 0;
        check(get || post);
    }
    return 0;
}
