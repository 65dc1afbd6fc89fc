// Path texts: splitting, titles, extensions (no disk access except parentPath and changeFileExt).
#include "util/file_path.h"
#include "util/path_text.h"

#include <algorithm>

using util::isPathSeparator;
using util::lastSeparator;

std::string clsFilePath::trim(const std::string& text) { return util::trimSpaces(text); }

std::string clsFilePath::GetFileName(const std::string& path) const {
    std::string_view searched(path);
    if (!searched.empty() && isPathSeparator(searched.back())) searched.remove_suffix(1);
    size_t pos = lastSeparator(searched);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string clsFilePath::getFileExtName(const std::string& path) const {
    std::string name = GetFileName(justPath(path));
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : util::asciiLower(name.substr(dot + 1));
}

std::string clsFilePath::getFilePathName(const std::string& path) const {
    size_t pos = lastSeparator(path);
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string clsFilePath::getFileTitleName(const std::string& path, bool dropNumberPrefix) const {
    std::string work = trim(path);
    // Characters (not bytes) after each position decide whether a dot ends the title: a dot
    // followed by at most four characters starts the extension, an earlier one becomes "_".
    size_t charsAfter = 0;
    std::vector<size_t> after(work.size());
    for (size_t i = work.size(); i-- > 0;) {
        after[i] = charsAfter;
        if ((static_cast<unsigned char>(work[i]) & 0xC0) != 0x80) ++charsAfter;
    }
    size_t start = 0;
    size_t end = std::string::npos;
    for (size_t i = 0; i < work.size(); ++i) {
        if (isPathSeparator(work[i])) {
            start = i + 1;
            end = std::string::npos;
        } else if (work[i] == '.') {
            if (after[i] >= 5)
                work[i] = '_';
            else
                end = i;
        }
    }
    std::string title = work.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t lead = title.find_first_not_of(' ');
    title.erase(0, lead == std::string::npos ? title.size() : lead);
    if (dropNumberPrefix) {
        size_t underscore = title.find('_');
        if (underscore != std::string::npos && underscore > 0 &&
            std::all_of(title.begin(), title.begin() + static_cast<std::ptrdiff_t>(underscore),
                        [](char c) { return c >= '0' && c <= '9'; }))
            title = title.substr(underscore + 1);
    }
    return title;
}

std::string clsFilePath::justPath(const std::string& path) const {
    size_t last = path.size();
    while (last > 0 && isPathSeparator(path[last - 1])) --last;
    if (last == 0 && !path.empty()) return path.substr(0, 1);
    return path.substr(0, last);
}

std::string clsFilePath::getFnameDrivePath(const std::string& path) const {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 3);
    if (!path.empty() && isPathSeparator(path[0])) return path.substr(0, 1);
    return {};
}

std::string clsFilePath::parentPath(const std::string& folder) const {
    if (!pathExist(folder)) return {};
    std::string own = justPath(folder);
    size_t pos = lastSeparator(own);
    if (pos == std::string::npos || pos + 1 == own.size()) return {};  // relative name or a root
    std::string parent = own.substr(0, pos);
    if (parent.empty() || (parent.size() == 2 && parent[1] == ':')) return own.substr(0, pos + 1);
    return parent;
}

bool clsFilePath::changeFileExt(const std::string& path, const std::string& newExtension) {
    std::string name = GetFileName(path);
    return renameFile(path, getFilePathName(path) + name.substr(0, name.rfind('.')) + "." + newExtension);
}
