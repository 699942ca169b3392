#include "cliutil.h"

#include "zynframe.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/random.h>

namespace {

constexpr uint64_t kArgIntLimit = 0xFFFFFFFFu;
constexpr int kDumpRowBytes = 16;
constexpr int kDumpRuleWidth = 71;
constexpr unsigned char kDumpFirstShown = 0x20;
constexpr unsigned char kDumpLastShown = 0x7F;
constexpr int kKeyTextLetters = 26;
constexpr char kUpperCaseShift = 'a' - 'A';

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The value of the first word "key=value", or nullptr.
const char* findArgValue(int argc, char** argv, const char* key)
{
    if (argv == nullptr || key == nullptr)
        return nullptr;
    const size_t keyLength = std::strlen(key);
    for (int i = 0; i < argc; ++i) {
        const char* word = argv[i];
        if (word != nullptr && std::strncmp(word, key, keyLength) == 0 && word[keyLength] == '=')
            return word + keyLength + 1;
    }
    return nullptr;
}

// Reads the digits at `*at` as a number no larger than `limit` and moves past them; false when
// there is no digit or the number is larger.
bool readBoundedDigits(const char** at, uint64_t limit, uint64_t* value)
{
    const char* p = *at;
    if (!isDigit(*p))
        return false;
    uint64_t n = 0;
    for (; isDigit(*p); ++p) {
        n = n * 10 + uint64_t(*p - '0');
        if (n > limit)
            return false;
    }
    *at = p;
    *value = n;
    return true;
}

// A uniformly drawn number below `bound` from the system's cryptographic random source.
bool randomBelow(uint32_t bound, uint32_t* out)
{
    const uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
    for (;;) {
        uint32_t value = 0;
        if (getrandom(&value, sizeof value, 0) != ssize_t(sizeof value)) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (value < limit) {
            *out = value % bound;
            return true;
        }
    }
}

void dumpRule()
{
    for (int i = 0; i < kDumpRuleWidth; ++i)
        std::fputc('=', stdout);
    std::fputc('\n', stdout);
}

}  // namespace

bool IsArgPresent(int argc, char** argv, const char* key)
{
    return findArgValue(argc, argv, key) != nullptr;
}

bool GetArgStringValue(int argc, char** argv, const char* key, char* out, size_t capacity)
{
    const char* value = findArgValue(argc, argv, key);
    if (value == nullptr || out == nullptr)
        return false;
    const size_t length = std::strlen(value);
    if (length >= capacity)
        return false;
    std::memcpy(out, value, length + 1);
    return true;
}

bool GetArgIntValue(int argc, char** argv, const char* key, int* out)
{
    const char* p = findArgValue(argc, argv, key);
    if (p == nullptr || out == nullptr)
        return false;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    uint64_t value = 0;
    if (!readBoundedDigits(&p, kArgIntLimit, &value) || *p != '\0')
        return false;
    if (negative && value != 0)
        value = kArgIntLimit;
    *out = int(uint32_t(value));
    return true;
}

bool GetArgDoubleValue(int argc, char** argv, const char* key, double* out)
{
    const char* p = findArgValue(argc, argv, key);
    if (p == nullptr || out == nullptr)
        return false;
    // from_chars takes a minus sign but no plus; a plus may only lead a number.
    if (*p == '+' && *(p + 1) != '-')
        ++p;
    const char* end = p + std::strlen(p);
    double value = 0;
    const std::from_chars_result r = std::from_chars(p, end, value, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(value) || std::fabs(value) > kArgDoubleLimit)
        return false;
    *out = value;
    return true;
}

bool GetArgArrayValue(int argc, char** argv, const char* key, std::vector<int>& out)
{
    out.clear();
    const char* p = findArgValue(argc, argv, key);
    if (p == nullptr || !isDigit(*p))
        return false;
    // Ranges are counted before anything is expanded.
    struct Range { uint64_t first, last; };
    std::vector<Range> ranges;
    uint64_t total = 0;
    while (*p != '\0') {
        if (*p == ',') {
            ++p;
            continue;
        }
        Range r{};
        if (!readBoundedDigits(&p, kArgListNumberLimit, &r.first))
            return false;
        r.last = r.first;
        if (*p == '~') {
            ++p;
            if (!readBoundedDigits(&p, kArgListNumberLimit, &r.last))
                return false;
        }
        if (*p != ',' && *p != '\0')
            return false;
        if (r.first <= r.last) {
            total += r.last - r.first + 1;
            if (total > kArgListLimit)
                return false;
            ranges.push_back(r);
        }
    }
    out.reserve(size_t(total));
    for (const Range& r : ranges)
        for (uint64_t v = r.first; v <= r.last; ++v)
            out.push_back(int(v));
    return true;
}

unsigned find_match_str_amount(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr)
        return 0;
    unsigned n = 0;
    while (a[n] != '\0' && b[n] != '\0' && a[n] == b[n])
        ++n;
    return n;
}

bool IsXDigit(unsigned char c)
{
    return isDigit(char(c)) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char* itoa(int value, char* dst, size_t capacity)
{
    if (dst != nullptr && capacity > 0)
        std::snprintf(dst, capacity, "%d", value);
    return dst;
}

void dumpdata(const unsigned char* data, int length)
{
    if (data == nullptr || length < 0)
        length = 0;
    std::fputs("        0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F      ASCII      \n", stdout);
    dumpRule();
    for (int row = 0; row < length; row += kDumpRowBytes) {
        const int count = length - row < kDumpRowBytes ? length - row : kDumpRowBytes;
        std::printf("%04X | ", unsigned(row));
        for (int i = 0; i < kDumpRowBytes; ++i) {
            if (i < count)
                std::printf("%02X ", unsigned(data[row + i]));
            else
                std::fputs("   ", stdout);
        }
        for (int i = 0; i < count; ++i) {
            const unsigned char c = data[row + i];
            std::fputc(c < kDumpFirstShown || c > kDumpLastShown ? '.' : char(c), stdout);
        }
        std::fputc('\n', stdout);
    }
    dumpRule();
    std::fflush(stdout);
}

void Crc32::AddData(const unsigned char* data, unsigned length)
{
    if (data == nullptr)
        return;
    const uint32_t* table = crc32Table();
    for (unsigned i = 0; i < length; ++i)
        m_crc = table[(m_crc ^ data[i]) & 0xFF] ^ (m_crc >> 8);
}

bool string_generate(std::string& out)
{
    std::string text(kKeyTextLength, 'a');
    for (char& c : text) {
        uint32_t letter = 0;
        if (!randomBelow(kKeyTextLetters, &letter))
            return false;
        c = char('a' + letter);
    }
    text[0] = char(text[0] - kUpperCaseShift);
    uint32_t position = 0;
    if (!randomBelow(kKeyTextLength - 2, &position))
        return false;
    text[position + 1] = ' ';
    out = std::move(text);
    return true;
}

bool vector_generate(std::vector<std::string>& keys)
{
    std::string key;
    if (!string_generate(key))
        return false;
    keys.push_back(std::move(key));
    return true;
}
