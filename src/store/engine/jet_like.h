// Jet's LIKE: `*` any run of characters, `?` one character, `#` one digit, `[...]` one
// character of a list or range, `[!...]` one character not in it. Latin letters compare
// without regard to case; text and pattern are UTF-8 and are matched by code point.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class LikePattern {
public:
    // Throws engine::Error(QuerySyntax) for a malformed pattern (an unclosed "[", a
    // reversed range such as "[z-a]").
    explicit LikePattern(std::string_view pattern);

    bool matches(std::string_view text) const;

private:
    struct Token {
        enum Kind { Literal, AnyChar, Digit, AnyRun, Set };
        explicit Token(Kind k, char32_t c = 0) : kind(k), ch(c) {}
        Kind kind;
        char32_t ch;                                // Literal: folded code point
        bool negated = false;                           // Set
        std::vector<std::pair<char32_t, char32_t>> ranges;  // Set: folded, inclusive
    };
    // A pattern that is one literal with or without a '*' at either end, made of ASCII and
    // of code points no fold or invalid byte can reach (U+0180 and up), is matched as a
    // byte search: such a literal meets only the same bytes (ASCII letters folded).
    enum class Shape { General, Exact, Prefix, Suffix, Contains };

    bool matchesAt(const Token& t, char32_t c) const;
    bool matchesGeneral(std::string_view text) const;
    bool containsNeedle(std::string_view text) const;
    void takeLiteralShape(std::string_view pattern);

    std::vector<Token> tokens_;
    Shape shape_ = Shape::General;
    std::string needle_;                 // ASCII letters lower-cased
    bool needleHasLetters_ = false;
    std::array<uint32_t, 256> skip_{};   // Horspool shifts by folded byte, when it has letters
};

// One-shot form of LikePattern(pattern).matches(text).
bool jetLike(std::string_view text, std::string_view pattern);

// Case folding used by LIKE and by text comparison: Latin letters (ASCII, Latin-1,
// Latin Extended-A) to lower case; every other code point is itself.
char32_t foldLatin(char32_t c);

// Decodes UTF-8; a byte that does not start a valid sequence stands for itself.
std::vector<char32_t> decodeUtf8(std::string_view text);

}  // namespace engine
