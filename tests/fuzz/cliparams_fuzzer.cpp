// Fuzz target for the command line's parameter readers: the input is a typed command line, cut at
// blanks and line ends into words as the console cuts them. Every reader is run for a few fixed
// keys and for the key of each word, and what it gives is checked against the word itself.
// Faults are reported by the sanitizers or, for a broken invariant, by a trap.
#include "cliutil.h"
#include "zynframe.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kMaxWords = 64;
constexpr size_t kSmallValue = 16;

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The value of the first word "key=...", as the readers must find it.
const char* valueOf(const std::vector<char*>& words, const std::string& key)
{
    for (char* w : words)
        if (std::strncmp(w, key.c_str(), key.size()) == 0 && w[key.size()] == '=')
            return w + key.size() + 1;
    return nullptr;
}

void readAll(std::vector<char*>& words, const std::string& key)
{
    const int argc = int(words.size());
    char** argv = words.data();
    const char* value = valueOf(words, key);
    check(IsArgPresent(argc, argv, key.c_str()) == (value != nullptr));

    // Text: exactly the value when it fits, nothing written otherwise or past the buffer.
    char small[kSmallValue + 1];
    std::memset(small, '#', sizeof small);
    const bool fits = GetArgStringValue(argc, argv, key.c_str(), small, kSmallValue);
    check(small[kSmallValue] == '#');
    check(fits == (value != nullptr && std::strlen(value) < kSmallValue));
    if (fits)
        check(std::strcmp(small, value) == 0);
    else
        check(small[0] == '#');

    // Integer: only a sign and digits, at most 32 bits, written back as the same number.
    int number = 0x5A5A5A5A;
    if (GetArgIntValue(argc, argv, key.c_str(), &number)) {
        check(value != nullptr);
        const char* digits = value + ((*value == '-' || *value == '+') ? 1 : 0);
        check(isDigit(*digits));
        for (const char* p = digits; *p != '\0'; ++p)
            check(isDigit(*p));
        const unsigned long long parsed = std::strtoull(digits, nullptr, 10);
        if (*value == '-' && parsed != 0)
            check(unsigned(number) == 0xFFFFFFFFu);
        else
            check(parsed <= 0xFFFFFFFFull && unsigned(number) == parsed);
    } else {
        check(number == 0x5A5A5A5A);
    }

    // Double: finite and bounded.
    double real = -1.0;
    if (GetArgDoubleValue(argc, argv, key.c_str(), &real))
        check(value != nullptr && std::isfinite(real) && std::fabs(real) <= kArgDoubleLimit);
    else
        check(real == -1.0);

    // List: bounded in count and in every value; empty when refused.
    std::vector<int> list{1, 2, 3};
    if (GetArgArrayValue(argc, argv, key.c_str(), list)) {
        check(value != nullptr && isDigit(*value) && list.size() <= kArgListLimit);
        for (int v : list)
            check(v >= 0 && v <= kArgListNumberLimit);
    } else {
        check(list.empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 16))
        return 0;
    // Words as the console makes them: cut at blanks, empty parts skipped, NUL-terminated.
    std::vector<std::string> text;
    std::string word;
    for (size_t i = 0; i <= size; ++i) {
        const char c = i < size ? char(data[i]) : ' ';
        if (c == ' ' || c == '\n' || c == '\0') {
            if (!word.empty() && text.size() < kMaxWords)
                text.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    std::vector<char*> words;
    for (std::string& w : text)
        words.push_back(&w[0]);

    std::vector<std::string> keys = {"p", "drv", "capacity", "name", ""};
    for (const std::string& w : text) {
        const size_t equals = w.find('=');
        if (equals != std::string::npos)
            keys.push_back(w.substr(0, equals));
    }
    for (const std::string& key : keys)
        readAll(words, key);

    for (size_t i = 1; i < words.size(); ++i) {
        const unsigned n = find_match_str_amount(words[i - 1], words[i]);
        check(n <= std::strlen(words[i - 1]) && n <= std::strlen(words[i]));
        check(std::strncmp(words[i - 1], words[i], n) == 0);
    }

    // The accumulator fed whole and in two pieces agrees with the one-shot sum.
    Crc32 whole;
    whole.AddData(data, unsigned(size));
    Crc32 pieces;
    pieces.AddData(data, unsigned(size / 3));
    pieces.AddData(data + size / 3, unsigned(size - size / 3));
    check(whole.GetCrc32() == crc32(data, size) && pieces.GetCrc32() == whole.GetCrc32());

    if (size >= sizeof(int)) {
        int value = 0;
        std::memcpy(&value, data, sizeof value);
        char digits[kItoaSize];
        check(std::strtol(itoa(value, digits, 10), nullptr, 10) == value);
    }
    return 0;
}
