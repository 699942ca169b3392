// Parameter reading shared by the raid set, volume set and key file commands: an optional
// parameter that is absent takes its default, one that is present but malformed is refused;
// and the 16-byte name and serial fields of the controller's records as terminated texts.
#pragma once

#include "cliutil.h"
#include "records.h"

#include <QString>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace cliconf {

// What reading an optional parameter found.
enum class Arg { Absent, Read, Malformed };

inline Arg optionalInt(int argc, char** argv, const char* key, int* out)
{
    if (!IsArgPresent(argc, argv, key))
        return Arg::Absent;
    return GetArgIntValue(argc, argv, key, out) ? Arg::Read : Arg::Malformed;
}

inline Arg optionalDouble(int argc, char** argv, const char* key, double* out)
{
    if (!IsArgPresent(argc, argv, key))
        return Arg::Absent;
    return GetArgDoubleValue(argc, argv, key, out) ? Arg::Read : Arg::Malformed;
}

inline Arg optionalList(int argc, char** argv, const char* key, std::vector<int>& out)
{
    out.clear();
    if (!IsArgPresent(argc, argv, key))
        return Arg::Absent;
    return GetArgArrayValue(argc, argv, key, out) ? Arg::Read : Arg::Malformed;
}

// A 16-byte field of a record, which need not hold a NUL, as a terminated text.
constexpr std::size_t kFieldSize = 16;
struct FieldText {
    char text[kFieldSize + 1];
    explicit FieldText(const unsigned char* field)
    {
        std::size_t n = 0;
        while (n < kFieldSize && field[n] != 0)
            ++n;
        std::memcpy(text, field, n);
        text[n] = '\0';
    }
};

// A raid set or volume set name field as the command line prints it: UTF-8 (a name that is not
// UTF-8 read as Latin-1).
inline std::string nameText(const unsigned char* field)
{
    return zynwire::textAsUtf8(FieldText(field).text);
}

// The name field of a name typed on the command line, whose words come in the local encoding:
// the name in UTF-8, cut between characters, blank-filled.
inline void fillName(char* field, const char* typed)
{
    zynwire::putName(reinterpret_cast<uint8_t*>(field), kFieldSize, QString::fromLocal8Bit(typed).toStdString(), ' ');
}

// `text` (UTF-8) blank-filled on the left to `width` characters, as printf's %Ns does with
// bytes; with a negative width filled on the right, as %-Ns does. A longer text is kept whole.
inline std::string padded(const std::string& text, int width)
{
    std::size_t characters = 0;
    for (char c : text)
        if (!zynwire::isUtf8Continuation(static_cast<uint8_t>(c)))
            ++characters;
    const std::size_t wanted = std::size_t(width < 0 ? -width : width);
    if (characters >= wanted)
        return text;
    const std::string fill(wanted - characters, ' ');
    return width < 0 ? text + fill : fill + text;
}

// Stripe sizes: code c stands for 4 KB << c, which is 8 << c sectors.
constexpr int kStripeCodes = 9;
constexpr int kStripeMinKb = 4;
constexpr unsigned kStripeMinSectors = 8;
// The code of a stripe size in KB; -1 for a size that has none.
inline int stripeCodeOfKb(int kb)
{
    for (int c = 0; c < kStripeCodes; ++c)
        if (kb == (kStripeMinKb << c))
            return c;
    return -1;
}
// The code of a stripe size in sectors; -1 for a size that has none.
inline int stripeCodeOfSectors(unsigned sectors)
{
    for (int c = 0; c < kStripeCodes; ++c)
        if (sectors == (kStripeMinSectors << c))
            return c;
    return -1;
}

// Command-line raid levels and their codes: 0, 1, 3, 5, 6 give 0 .. 4; -1 for another.
inline int levelCodeOf(int level)
{
    static const int kLevels[] = {0, 1, 3, 5, 6};
    for (int c = 0; c < int(sizeof kLevels / sizeof kLevels[0]); ++c)
        if (level == kLevels[c])
            return c;
    return -1;
}

} // namespace cliconf
