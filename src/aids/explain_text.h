// Text rules of the word explanation: which characters make up a word, the word at a caret,
// how dictionary values are cleaned and how a long explanation is shortened for a balloon.
//
// Characters are classified by their code in code page 936: a single-byte character by its
// byte (0-255), a double-byte one by lead byte * 256 + trail byte. Word characters are ASCII
// letters, code 0 and double-byte characters above 0xA3AC (the full-width comma "，"), i.e. the
// full-width letters and digits and the Chinese characters; everything else separates words
// (control characters, spaces, digits, ASCII punctuation, full-width punctuation and symbols).
// A character code page 936 lacks counts as "?", a separator.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace aids {

// One character (its UTF-8 bytes) in code page 936.
struct AnsiCharacter {
    unsigned code = 0;        // byte value, or lead * 256 + trail
    bool doubleByte = false;
};
AnsiCharacter ansiCharacter(std::string_view utf8Character);
bool isWordCharacter(const AnsiCharacter& c);

// The word at the caret; `caret` counts the characters before it. The word is the one that
// holds the character just after the caret: that character alone when it is double-byte
// (punctuation too), otherwise the run of word characters around it. Empty when that
// character is a single-byte separator or the caret is at (or past) the end of the text.
std::string wordAtCaret(std::string_view text, size_t caret);

// A dictionary value made fit to show: leading characters of code 0-32 removed, trailing
// spaces and characters of code 0 and 1 removed, and every code-0 character dropped.
std::string cleanField(std::string_view value);
// The text without characters of code 0-31 (tabs and line ends included): one line.
std::string withoutControlCharacters(std::string_view text);

// The key an English word not found is tried under once more: without "ed", else "s", else
// "ing" (compared in lower case); nothing when it has none of these endings.
std::optional<std::string> englishRetryKey(const std::string& word);

// An explanation of more than this many characters is cut to them and " ......" wherever it
// is shown: a dictionary value of any size makes a tip of bounded size.
inline constexpr size_t kMaxShownCharacters = 2000;

// A balloon shows an explanation of 200 or more characters on 10 or more lines (line feeds
// + 1) as its first 150 characters and " ......"; anything else whole.
std::string balloonText(const std::string& explanation);

// What the tool tip shows for an explanation in the given mode: mode 1 the text itself (also
// when it is empty), other modes balloonText; both bounded by kMaxShownCharacters.
std::string shownText(const std::string& explanation, int mode);

}  // namespace aids
