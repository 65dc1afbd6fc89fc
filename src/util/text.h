// Small text helpers of the utility layer: trimming, replacing, splitting, characters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace util {

// Spaces (U+0020) removed from both ends.
std::string trimSpaces(std::string_view text);

// Every occurrence of `from` (non-empty) replaced by `to`, scanning left to right.
void replaceAll(std::string& text, std::string_view from, std::string_view to);

// The pieces between the delimiters (non-empty delimiter); n delimiters give n + 1 pieces.
std::vector<std::string> splitAll(std::string_view text, std::string_view delimiter);

// A number as a conversion of text to a number reads it: spaces around it, a sign, a
// fraction, an exponent; nothing for any other text.
std::optional<double> readNumber(std::string_view text);
// The same rounded half to even to a 32-bit integer; nothing when out of range.
std::optional<int32_t> readLong(std::string_view text);

// A single-precision number in its shortest plain form ("1.5", "7"), whatever the locale.
std::string singleText(float value);

// Lower-cases ASCII letters.
std::string asciiLower(std::string text);

// The characters (code points) of UTF-8 text, each as its UTF-8 bytes; a stray byte counts as one.
std::vector<std::string_view> utf8Characters(std::string_view text);

}  // namespace util
