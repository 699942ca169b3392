// Small helpers of the command-line engine that the rest of the program shares.
#pragma once

#include <cstdint>

// The 64-bit value whose high half is `high` and low half is `low`.
inline uint64_t MakeUint64(unsigned int low, unsigned int high)
{
    return (uint64_t(high) << 32) | uint64_t(low);
}
