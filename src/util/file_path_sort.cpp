// Putting lists of file names into reading order by keys taken from their titles.
//
// Each sort computes every key once and sorts stably in O(n log n); names with distinct keys
// end in ascending key order.
#include "util/file_path.h"
#include "util/path_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace fs = std::filesystem;

namespace {

// Reorders the names by their keys, stably.
template <class Key>
void sortByKeys(std::vector<std::string>& names, const std::vector<Key>& keys) {
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (size_t i : order) sorted.push_back(std::move(names[i]));
    names.swap(sorted);
}

// The number formed by the last run of digits (0 when there is none).
double lastNumber(const std::string& title) {
    size_t end = title.find_last_of("0123456789");
    if (end == std::string::npos) return 0;
    size_t begin = title.find_last_not_of("0123456789", end);
    begin = begin == std::string::npos ? 0 : begin + 1;
    return std::strtod(title.substr(begin, end - begin + 1).c_str(), nullptr);
}

fs::file_time_type writeTime(const std::string& name) {
    std::error_code ec;
    auto t = fs::last_write_time(util::toFsPath(name), ec);
    return ec ? fs::file_time_type::min() : t;
}

}  // namespace

void clsFilePath::sortfnamesByStr(List& names) const {
    if (names.empty()) return;
    const size_t width = util::utf8Characters(getFileTitleName(names.front())).size() + 6;
    std::vector<std::string> keys;
    for (const auto& name : names) {
        std::string title = getFileTitleName(name);
        size_t length = util::utf8Characters(title).size();
        keys.push_back(util::asciiLower(std::string(length < width ? width - length : 0, ' ') + title));
    }
    sortByKeys(names, keys);
}

void clsFilePath::sortfnamesByChnStr(List& names) const {
    std::vector<std::string> keys;
    for (const auto& name : names) keys.push_back(getFileTitleName(name));
    sortByKeys(names, keys);
}

void clsFilePath::sortfnamesByNum(List& names) const {
    std::vector<double> keys;
    for (const auto& name : names) keys.push_back(lastNumber(getFileTitleName(name)));
    sortByKeys(names, keys);
}

void clsFilePath::sortfnames3(List& names, const std::string& marker) const {
    std::vector<int32_t> keys;
    for (const auto& name : names) {
        std::string title = getFileTitleName(name);
        if (!marker.empty())
            for (size_t at = title.find(marker); at != std::string::npos; at = title.find(marker, at + 1))
                title.replace(at, marker.size(), "0");
        auto key = util::readLong(title);
        if (!key) return;  // a title that is not a number leaves the list as it was
        keys.push_back(*key);
    }
    sortByKeys(names, keys);
}

void clsFilePath::sortfnamesByCreateDate(List& names) const {
    // The standard library knows no creation time; the last-write time stands in for it.
    sortfnamesByWriteDate(names);
}

void clsFilePath::sortfnamesByWriteDate(List& names) const {
    std::vector<fs::file_time_type> keys;
    for (const auto& name : names) keys.push_back(writeTime(name));
    sortByKeys(names, keys);
}

std::string clsFilePath::getNewFileNameByNum(const std::string& file, int32_t digits) const {
    if (!fileExist(file)) return file;
    std::string folder = getFilePathName(file);
    std::string rest = "_" + getFileTitleName(file) + "." + getFileExtName(file);
    for (int n = 1; n < std::numeric_limits<int>::max(); ++n) {
        char number[32];
        std::snprintf(number, sizeof number, "%0*d", std::clamp(digits, 1, 20), n);
        std::string candidate = folder + number + rest;
        if (!fileExist(candidate) && !pathExist(candidate)) return candidate;
    }
    return {};
}
