#include "aids/pinyin.h"

#include "util/text.h"

#include <array>
#include <cctype>
#include <vector>

namespace aids {
namespace {

// The four marked forms (tones 1-4) of each vowel, lower and upper case.
struct MarkedVowel {
    char32_t plain;
    std::array<const char*, 4> marked;
};
constexpr MarkedVowel kVowels[] = {
    {U'a', {"ā", "á", "ǎ", "à"}}, {U'e', {"ē", "é", "ě", "è"}}, {U'i', {"ī", "í", "ǐ", "ì"}},
    {U'o', {"ō", "ó", "ǒ", "ò"}}, {U'u', {"ū", "ú", "ǔ", "ù"}}, {U'ü', {"ǖ", "ǘ", "ǚ", "ǜ"}},
    {U'A', {"Ā", "Á", "Ǎ", "À"}}, {U'E', {"Ē", "É", "Ě", "È"}}, {U'I', {"Ī", "Í", "Ǐ", "Ì"}},
    {U'O', {"Ō", "Ó", "Ǒ", "Ò"}}, {U'U', {"Ū", "Ú", "Ǔ", "Ù"}}, {U'Ü', {"Ǖ", "Ǘ", "Ǚ", "Ǜ"}},
};

bool isVowel(char32_t c) {
    for (const MarkedVowel& v : kVowels)
        if (v.plain == c) return true;
    return false;
}

char32_t lower(char32_t c) { return c == U'Ü' ? U'ü' : (c < 128 ? char32_t(std::tolower(int(c))) : c); }

std::string utf8(char32_t c) {
    if (c == U'ü') return "ü";
    if (c == U'Ü') return "Ü";
    return std::string(1, char(c));
}

std::string withMark(char32_t c, int tone) {
    for (const MarkedVowel& v : kVowels)
        if (v.plain == c) return v.marked[tone - 1];
    return utf8(c);
}

std::vector<std::string_view> syllables(std::string_view numbered) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < numbered.size()) {
        const size_t end = std::min(numbered.find(' ', at), numbered.size());
        if (end > at) out.push_back(numbered.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// Letters ending in a tone digit: CC-CEDICT writes every syllable so (the neutral tone as 5), and
// letters without one ("A" of "AA制") are Latin letters.
bool isSyllable(std::string_view token) {
    if (token.size() < 2 || !std::isalpha(static_cast<unsigned char>(token.front()))) return false;
    if (token.back() < '1' || token.back() > '5') return false;
    for (size_t i = 0; i < token.size(); ++i) {
        const unsigned char c = token[i];
        const bool last = i + 1 == token.size();
        if (!(std::isalpha(c) || c == ':' || (last && c >= '1' && c <= '5'))) return false;
    }
    return true;
}

}  // namespace

std::string markedSyllable(std::string_view syllable) {
    if (!isSyllable(syllable)) return std::string(syllable);
    int tone = 5;
    if (std::isdigit(static_cast<unsigned char>(syllable.back()))) {
        tone = syllable.back() - '0';
        syllable.remove_suffix(1);
    }
    // The letters, with "u:" and "v" read as ü.
    std::u32string letters;
    for (size_t i = 0; i < syllable.size(); ++i) {
        const char c = syllable[i];
        if (c == ':') continue;
        const bool umlaut = (c == 'u' || c == 'U') && i + 1 < syllable.size() && syllable[i + 1] == ':';
        if (umlaut) letters += c == 'u' ? U'ü' : U'Ü';
        else if (c == 'v' || c == 'V') letters += c == 'v' ? U'ü' : U'Ü';
        else letters += char32_t(c);
    }
    size_t markAt = std::u32string::npos;
    for (size_t i = 0; i < letters.size() && markAt == std::u32string::npos; ++i)
        if (lower(letters[i]) == U'a' || lower(letters[i]) == U'e') markAt = i;
    for (size_t i = 0; i + 1 < letters.size() && markAt == std::u32string::npos; ++i)
        if (lower(letters[i]) == U'o' && lower(letters[i + 1]) == U'u') markAt = i;
    for (size_t i = letters.size(); i-- > 0 && markAt == std::u32string::npos;)
        if (isVowel(letters[i])) markAt = i;

    std::string out;
    for (size_t i = 0; i < letters.size(); ++i)
        out += i == markAt && tone >= 1 && tone <= 4 ? withMark(letters[i], tone) : utf8(letters[i]);
    return out;
}

std::string markedPinyinSpaced(std::string_view numbered) {
    std::string out;
    for (std::string_view token : syllables(numbered)) {
        if (token == "," && !out.empty()) {
            out += ",";
            continue;
        }
        if (!out.empty()) out += ' ';
        out += markedSyllable(token);
    }
    return out;
}

std::string markedPinyinJoined(std::string_view numbered) {
    std::string out;
    bool afterSyllable = false;
    for (std::string_view token : syllables(numbered)) {
        if (!isSyllable(token)) {
            if (token != "," && !out.empty() && out.back() != ' ') out += ' ';
            out += std::string(token) + " ";
            afterSyllable = false;
            continue;
        }
        const unsigned char first = token.front();
        if (afterSyllable) {
            if (std::isupper(first)) out += ' ';
            else if (first == 'a' || first == 'o' || first == 'e') out += '\'';
        }
        out += markedSyllable(token);
        afterSyllable = true;
    }
    return util::trimSpaces(out);
}

}  // namespace aids
