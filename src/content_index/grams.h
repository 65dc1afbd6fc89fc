// The units the content index is made of: the characters of code page 936 text, walked from
// the start as the content search walks them (a byte 0x81..0xFE begins a two-byte character,
// any other byte is one), and the keys of single characters and of neighbouring pairs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cindex {

// A character's code: a one-byte character is its byte; a two-byte one is lead << 8 | trail
// (0x8100 and above). A lead byte that ends the bytes is a character of its own: its byte.
using CharCode = uint16_t;

inline bool beginsDoubleByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

// Calls visit(code) for each character of [data, data + size) in order.
template <typename Visit>
void forEachChar(const uint8_t* data, size_t size, Visit&& visit) {
    size_t at = 0;
    while (at < size) {
        const uint8_t b = data[at];
        if (beginsDoubleByte(b) && at + 1 < size) {
            visit(static_cast<CharCode>(b << 8 | data[at + 1]));
            at += 2;
        } else {
            visit(static_cast<CharCode>(b));
            at += 1;
        }
    }
}

// Index keys: a pair of neighbouring characters is first << 16 | second (below 0xFF000000,
// since no code reaches 0xFF00); a single character is kSingleKey | code.
using GramKey = uint32_t;
constexpr GramKey kSingleKey = 0xFFFF0000u;
inline GramKey pairKey(CharCode first, CharCode second) {
    return static_cast<GramKey>(first) << 16 | second;
}
inline GramKey singleKey(CharCode c) { return kSingleKey | c; }

// The keys every content that holds key at a character boundary must hold: its pairs, or
// its one character. A lead byte that ends the key may be the start of a longer character in
// the content, so it is left out. Empty when the key has no whole character.
std::vector<GramKey> keysOf(const std::vector<uint8_t>& key);

}  // namespace cindex
