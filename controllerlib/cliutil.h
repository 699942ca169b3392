// Small helpers of the command-line engine that the rest of the program shares: the key=value
// parameter readers, the prefix counter of the router, character tests, a hexadecimal dump, the
// CRC-32 accumulator and the random key text of the volume key files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The 64-bit value whose high half is `high` and low half is `low`.
inline uint64_t MakeUint64(unsigned int low, unsigned int high)
{
    return (uint64_t(high) << 32) | uint64_t(low);
}

// Parameters are words "key=value" after the sub-command. Every reader takes the first word
// whose key is exactly `key` (case-sensitive); a reader's false means the key is absent or its
// value is malformed, and its output is then untouched (a list is left empty). IsArgPresent
// tells the two apart, so that a malformed value is refused instead of taking the default.

// True when a word begins with `key` followed by "=".
bool IsArgPresent(int argc, char** argv, const char* key);

// Copies the value (possibly empty) with its terminating NUL into `out`, which holds `capacity`
// bytes. A value that does not fit is refused, never cut.
bool GetArgStringValue(int argc, char** argv, const char* key, char* out, size_t capacity);
template <size_t N>
bool GetArgStringValue(int argc, char** argv, const char* key, char (&out)[N])
{
    return GetArgStringValue(argc, argv, key, out, N);
}

// A decimal number of at most 32 bits, the whole value consumed ("01" is 1). A negative number
// is stored as all ones, as "-1" is, so that it fails every upper bound; "-0" is 0.
bool GetArgIntValue(int argc, char** argv, const char* key, int* out);

// Largest magnitude GetArgDoubleValue accepts: a capacity in GB of this size still counts its
// 512-byte blocks in 64 bits.
constexpr double kArgDoubleLimit = 9.0e12;
// A finite decimal number of magnitude at most kArgDoubleLimit, the whole value consumed; read
// the same in every locale.
bool GetArgDoubleValue(int argc, char** argv, const char* key, double* out);

// Most values a number list may give (the capacity of a drive list), and the largest number.
constexpr size_t kArgListLimit = 320;
constexpr int kArgListNumberLimit = 65535;
// A list such as "1~3,5,7": numbers and inclusive ranges separated by commas, starting with a
// digit. A reversed range gives nothing, empty items (",,") are skipped. A number above
// kArgListNumberLimit, a sign, or more than kArgListLimit values in all give false.
bool GetArgArrayValue(int argc, char** argv, const char* key, std::vector<int>& out);

// The number of equal leading bytes of `a` and `b`, counted over the shorter of the two.
unsigned find_match_str_amount(const char* a, const char* b);

// True for 0-9, a-f and A-F.
bool IsXDigit(unsigned char c);

// `value` in decimal into `dst` (the base is ignored: always decimal); returns `dst`.
constexpr size_t kItoaSize = 12;   // "-2147483648" and its NUL
char* itoa(int value, char* dst, size_t capacity);
template <size_t N>
char* itoa(int value, char (&dst)[N], int /*base*/)
{
    static_assert(N >= kItoaSize, "itoa needs room for every int");
    return itoa(value, dst, N);
}

// Hexadecimal dump of `length` bytes to the process's standard output: a header, a rule, rows
// of 16 bytes with their offset and their characters, and a closing rule.
void dumpdata(const unsigned char* data, int length);

// Reflected CRC-32 of IEEE 802.3, fed in pieces.
class Crc32
{
public:
    Crc32() = default;
    void Reset() { m_crc = kInitial; }
    void AddData(const unsigned char* data, unsigned length);
    uint32_t GetCrc32() const { return ~m_crc; }

private:
    static constexpr uint32_t kInitial = 0xFFFFFFFFu;
    uint32_t m_crc = kInitial;
};

// The key text of a volume key file: kKeyTextLength lower-case letters drawn from the system's
// cryptographic random source, the first one upper case, and one blank at a position from 1 to
// kKeyTextLength - 2. False (and nothing made) when the random source fails.
constexpr int kKeyTextLength = 256;
bool string_generate(std::string& out);
// Appends one key text to `keys`; false and nothing appended when the random source fails.
bool vector_generate(std::vector<std::string>& keys);
