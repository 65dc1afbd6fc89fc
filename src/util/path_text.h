// Small path-text helpers shared by the clsFilePath files.
#pragma once

#include "util/app_path.h"
#include "util/text.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace util {

inline bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

// The position of the last separator in the text, or npos.
inline size_t lastSeparator(std::string_view text) { return text.find_last_of("/\\"); }

// folder + separator + name, without doubling a separator the folder already ends with.
inline std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || isPathSeparator(folder.back())) return folder + name;
    return folder + kPathSeparator + name;
}

// A file-system path from a path text; "\" counts as a separator.
inline std::filesystem::path toFsPath(std::string text) {
#ifndef _WIN32
    for (char& c : text)
        if (c == '\\') c = '/';
#endif
    return std::filesystem::path(text);
}

}  // namespace util
