// Small text helpers of the utility layer: trimming, replacing, splitting, characters.
#pragma once

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

// Lower-cases ASCII letters.
std::string asciiLower(std::string text);

// The characters (code points) of UTF-8 text, each as its UTF-8 bytes; a stray byte counts as one.
std::vector<std::string_view> utf8Characters(std::string_view text);

}  // namespace util
