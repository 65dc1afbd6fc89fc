#include "store/engine/jet/jet_text.h"

#include <vector>

namespace engine::jet {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | c >> 6));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | c >> 12));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | c >> 18));
        out.push_back(char(0x80 | (c >> 12 & 0x3F)));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

std::vector<char16_t> codeUnits(const uint8_t* p, size_t n) {
    std::vector<char16_t> units;
    units.reserve(n);
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        bool compressed = true;
        for (size_t i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                units.push_back(p[i++]);
            } else if (i + 1 < n) {
                units.push_back(char16_t(p[i] | p[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
    } else {
        for (size_t i = 0; i + 1 < n; i += 2) units.push_back(char16_t(p[i] | p[i + 1] << 8));
    }
    return units;
}

}  // namespace

std::string decodeJetText(const uint8_t* data, size_t size) {
    std::vector<char16_t> units = codeUnits(data, size);
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace engine::jet
