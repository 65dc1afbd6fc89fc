// Pinyin as CC-CEDICT writes it ("zhong1 guo2", "lu:4") turned into pinyin with tone marks.
#pragma once

#include <string>
#include <string_view>

namespace aids {

// One syllable: a run of letters with a tone digit 1-5 ("hao3", "Lu:4", "ma5").
// The tone mark goes on "a" or "e", else on the "o" of "ou", else on the last vowel; "u:" and
// "v" become "ü". Anything that is not such a syllable (",", "·", the letter "A") comes back
// unchanged.
std::string markedSyllable(std::string_view syllable);

// A whole reading, syllables separated by spaces.
// Spaced: "huà shé tiān zú", as idioms are written.
std::string markedPinyinSpaced(std::string_view numbered);
// Joined as words are written: "Zhōngguó", "Xī'ān" (an apostrophe before a syllable that
// starts with a, o or e), a space before a capitalised syllable ("Lǐ Bái") and around
// punctuation, a comma followed by one space.
std::string markedPinyinJoined(std::string_view numbered);

}  // namespace aids
