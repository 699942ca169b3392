// A temporary folder for one run of a benchmark program.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace bench {

// Runs `work` with a new folder made from `pattern` (ending in XXXXXX) and removes the folder
// with what it holds afterwards; `work`'s result, or 1 when no folder could be made.
template <typename Work>
int inScratchFolder(const char* pattern, Work work)
{
    std::string folder = pattern;
    if (mkdtemp(folder.data()) == nullptr)
        return 1;
    const int rc = work(folder.c_str());
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return rc;
}

} // namespace bench
