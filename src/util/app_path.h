// The program folder: where the settings file, "tmp", "icon16", "icon32" and "data" live.
//
// It is the environment variable VYNE_HOME when set; otherwise, for a program run from where
// it was built or unpacked, the executable's folder when that is writable; otherwise (and
// always for an installed program, whose folder belongs to the system) a per-user folder
// ($XDG_DATA_HOME/vyne-browser, by default ~/.local/share/vyne-browser), created on demand.
// Always ends with the path separator.
#pragma once

#include <string>

namespace util {

std::string appPath();

// The read-only data of an installed program (the manual, the demo library, the icons):
// <prefix>/share/vyne-browser/ when the executable lies in <prefix>/bin and that folder
// exists; empty for a program that is not installed.
std::string installedDataPath();

// The executable's file name without folder and extension ("vyne-browser").
std::string appExeName();

// The platform's path separator as text.
inline constexpr char kPathSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

}  // namespace util
