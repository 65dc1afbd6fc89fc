#include "settings/profile_file.h"

#include "util/codepage.h"
#include "util/file_io.h"
#include "util/path_text.h"
#include "util/text.h"

#include <fstream>
#include <iterator>

namespace settings {
namespace {

std::string trimBlanks(const std::string& s) {
    size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool sameName(const std::string& a, const std::string& b) { return util::asciiLower(a) == util::asciiLower(b); }

struct Line {
    std::string text;
    bool isSection = false;
    bool isKey = false;
    std::string name;   // section or key name
    std::string value;  // key lines: the text after "=", trimmed
};

Line classify(std::string text) {
    Line line;
    std::string t = trimBlanks(text);
    if (!t.empty() && t.front() == '[') {
        line.isSection = true;
        size_t close = t.find(']');
        line.name = trimBlanks(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    } else if (!t.empty() && t.front() != ';') {
        size_t eq = t.find('=');
        if (eq != std::string::npos) {
            line.isKey = true;
            line.name = trimBlanks(t.substr(0, eq));
            line.value = trimBlanks(t.substr(eq + 1));
        }
    }
    line.text = std::move(text);
    return line;
}

std::vector<Line> load(const std::string& file) {
    std::ifstream in(util::toFsPath(file), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string text = util::ansiToUtf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string raw = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        lines.push_back(classify(std::move(raw)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

bool save(const std::string& file, const std::vector<Line>& lines) {
    std::string text;
    for (const auto& line : lines) text += line.text + "\r\n";
    return util::replaceFile(file, util::utf8ToAnsi(text));
}

// The range [begin, end) of the first section with that name: its header and its lines.
struct SectionRange {
    size_t begin, end;
};

std::optional<SectionRange> findSection(const std::vector<Line>& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].isSection || !sameName(lines[i].name, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !lines[end].isSection) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> findKey(const std::vector<Line>& lines, SectionRange range, const std::string& key) {
    for (size_t i = range.begin + 1; i < range.end; ++i)
        if (lines[i].isKey && sameName(lines[i].name, key)) return i;
    return std::nullopt;
}

std::string unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::optional<std::string> profileRead(const std::string& file, const std::string& section, const std::string& key) {
    auto lines = load(file);
    auto range = findSection(lines, trimBlanks(section));
    if (!range) return std::nullopt;
    auto at = findKey(lines, *range, trimBlanks(key));
    if (!at) return std::nullopt;
    return unquote(lines[*at].value);
}

bool profileWrite(const std::string& file, const std::string& section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value) {
    auto lines = load(file);
    const std::string sectionName = trimBlanks(section);
    auto range = findSection(lines, sectionName);
    if (!key) {
        if (range) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->begin),
                               lines.begin() + static_cast<std::ptrdiff_t>(range->end));
        return save(file, lines);
    }
    const std::string keyName = trimBlanks(*key);
    if (!value) {
        if (range)
            if (auto at = findKey(lines, *range, keyName)) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
        return save(file, lines);
    }
    Line entry = classify(keyName + "=" + *value);
    if (!range) {
        lines.push_back(classify("[" + sectionName + "]"));
        lines.push_back(std::move(entry));
    } else if (auto at = findKey(lines, *range, keyName)) {
        // The stored spelling of the key stays.
        lines[*at] = classify(lines[*at].name + "=" + *value);
    } else {
        // After the section's last non-blank line.
        size_t insertAt = range->end;
        while (insertAt > range->begin + 1 && trimBlanks(lines[insertAt - 1].text).empty()) --insertAt;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
    }
    return save(file, lines);
}

std::vector<std::string> profileKeys(const std::string& file, const std::string& section) {
    std::vector<std::string> names;
    auto lines = load(file);
    if (auto range = findSection(lines, trimBlanks(section)))
        for (size_t i = range->begin + 1; i < range->end; ++i)
            if (lines[i].isKey) names.push_back(lines[i].name);
    return names;
}

std::vector<std::string> profileSections(const std::string& file) {
    std::vector<std::string> names;
    for (const auto& line : load(file))
        if (line.isSection) names.push_back(line.name);
    return names;
}

}  // namespace settings
