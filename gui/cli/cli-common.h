// What the command handlers share: a refusal of the command line itself, the result line of a
// library or controller result, and finding a typed position in a device map.
#pragma once

#include "cli/cli-confargs.h"
#include "cli/output.h"
#include "zynlib.h"

#include <algorithm>

namespace clicommon {

// A refusal of the command line itself: its "ErrMsg: " line, result 1.
inline int refuse(const char* text)
{
    cliout_zynmsr.ErrMsg_("%s", text);
    return 1;
}

// The result line of a library or controller result; the result itself.
inline int resultLine(u32 rc)
{
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

// The 0-based map position of the number typed as `key` (counted from 1), after `build` has
// filled the map: 0, else the result to return (already printed): `missing` or `malformed`
// for the word, the build's own failure, or 0x12 for a number outside the map.
template <typename Map, typename Build>
int findInMap(int argc, char** argv, const char* key, const char* missing, const char* malformed, Map* map,
              Build build, int* index)
{
    int number = 0;
    const cliconf::Arg got = cliconf::optionalInt(argc, argv, key, &number);
    if (got == cliconf::Arg::Absent)
        return refuse(missing);
    if (got == cliconf::Arg::Malformed)
        return refuse(malformed);
    const u32 rc = build(map);
    if (rc != ZYN_OK)
        return resultLine(rc);
    const unsigned count = std::min<unsigned>(map->count, Map::kMaxEntries);
    if (unsigned(number) < 1 || unsigned(number) > count)
        return resultLine(ZYN_ERR_NO_OBJECT);
    *index = number - 1;
    return 0;
}

} // namespace clicommon
