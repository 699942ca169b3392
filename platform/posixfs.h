// Small file-system helpers over POSIX shared by the stand-ins and the library.
#pragma once

#include <string>

namespace posixfs {

// Creates `path` and its missing parents with `mode`; true when it is a folder afterwards.
bool makeDirectories(const std::string& path, unsigned mode);

} // namespace posixfs
