#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/engine/jet/jet_text.h"

namespace {

TEST(JetText, DecodesPlainAndCompressedText) {
    struct Case {
        std::vector<uint8_t> stored;
        std::string text;
    };
    const Case cases[] = {
        {{}, ""},
        {{'h', 0, 'i', 0}, "hi"},
        {{0x0f, 0x5c, 0x41}, "小"},                                      // odd last byte dropped
        {{0xff, 0xfe, 'A', 'b', 'c'}, "Abc"},                            // compressed Latin
        {{0xff, 0xfe, 0xe9}, "é"},                                       // Latin-1 in one byte
        {{0xff, 0xfe, 'a', 0, 0x0f, 0x5c, 0, 'b'}, "a小b"},              // switched runs
        {{0x3d, 0xd8, 0x00, 0xde}, "\xF0\x9F\x98\x80"},                  // a surrogate pair
        {{0x3d, 0xd8, 'x', 0}, "\xEF\xBF\xBDx"},                         // a lone surrogate
        {{0xff, 0xfe, 0, 'a'}, ""},                                      // a dangling two-byte run
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine::jet::decodeJetText(c.stored.data(), c.stored.size()), c.text);
}

}  // namespace
