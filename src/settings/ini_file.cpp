#include "settings/ini_file.h"

#include "settings/profile_file.h"

#include "util/app_path.h"
#include "util/codepage.h"
#include "util/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
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

// Nonzero numeric value: true (a text that is no number counts as 0).
bool flag(const std::string& text) {
    auto value = util::readNumber(text);
    return value && *value != 0;
}

std::string sizeText(float size) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(size));
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

// One axis of the screen fit: the position and length inside [margin, screen - margin].
void fitAxis(int32_t& position, int32_t& length, int32_t screen, int32_t margin) {
    if (position < margin) position = margin;
    if (position + length > screen - margin) {
        position = screen - margin - length;
        if (position < margin) position = margin;
        if (position + length > screen - margin) length = screen - position - margin;
    }
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
    font.size = CSngDefault(read("size"), font.size);
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

void cInifile::SaveFormPosition(const IniFormPosition& window) {
    using State = IniFormPosition::State;
    if (window.state == State::Minimised) return;
    write("Maximised", window.state == State::Maximised ? "1" : "0");
    if (window.state != State::Normal) return;
    write("Left", std::to_string(window.left));
    write("Top", std::to_string(window.top));
    write("Width", std::to_string(window.width));
    write("Height", std::to_string(window.height));
}

cInifile::Placement cInifile::LoadFormPosition(const IniFormPosition& window, int32_t minWidth, int32_t minHeight,
                                               const IniScreen& screen) {
    std::string keptDefault = Default;
    Default = "FAIL";  // a missing key reads as a text no number conversion accepts
    Placement p;
    p.left = CLngDefault(read("Left"), window.left);
    p.top = CLngDefault(read("Top"), window.top);
    p.width = std::max(CLngDefault(read("Width"), window.width), minWidth);
    p.height = std::max(CLngDefault(read("Height"), window.height), minHeight);
    fitAxis(p.left, p.width, screen.width, 4 * screen.twipsPerPixelX);
    fitAxis(p.top, p.height, screen.height, 4 * screen.twipsPerPixelY);
    p.moved = p.width >= minWidth && p.height >= minHeight;
    p.maximise = CLngDefault(read("Maximised"), 0) != 0;
    Default = keptDefault;
    return p;
}

int32_t cInifile::CLngDefault(const std::string& text, int32_t fallback) { return util::readLong(text).value_or(fallback); }

float cInifile::CSngDefault(const std::string& text, float fallback) {
    auto value = util::readNumber(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return fallback;
    return static_cast<float>(*value);
}
