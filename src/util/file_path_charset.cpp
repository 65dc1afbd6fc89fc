// Character-set detection and conversion of byte contents, widths in code page 936 bytes,
// and size texts.
#include "util/codepage.h"
#include "util/file_path.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace {

// True if the pattern occurs at a position 0 ... min(last index, limit) - 10.
bool markInHead(const std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> mark, int64_t limit) {
    int64_t last = std::min<int64_t>(static_cast<int64_t>(bytes.size()) - 1, limit) - 10;
    for (int64_t p = 0; p <= last; ++p)
        if (std::equal(mark.begin(), mark.end(), bytes.begin() + p)) return true;
    return false;
}

std::string roundedUp(double value, const char* unit, bool noUnit) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", std::ceil(value));
    return noUnit ? std::string(text) : std::string(text) + unit;
}

}  // namespace

// Samples at most the first 1001 bytes. The loop bound m comes from the remaining length but
// is compared with the index itself, so a first high byte beyond the middle of the sample
// reports UTF-8 at once; stored contents are decoded under exactly this rule.
bool clsFilePath::binIsUTF8(const Bytes& bytes) {
    if (bytes.empty()) return false;
    const int64_t upper = static_cast<int64_t>(bytes.size()) - 1;
    const int64_t n = std::min<int64_t>(upper, 1000);
    int64_t i = 0;
    while (i <= n && bytes[static_cast<size_t>(i)] <= 127) ++i;
    const int64_t m = std::min<int64_t>(n - i - 1, 1000);
    int64_t sequences = 0;
    int64_t steps = 0;
    while (i <= m) {
        ++steps;
        uint8_t b = bytes[static_cast<size_t>(i)];
        if ((b & 0xF0) == 0xE0) {
            ++sequences;
            i += 3;
        } else if (b > 127) {
            break;
        } else {
            ++i;
        }
    }
    if (i >= m) return true;
    return steps > 0 && static_cast<double>(sequences) / static_cast<double>(steps) > 0.9;
}

bool clsFilePath::binIsUTF8_3(const Bytes& bytes) { return markInHead(bytes, {0xEF, 0xBB, 0xBF}, 500); }

bool clsFilePath::binIsUnicode(const Bytes& bytes) { return markInHead(bytes, {0xFF, 0xFE}, 800); }

int64_t clsFilePath::UTF82ANSI(Bytes& bytes) {
    auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
    bytes = util::utf8ToAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<size_t>(end - bytes.begin())));
    return static_cast<int64_t>(bytes.size());
}

int64_t clsFilePath::unicode2ANSI(Bytes& bytes) {
    std::string utf8 = bytes.size() > 2 ? util::utf16leToUtf8(bytes.data() + 2, bytes.size() - 2) : std::string();
    bytes = util::utf8ToAnsi(utf8);
    return static_cast<int64_t>(bytes.size());
}

int64_t clsFilePath::ddStrlen(const std::string& text) { return static_cast<int64_t>(util::utf8ToAnsi(text).size()); }

// A cut through a two-byte character shows its remaining half as "?".
std::string clsFilePath::ddStrLeft(const std::string& text, int64_t n) {
    Bytes ansi = util::utf8ToAnsi(text);
    if (n <= 0) return {};
    if (static_cast<size_t>(n) >= ansi.size()) return text;
    size_t keep = util::ansiPrefixLength(ansi, static_cast<size_t>(n));
    return util::ansiToUtf8(ansi.data(), keep) + (keep < static_cast<size_t>(n) ? "?" : "");
}

std::string clsFilePath::ddStrRight(const std::string& text, int64_t n) {
    Bytes ansi = util::utf8ToAnsi(text);
    if (n <= 0) return {};
    if (static_cast<size_t>(n) >= ansi.size()) return text;
    size_t from = ansi.size() - static_cast<size_t>(n);
    bool cut = util::ansiPrefixLength(ansi, from) != from;
    size_t begin = cut ? from + 1 : from;
    return (cut ? "?" : "") + util::ansiToUtf8(ansi.data() + begin, ansi.size() - begin);
}

bool clsFilePath::isNullLine(const std::string& line) {
    for (size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\0') {
            ++i;
        } else if (line.compare(i, 3, "\xE3\x80\x80") == 0) {  // U+3000 ideographic space
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

std::string clsFilePath::lenKstr(int64_t bytes, bool noUnit) { return lenKstrDbl(static_cast<double>(bytes), noUnit); }

std::string clsFilePath::lenKstrDbl(double bytes, bool noUnit) { return roundedUp(bytes / 1024.0, "K", noUnit); }

std::string clsFilePath::lenMstr(double bytes, bool noUnit) { return roundedUp(bytes / 1024.0 / 1024.0, "M", noUnit); }
