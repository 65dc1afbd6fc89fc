#include "store/engine/jet_like.h"

#include <string.h>

#include "store/engine/database.h"

namespace engine {

char32_t foldLatin(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;  // Latin-1 capitals, not the multiplication sign
    if (c >= 0x100 && c <= 0x137 && c % 2 == 0) return c + 1;  // Latin Extended-A: capital, small pairs
    if (c >= 0x139 && c <= 0x148 && c % 2 == 1) return c + 1;
    if (c >= 0x14A && c <= 0x177 && c % 2 == 0) return c + 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E && c % 2 == 1) return c + 1;
    return c;
}

namespace {

// Decodes the code point at byte `at` into `out` and returns its length in bytes; a byte
// that does not start a valid sequence stands for itself.
inline size_t decodeAt(std::string_view text, size_t at, char32_t& out) {
    const auto b = static_cast<unsigned char>(text[at]);
    if (b < 0x80) {
        out = b;
        return 1;
    }
    const int extra = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
    char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : b & 0x1F;
    bool valid = extra > 0 && at + extra < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
        const auto cb = static_cast<unsigned char>(text[at + k]);
        if ((cb & 0xC0) != 0x80) valid = false;
        else c = (c << 6) | (cb & 0x3F);
    }
    if (valid && extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
    if (valid && extra == 3 && (c < 0x10000 || c > 0x10FFFF)) valid = false;
    out = valid ? c : b;
    return valid ? static_cast<size_t>(extra) + 1 : 1;
}

inline unsigned char foldAscii(unsigned char b) { return b >= 'A' && b <= 'Z' ? b + 32 : b; }

bool foldedEqual(std::string_view text, std::string_view folded) {
    for (size_t i = 0; i < folded.size(); ++i)
        if (foldAscii(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(folded[i])) return false;
    return true;
}

}  // namespace

std::vector<char32_t> decodeUtf8(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c;
        i += decodeAt(text, i, c);
        out.push_back(c);
    }
    return out;
}

namespace {

// A code point a Latin fold can produce from another one, or that an invalid byte of the
// text can stand for, cannot be matched byte for byte.
bool byteSearchable(char32_t c) { return c < 0x80 || c >= 0x180; }

[[noreturn]] void badPattern(std::string_view pattern, const char* why) {
    throw Error(ErrorCode::QuerySyntax, std::string("Invalid pattern string (") + why + "): " + std::string(pattern));
}

}  // namespace

LikePattern::LikePattern(std::string_view pattern) {
    const std::vector<char32_t> p = decodeUtf8(pattern);
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (c == U'*') {
            if (tokens_.empty() || tokens_.back().kind != Token::AnyRun) tokens_.emplace_back(Token::AnyRun);
        } else if (c == U'?') {
            tokens_.emplace_back(Token::AnyChar);
        } else if (c == U'#') {
            tokens_.emplace_back(Token::Digit);
        } else if (c == U'[') {
            size_t j = i + 1;
            Token set(Token::Set);
            if (j < p.size() && p[j] == U'!') {
                set.negated = true;
                ++j;
            }
            const size_t first = j;
            while (j < p.size() && p[j] != U']') {
                char32_t lo = p[j], hi = p[j];
                // A '-' between two characters makes a range; at either end it is itself.
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    hi = p[j + 2];
                    j += 2;
                }
                lo = foldLatin(lo);
                hi = foldLatin(hi);
                if (lo > hi) badPattern(pattern, "reversed range");
                set.ranges.emplace_back(lo, hi);
                ++j;
            }
            if (j >= p.size()) badPattern(pattern, "unclosed bracket");
            // "[]" stands for the empty text: it matches nothing and consumes nothing.
            if (j > first || set.negated) tokens_.push_back(std::move(set));
            i = j;
        } else {
            tokens_.emplace_back(Token::Literal, foldLatin(c));
        }
    }
    takeLiteralShape(pattern);
}

void LikePattern::takeLiteralShape(std::string_view pattern) {
    size_t begin = 0, end = pattern.size();
    while (begin < end && pattern[begin] == '*') ++begin;
    while (end > begin && pattern[end - 1] == '*') --end;
    const std::string_view literal = pattern.substr(begin, end - begin);
    if (literal.find_first_of("*?#[") != std::string_view::npos) return;
    for (size_t i = 0; i < literal.size();) {
        char32_t c;
        i += decodeAt(literal, i, c);
        if (!byteSearchable(c)) return;
    }
    needle_.reserve(literal.size());
    for (char c : literal) needle_ += static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
    needleHasLetters_ = needle_.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos;
    const bool starFirst = begin > 0, starLast = end < pattern.size();
    shape_ = starFirst && starLast ? Shape::Contains
             : starFirst           ? Shape::Suffix
             : starLast            ? Shape::Prefix
                                   : Shape::Exact;
    if (needleHasLetters_) {
        const size_t m = needle_.size();
        skip_.fill(static_cast<uint32_t>(m));
        for (size_t i = 0; i + 1 < m; ++i) skip_[static_cast<unsigned char>(needle_[i])] = static_cast<uint32_t>(m - 1 - i);
    }
}

bool LikePattern::matchesAt(const Token& t, char32_t c) const {
    switch (t.kind) {
    case Token::Literal: return foldLatin(c) == t.ch;
    case Token::AnyChar: return true;
    case Token::Digit: return c >= U'0' && c <= U'9';
    case Token::Set: {
        const char32_t f = foldLatin(c);
        bool in = false;
        for (const auto& [lo, hi] : t.ranges)
            if (f >= lo && f <= hi) {
                in = true;
                break;
            }
        return in != t.negated;
    }
    case Token::AnyRun: break;
    }
    return false;
}

bool LikePattern::matches(std::string_view text) const {
    const size_t m = needle_.size();
    switch (shape_) {
    case Shape::Exact: return text.size() == m && foldedEqual(text, needle_);
    case Shape::Prefix: return text.size() >= m && foldedEqual(text, needle_);
    case Shape::Suffix: return text.size() >= m && foldedEqual(text.substr(text.size() - m), needle_);
    case Shape::Contains: return containsNeedle(text);
    case Shape::General: break;
    }
    return matchesGeneral(text);
}

bool LikePattern::containsNeedle(std::string_view text) const {
    const size_t m = needle_.size(), n = text.size();
    if (m == 0) return true;
    if (n < m) return false;
    if (!needleHasLetters_) return memmem(text.data(), n, needle_.data(), m) != nullptr;
    // Horspool over ASCII-folded bytes.
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const auto* p = reinterpret_cast<const unsigned char*>(needle_.data());
    for (size_t at = 0; at + m <= n; at += skip_[foldAscii(s[at + m - 1])]) {
        size_t k = m - 1;
        while (foldAscii(s[at + k]) == p[k]) {
            if (k == 0) return true;
            --k;
        }
    }
    return false;
}

bool LikePattern::matchesGeneral(std::string_view text) const {
    // Greedy matching with one remembered star, walking the UTF-8 text in place: linear in
    // practice, never exponential.
    size_t si = 0, ti = 0;
    size_t starToken = SIZE_MAX, starText = 0;
    while (si < text.size()) {
        if (ti < tokens_.size() && tokens_[ti].kind == Token::AnyRun) {
            starToken = ti++;
            starText = si;
            continue;
        }
        char32_t c;
        const size_t len = decodeAt(text, si, c);
        if (ti < tokens_.size() && matchesAt(tokens_[ti], c)) {
            ++ti;
            si += len;
        } else if (starToken != SIZE_MAX) {
            ti = starToken + 1;
            starText += decodeAt(text, starText, c);
            si = starText;
        } else {
            return false;
        }
    }
    while (ti < tokens_.size() && tokens_[ti].kind == Token::AnyRun) ++ti;
    return ti == tokens_.size();
}

bool jetLike(std::string_view text, std::string_view pattern) { return LikePattern(pattern).matches(text); }

}  // namespace engine
