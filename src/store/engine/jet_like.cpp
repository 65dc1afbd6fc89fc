#include "store/engine/jet_like.h"

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

std::vector<char32_t> decodeUtf8(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
        if (b >= 0xF5) extra = 0;
        char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
        bool valid = b < 0x80 || (extra > 0 && i + extra < text.size());
        for (int k = 1; valid && k <= extra; ++k) {
            const auto cb = static_cast<unsigned char>(text[i + k]);
            if ((cb & 0xC0) != 0x80) valid = false;
            else c = (c << 6) | (cb & 0x3F);
        }
        if (valid && extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
        if (valid && extra == 3 && (c < 0x10000 || c > 0x10FFFF)) valid = false;
        if (valid) {
            out.push_back(c);
            i += extra + 1;
        } else {
            out.push_back(b);
            ++i;
        }
    }
    return out;
}

namespace {

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
    const std::vector<char32_t> s = decodeUtf8(text);
    // Greedy matching with one remembered star: linear in practice, never exponential.
    size_t si = 0, ti = 0;
    size_t starToken = SIZE_MAX, starText = 0;
    while (si < s.size()) {
        if (ti < tokens_.size() && tokens_[ti].kind == Token::AnyRun) {
            starToken = ti++;
            starText = si;
        } else if (ti < tokens_.size() && matchesAt(tokens_[ti], s[si])) {
            ++ti;
            ++si;
        } else if (starToken != SIZE_MAX) {
            ti = starToken + 1;
            si = ++starText;
        } else {
            return false;
        }
    }
    while (ti < tokens_.size() && tokens_[ti].kind == Token::AnyRun) ++ti;
    return ti == tokens_.size();
}

bool jetLike(std::string_view text, std::string_view pattern) { return LikePattern(pattern).matches(text); }

}  // namespace engine
