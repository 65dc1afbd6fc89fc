#include "store/engine/names.h"

#include "store/engine/jet_like.h"

namespace engine {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string nameKey(std::string_view name) {
    bool ascii = true;
    for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    std::string out;
    out.reserve(name.size());
    if (ascii) {
        for (char c : name) out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        return out;
    }
    for (char32_t c : decodeUtf8(name)) appendUtf8(out, foldLatin(c));
    return out;
}

bool namesEqual(std::string_view a, std::string_view b) {
    // Folding keeps the byte length of every letter it changes, so names of different
    // lengths differ.
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (static_cast<unsigned char>(x) >= 0x80 || static_cast<unsigned char>(y) >= 0x80)
            return nameKey(a.substr(i)) == nameKey(b.substr(i));
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

}  // namespace engine
