#include "settings/ini_file.h"

#include "settings/profile_file.h"

#include "util/app_path.h"
#include "util/codepage.h"
#include "util/text.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <climits>
#include <limits>
#include <map>
#include <optional>

namespace {

constexpr size_t kValueBuffer = 255;
constexpr size_t kListBuffer = 8192;

// The text cut to at most `bytes` bytes of its code page 936 form, on a character boundary.
std::string cutAnsi(const std::string& text, size_t bytes) {
    util::Bytes ansi = util::utf8ToAnsi(text);
    if (ansi.size() <= bytes) return text;
    return util::ansiToUtf8(ansi.data(), util::ansiPrefixLength(ansi, bytes));
}

// Names joined by NUL characters, as a profile list buffer of kListBuffer characters holds them.
std::string nulList(const std::vector<std::string>& names) {
    std::string joined;
    for (const auto& name : names) {
        if (!joined.empty()) joined += '\0';
        joined += name;
    }
    return cutAnsi(joined, kListBuffer - 2);
}

// A nonzero number, or the text "True" as the Windows program wrote Booleans: true.
bool flag(const std::string& text) {
    if (util::asciiLower(util::trimSpaces(text)) == "true") return true;
    auto value = util::readNumber(text);
    return value && *value != 0;
}

// The size with at most four decimals and no trailing zeros, whatever the locale.
std::string sizeText(float size) {
    const double rounded = std::round(static_cast<double>(size) * 10000) / 10000;
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, 4);
    if (error != std::errc()) return "0";
    std::string s(text, end);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

// One axis of the screen fit: the position and length inside [margin, screen - margin].
// Worked in 64 bits: stored values may be anything a 32-bit number holds.
void fitAxis(int32_t& position, int32_t& length, int32_t screen, int32_t margin) {
    int64_t pos = position, len = length;
    const int64_t far = int64_t(screen) - margin;
    if (pos < margin) pos = margin;
    if (pos + len > far) {
        pos = far - len;
        if (pos < margin) pos = margin;
        if (pos + len > far) len = far - pos;
    }
    position = int32_t(std::clamp<int64_t>(pos, INT32_MIN, INT32_MAX));
    length = int32_t(std::clamp<int64_t>(len, INT32_MIN, INT32_MAX));
}

}  // namespace

std::string cInifile::programIniPath() { return util::appPath() + util::appExeName() + ".ini"; }

std::string cInifile::Value() const {
    auto value = settings::profileRead(path, section, key);
    return value ? cutAnsi(*value, kValueBuffer - 1) : Default;
}

void cInifile::setValue(const std::string& text) {
    std::string clean = text;
    clean.erase(std::remove(clean.begin(), clean.end(), '\0'), clean.end());
    lastReturnCode_ = settings::profileWrite(path, section, key, clean) ? 1 : 0;
}

void cInifile::DeleteKey() { lastReturnCode_ = settings::profileWrite(path, section, key, std::nullopt) ? 1 : 0; }

void cInifile::DeleteSection() {
    lastReturnCode_ = settings::profileWrite(path, section, std::nullopt, std::nullopt) ? 1 : 0;
}

std::string cInifile::INISection() const { return nulList(settings::profileKeys(path, section)); }

void cInifile::setINISection(const std::string&) { DeleteSection(); }

std::string cInifile::Sections() const { return nulList(settings::profileSections(path)); }

void cInifile::EnumerateCurrentSection(std::vector<std::string>& names, int32_t& count) const {
    names = settings::profileKeys(path, section);
    count = static_cast<int32_t>(names.size());
}

void cInifile::EnumerateAllSections(std::vector<std::string>& names, int32_t& count) const {
    names = settings::profileSections(path);
    count = static_cast<int32_t>(names.size());
}

std::vector<std::pair<int32_t, std::string>> cInifile::numberedValues(const std::string& prefix,
                                                                      const std::string& suffix, int32_t count) const {
    const std::string head = util::asciiLower(prefix), tail = util::asciiLower(suffix);
    std::map<int32_t, std::string> found;
    for (const std::string& name : settings::profileKeys(path, section)) {
        const std::string lower = util::asciiLower(name);
        if (lower.size() <= head.size() + tail.size() || lower.compare(0, head.size(), head) != 0 ||
            lower.compare(lower.size() - tail.size(), tail.size(), tail) != 0)
            continue;
        const std::string digits = lower.substr(head.size(), lower.size() - head.size() - tail.size());
        if (digits.size() > 9 || digits.front() == '0' ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const int32_t i = std::stoi(digits);
        if (i <= count && !found.count(i)) found[i] = name;
    }
    std::vector<std::pair<int32_t, std::string>> values;
    for (const auto& [i, name] : found) values.emplace_back(i, read(name));
    return values;
}

std::string cInifile::read(const std::string& name) const {
    cInifile probe = *this;
    probe.key = name;
    return probe.Value();
}

void cInifile::write(const std::string& name, const std::string& text) {
    std::string kept = key;
    key = name;
    setValue(text);
    key = kept;
}

void cInifile::loadFont(IniFont& font) {
    if (std::string name = read("name"); !name.empty()) font.name = name;
    // A size of 0 or below is no size a font can have: the current one stays.
    if (float size = CSngDefault(read("size"), font.size); size > 0) font.size = size;
    font.bold = flag(read("bold"));
    font.underline = flag(read("Underline"));
    if (std::string charset = read("Charset"); !charset.empty()) font.charset = CLngDefault(charset, font.charset);
    font.italic = flag(read("Italic"));
    font.weight = CLngDefault(read("Weight"), font.weight);
    font.strikethrough = flag(read("Strikethrough"));
}

void cInifile::SaveFont(const IniFont& font) {
    write("name", font.name);
    write("size", sizeText(font.size));
    write("bold", font.bold ? "1" : "0");
    write("Underline", font.underline ? "1" : "0");
    write("Charset", std::to_string(font.charset));
    write("Italic", font.italic ? "1" : "0");
    write("Weight", std::to_string(font.weight));
    write("Strikethrough", font.strikethrough ? "1" : "0");
}

void cInifile::keepFormPosition(IniFormPlace& place, const IniFormPosition& window) {
    using State = IniFormPosition::State;
    if (window.state == State::Minimised) return;
    place.maximised = window.state == State::Maximised ? 1 : 0;
    if (window.state != State::Normal) return;
    place.left = window.left;
    place.top = window.top;
    place.width = window.width;
    place.height = window.height;
}

void cInifile::SaveFormPosition(const IniFormPosition& window) {
    IniFormPlace place;
    keepFormPosition(place, window);
    writeFormPlace(place);
}

void cInifile::writeFormPlace(const IniFormPlace& place) {
    const std::pair<const char*, const std::optional<int32_t>*> keys[] = {
        {"Maximised", &place.maximised}, {"Left", &place.left},     {"Top", &place.top},
        {"Width", &place.width},         {"Height", &place.height},
    };
    for (const auto& [name, value] : keys)
        if (*value) write(name, std::to_string(**value));
}

IniFormPlace cInifile::readFormPlace() {
    std::string keptDefault = Default;
    Default = "FAIL";  // a missing key reads as a text no number conversion accepts
    IniFormPlace place;
    place.left = util::readLong(read("Left"));
    place.top = util::readLong(read("Top"));
    place.width = util::readLong(read("Width"));
    place.height = util::readLong(read("Height"));
    place.maximised = util::readLong(read("Maximised"));
    Default = keptDefault;
    return place;
}

cInifile::Placement cInifile::fitFormPlace(const IniFormPlace& stored, const IniFormPosition& window, int32_t minWidth,
                                           int32_t minHeight, const IniScreen& screen) {
    Placement p;
    p.left = stored.left.value_or(window.left);
    p.top = stored.top.value_or(window.top);
    p.width = std::max(stored.width.value_or(window.width), minWidth);
    p.height = std::max(stored.height.value_or(window.height), minHeight);
    fitAxis(p.left, p.width, screen.width, 4 * screen.twipsPerPixelX);
    fitAxis(p.top, p.height, screen.height, 4 * screen.twipsPerPixelY);
    p.moved = p.width >= minWidth && p.height >= minHeight;
    p.maximise = stored.maximised.value_or(0) != 0;
    return p;
}

cInifile::Placement cInifile::LoadFormPosition(const IniFormPosition& window, int32_t minWidth, int32_t minHeight,
                                               const IniScreen& screen) {
    return fitFormPlace(readFormPlace(), window, minWidth, minHeight, screen);
}

int32_t cInifile::CLngDefault(const std::string& text, int32_t fallback) { return util::readLong(text).value_or(fallback); }

float cInifile::CSngDefault(const std::string& text, float fallback) {
    auto value = util::readNumber(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return fallback;
    return static_cast<float>(*value);
}
