#include "util/text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace util {

std::string trimSpaces(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::vector<std::string> splitAll(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t at = text.find(delimiter, start); !delimiter.empty() && at != std::string_view::npos;
         at = text.find(delimiter, start)) {
        pieces.emplace_back(text.substr(start, at - start));
        start = at + delimiter.size();
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

std::optional<double> readNumber(std::string_view text) {
    std::string t = trimSpaces(text);
    // from_chars reads the same form whatever the locale says the decimal point is.
    std::string_view digits = t;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    if (digits.empty() || (digits.front() == '-' && t.front() == '+')) return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int32_t> readLong(std::string_view text) {
    auto value = readNumber(text);
    if (!value) return std::nullopt;
    double rounded = std::nearbyint(*value);
    if (rounded < std::numeric_limits<int32_t>::min() || rounded > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(rounded);
}

std::string singleText(float value) {
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string("0");
}

std::string asciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::vector<std::string_view> utf8Characters(std::string_view text) {
    std::vector<std::string_view> chars;
    for (size_t i = 0; i < text.size();) {
        size_t len = 1;
        while (len < 4 && i + len < text.size() && (static_cast<unsigned char>(text[i + len]) & 0xC0) == 0x80) ++len;
        chars.push_back(text.substr(i, len));
        i += len;
    }
    return chars;
}

}  // namespace util
