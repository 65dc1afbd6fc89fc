// A settings object aimed at one key (or, with no key, one section) of a settings file.
#pragma once

#include "settings/ini_file.h"

#include <string>

namespace testing_support {

inline cInifile iniAt(const std::string& file, const std::string& section, const std::string& key = "") {
    cInifile ini;
    ini.path = file;
    ini.section = section;
    ini.key = key;
    return ini;
}

}  // namespace testing_support
