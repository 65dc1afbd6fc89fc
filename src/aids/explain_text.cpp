#include "aids/explain_text.h"

#include "util/codepage.h"
#include "util/text.h"

#include <algorithm>

namespace aids {
namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Characters are a lead byte and up to three continuation bytes, as util::utf8Characters
// splits them; a stray continuation byte is a character of its own.
size_t nextCharacter(std::string_view text, size_t at) {
    size_t end = at + 1;
    while (end < text.size() && end - at < 4 && isContinuationByte(text[end])) ++end;
    return end;
}

size_t previousCharacter(std::string_view text, size_t at) {
    size_t start = at - 1;
    while (start > 0 && at - start < 4 && isContinuationByte(text[start])) --start;
    return start;
}

bool wordCharacterAt(std::string_view text, size_t at) {
    return isWordCharacter(ansiCharacter(text.substr(at, nextCharacter(text, at) - at)));
}

}  // namespace

AnsiCharacter ansiCharacter(std::string_view utf8Character) {
    if (utf8Character.size() == 1) return {static_cast<unsigned char>(utf8Character[0]), false};
    const util::Bytes ansi = util::utf8ToAnsi(utf8Character);
    if (ansi.size() == 2) return {ansi[0] * 256u + ansi[1], true};
    if (ansi.size() == 1) return {ansi[0], false};
    return {'?', false};
}

bool isWordCharacter(const AnsiCharacter& c) {
    if (c.doubleByte) return c.code > 0xA3AC;
    if (c.code == 0) return true;
    return (c.code >= 'A' && c.code <= 'Z') || (c.code >= 'a' && c.code <= 'z');
}

std::string wordAtCaret(std::string_view text, size_t caret) {
    size_t at = 0;
    for (size_t i = 0; i < caret && at < text.size(); ++i) at = nextCharacter(text, at);
    if (at >= text.size()) return {};

    const size_t afterCaret = nextCharacter(text, at);
    const AnsiCharacter c = ansiCharacter(text.substr(at, afterCaret - at));
    if (c.doubleByte) return std::string(text.substr(at, afterCaret - at));
    if (!isWordCharacter(c)) return {};

    size_t start = at;
    while (start > 0) {
        const size_t before = previousCharacter(text, start);
        if (!wordCharacterAt(text, before)) break;
        start = before;
    }
    size_t end = afterCaret;
    while (end < text.size() && wordCharacterAt(text, end)) end = nextCharacter(text, end);
    return std::string(text.substr(start, end - start));
}

std::string cleanField(std::string_view value) {
    const auto isLeading = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    const auto isTrailing = [](char c) { return c == ' ' || c == '\1' || c == '\0'; };
    while (!value.empty() && isLeading(value.front())) value.remove_prefix(1);
    while (!value.empty() && isTrailing(value.back())) value.remove_suffix(1);
    std::string cleaned(value);
    std::erase(cleaned, '\0');
    return cleaned;
}

std::string withoutControlCharacters(std::string_view text) {
    std::string kept(text);
    std::erase_if(kept, [](char c) { return static_cast<unsigned char>(c) < 32; });
    return kept;
}

std::optional<std::string> englishRetryKey(const std::string& word) {
    const std::string lower = util::asciiLower(word);
    for (const std::string_view ending : {"ed", "s", "ing"})
        if (lower.size() >= ending.size() && lower.compare(lower.size() - ending.size(), ending.size(), ending) == 0)
            return word.substr(0, word.size() - ending.size());
    return std::nullopt;
}

namespace {

// The first `limit` characters and " ......" for a text of more than `limit` characters.
std::string cutToCharacters(const std::string& text, size_t limit) {
    size_t characters = 0;
    for (size_t at = 0; at < text.size(); at = nextCharacter(text, at))
        if (++characters > limit) return text.substr(0, at) + " ......";
    return text;
}

}  // namespace

std::string shownText(const std::string& explanation, int mode) {
    const std::string bounded = cutToCharacters(explanation, kMaxShownCharacters);
    return mode == 1 ? bounded : balloonText(bounded);
}

std::string balloonText(const std::string& explanation) {
    size_t characters = 0;
    size_t cut = explanation.size();  // byte offset after the 150th character
    for (size_t at = 0; at < explanation.size(); at = nextCharacter(explanation, at))
        if (++characters == 151) cut = at;
    const size_t lines = std::ranges::count(explanation, '\n') + 1;
    if (characters < 200 || lines < 10) return explanation;
    return explanation.substr(0, cut) + " ......";
}

}  // namespace aids
