// The stored form of document content, byte for byte, and reading damaged rows quietly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "recorders.h"
#include "util/codepage.h"
#include "util/crc32.h"

namespace {

using store::ctreebook;
using store_test::bytesOf;
using store_test::TestLibrary;
using engine::Bytes;

Bytes randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(gen());
    return b;
}

Bytes textBytes(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>('a' + i % 7);
    return b;
}

struct StorageCase {
    const char* name;
    Bytes content;
    bool zed;
};

class Storage : public ::testing::TestWithParam<StorageCase> {};

TEST_P(Storage, ScramblesChecksumsAndCompressesFrom256Bytes) {
    const StorageCase& c = GetParam();
    TestLibrary lib;
    lib.addRow(2, 1, "doc", false, "bin", c.content);
    const int32_t n = static_cast<int32_t>(c.content.size());
    const uint8_t key = static_cast<uint8_t>(n % 199 + 24);
    Bytes scrambled = c.content;
    for (int32_t i = 1; i <= std::min(n - 1, 20); ++i) scrambled[static_cast<size_t>(i)] ^= key;

    EXPECT_EQ(lib.book.zedByID(2), c.zed);
    EXPECT_EQ(lib.book.sizeByidNR(2), n);
    EXPECT_EQ(lib.book.crcByid(2), Modcrc32::getCRC32(scrambled));
    Bytes stored = lib.stored(2);
    if (c.zed) {
        Bytes inflated = stored;
        ZlibCompressor z;
        ASSERT_EQ(z.DecompressData(inflated, n), 0);
        EXPECT_EQ(inflated, scrambled);
    } else {
        EXPECT_EQ(stored, scrambled);
    }
    Bytes back;
    EXPECT_EQ(lib.book.getNR(2, back), n);
    EXPECT_EQ(back, c.content);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Storage,
    ::testing::Values(StorageCase{"FiveBytes", bytesOf("abcde"), false},
                      StorageCase{"Bytes255", textBytes(255), false},
                      StorageCase{"Bytes256", textBytes(256), true},
                      StorageCase{"Incompressible300", randomBytes(300, 12), true},
                      StorageCase{"OneByte", bytesOf("q"), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Storage, FiveBytesAreXoredWith29FromPositionOne) {
    Bytes b = bytesOf("abcde");
    ctreebook::encodeNr(b, 5);
    EXPECT_EQ(b, (Bytes{'a', 'b' ^ 29, 'c' ^ 29, 'd' ^ 29, 'e' ^ 29}));
    ctreebook::decodeNr(b, 5);
    EXPECT_EQ(b, bytesOf("abcde"));
    Bytes empty;
    ctreebook::encodeNr(empty, 0);
    EXPECT_TRUE(empty.empty());
}

TEST(Storage, Incompressible300BytesAreStoredAsALongerStream) {
    TestLibrary lib;
    lib.addRow(2, 1, "doc", false, "bin", randomBytes(300, 12));
    EXPECT_GT(lib.stored(2).size(), 300u);
}

TEST(Storage, WhatIsWrittenReadsBackForEveryLengthUpTo1000) {
    TestLibrary lib;
    lib.addRow(2, 1, "doc", false, "bin", bytesOf("seed"));
    lib.book.myDB()->beginTrans();
    for (size_t n = 1; n <= 1000; ++n) {
        const Bytes content = n % 2 ? randomBytes(n, static_cast<unsigned>(n)) : textBytes(n);
        Bytes written = content;
        ASSERT_TRUE(lib.book.putNR(2, written)) << n;
        Bytes back;
        ASSERT_EQ(lib.book.getNR(2, back), static_cast<int32_t>(n));
        ASSERT_EQ(back, content) << n;
    }
    lib.book.myDB()->commitTrans();
}

TEST(Storage, CompressionFlagAppliesToRewrites) {
    TestLibrary lib;
    lib.addRow(2, 1, "doc", false, "txt", bytesOf("seed"));
    lib.book.setZed(false);
    Bytes content = textBytes(5000);
    ASSERT_TRUE(lib.book.putNR(2, content));
    EXPECT_FALSE(lib.book.zedByID(2));
    EXPECT_EQ(lib.stored(2).size(), 5000u);
    Bytes back;
    EXPECT_EQ(lib.book.getNR(2, back), 5000);
    EXPECT_EQ(back, textBytes(5000));
}

TEST(Storage, WritesNeedAnExistingRowAndAtLeastOneByte) {
    TestLibrary lib;
    Bytes b = bytesOf("abc");
    EXPECT_FALSE(lib.book.updateTxtNR(2, b, 3));  // no content row
    lib.addRow(2, 1, "doc", false, "txt", bytesOf("old"));
    Bytes none;
    EXPECT_FALSE(lib.book.putNR(2, none));
    EXPECT_FALSE(lib.book.updateTxtNR(2, b, 4));  // more than the array holds
    lib.book.closeDB();
    EXPECT_FALSE(lib.book.updateTxtNR(2, b, 3));
}

struct DamageCase {
    const char* name;
    engine::Value zed;
    engine::Value size;
    std::optional<Bytes> stored;  // nullopt: Null
};

class Damaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(Damaged, RowsReadAsNothingWithoutCrashOrLargeAllocation) {
    const DamageCase& c = GetParam();
    TestLibrary lib;
    lib.addRow(2, 1, "doc", false, "txt", bytesOf("placeholder"));
    lib.setStored(2, c.zed, c.size, c.stored ? &*c.stored : nullptr);
    Bytes bytes = bytesOf("untouched");
    EXPECT_EQ(lib.book.getNR(2, bytes), 0);
    EXPECT_EQ(bytes, bytesOf("untouched"));
    EXPECT_EQ(lib.book.getTextNR(2), "");
    std::string gs;
    bool readed = true;
    engine::Date dt;
    int32_t pid = 0, crc = 0;
    EXPECT_EQ(lib.book.getNRfull(2, bytes, gs, readed, dt, pid, crc), 0);
    EXPECT_EQ(pid, 1);
}

Bytes zlibOf(const Bytes& b) {
    Bytes z = b;
    ZlibCompressor c;
    c.CompressData(z);
    return z;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Damaged,
    ::testing::Values(
        DamageCase{"StreamDoesNotInflate", engine::Value(true), engine::Value(int32_t{400}), randomBytes(300, 3)},
        DamageCase{"NegativeSize", engine::Value(false), engine::Value(int32_t{-5}), bytesOf("abc")},
        DamageCase{"HugeClaimedSize", engine::Value(true), engine::Value(int32_t{2000000000}), zlibOf(textBytes(1000))},
        DamageCase{"SizeBeyondPlainBytes", engine::Value(false), engine::Value(int32_t{100}), bytesOf("short")},
        DamageCase{"InflatesToOtherSize", engine::Value(true), engine::Value(int32_t{900}), zlibOf(textBytes(1000))},
        DamageCase{"NullContent", engine::Value(false), engine::Value(int32_t{5}), std::nullopt},
        DamageCase{"NullSize", engine::Value(false), engine::Value(), bytesOf("abc")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Content, NullFormatAndMissingRows) {
    TestLibrary lib;
    lib.addDoc(2, 1, "doc", "text");
    engine::Recordset& nr = *lib.book.nrRS();
    nr.seek("=", engine::Value(int32_t{2}));
    nr.edit();
    nr.setField("gs", engine::Value());
    nr.update();
    EXPECT_EQ(lib.book.gsByid(2), "");
    EXPECT_EQ(lib.book.getTextNR(2), "");
    Bytes b;
    EXPECT_EQ(lib.book.getNR(2, b), 4);  // the content itself is still readable

    lib.addClass(3, 1, "class");
    std::string gs = "kept";
    bool readed = true;
    engine::Date dt;
    int32_t pid = 0, crc = 0;
    EXPECT_EQ(lib.book.getNRfull(3, b, gs, readed, dt, pid, crc), -1);
    EXPECT_EQ(pid, 1);  // the main row is read even without content
    EXPECT_FALSE(readed);
    EXPECT_EQ(gs, "kept");
    EXPECT_EQ(lib.book.getNR(3, b), 0);
}

TEST(Content, FullReadAndTextForms) {
    TestLibrary lib;
    const Bytes gbk = util::utf8ToAnsi("中文的书");
    lib.addRow(2, 1, "doc", false, "TXT", gbk, true);
    lib.addRow(3, 1, "page", false, "htm", bytesOf("<html><body>x</body></html>"));
    Bytes b;
    std::string gs;
    bool readed = false;
    engine::Date dt;
    int32_t pid = 0, crc = 0;
    EXPECT_EQ(lib.book.getNRfull(2, b, gs, readed, dt, pid, crc), static_cast<int32_t>(gbk.size()));
    EXPECT_EQ(b, gbk);
    EXPECT_EQ(gs, "txt");
    EXPECT_TRUE(readed);
    EXPECT_EQ(pid, 1);
    EXPECT_EQ(crc, lib.book.crcByid(2));
    EXPECT_EQ(lib.book.getTextNR(2), "中文的书");
    EXPECT_EQ(lib.book.getTextNR(3), "");
    EXPECT_EQ(lib.book.getHtmNR(2), "");
}

TEST(Content, StringAndStreamForms) {
    ctreebook book;
    Bytes z;
    int32_t crc = 7;
    EXPECT_EQ(book.zipStr2bin("", z, crc), 0);
    EXPECT_EQ(z.size(), 1u);
    EXPECT_EQ(crc, 0);
    const std::string text = "书" + std::string(400, 'a');
    const int32_t n = book.zipStr2bin(text, z, crc);
    EXPECT_EQ(n, static_cast<int32_t>(util::utf8ToAnsi(text).size()));
    EXPECT_EQ(crc, Modcrc32::getCRC32(util::utf8ToAnsi(text)));
    EXPECT_EQ(book.unZip2Text(z, n), text);
    EXPECT_EQ(book.unZip2Text(bytesOf("not a stream"), 10), "");

    Bytes small = textBytes(255);
    EXPECT_FALSE(book.zipBin2bin(small));
    EXPECT_EQ(small, textBytes(255));
    Bytes big = textBytes(256);
    EXPECT_TRUE(book.zipBin2bin(big));
    EXPECT_EQ(book.unZip2bin(big, 256), 256);
    EXPECT_EQ(big, textBytes(256));
    Bytes junk = bytesOf("junk!");
    EXPECT_EQ(book.unZip2bin(junk, 50), 0);
    EXPECT_EQ(junk, bytesOf("junk!"));
}

TEST(TextRepair, ConvertsUtf8AndUtf16ContentToTheCodePage) {
    TestLibrary lib;
    const std::string text = "中文的书，第一章。Chapter one of a book in a library.";
    lib.addDoc(2, 1, "utf8", text);
    Bytes utf16{0xFF, 0xFE};
    for (unsigned char c : std::string("Plain letters in a UTF-16 file")) {
        utf16.push_back(c);
        utf16.push_back(0);
    }
    lib.addRow(3, 1, "utf16", false, "txt", utf16);
    const Bytes gbk = util::utf8ToAnsi(text);
    lib.addRow(4, 1, "gbk", false, "txt", gbk);

    EXPECT_TRUE(lib.book.uncode2ansi(2));
    EXPECT_EQ(lib.book.getTextNR(2), text);
    Bytes b;
    EXPECT_EQ(lib.book.getNR(2, b), static_cast<int32_t>(gbk.size()));
    EXPECT_TRUE(lib.book.uncode2ansi(3));
    EXPECT_EQ(lib.book.getTextNR(3), "Plain letters in a UTF-16 file");
    EXPECT_FALSE(lib.book.uncode2ansi(4));
    EXPECT_EQ(lib.book.getTextNR(4), text);
    EXPECT_FALSE(lib.book.uncode2ansi(99));
}

}  // namespace

namespace {

TEST(TextRepair, HtmlBecomesPlainText) {
    TestLibrary lib;
    setenv("VYNE_HOME", lib.dir.path().c_str(), 1);
    lib.addRow(2, 1, "page", false, "HTML",
               bytesOf("<html><body><p>Hello <b>world</b></p><script>hidden()</script></body></html>"));
    lib.addDoc(3, 1, "text", "<p>not html</p>");
    EXPECT_NE(lib.book.getHtmNR(2).find("Hello world"), std::string::npos);
    EXPECT_EQ(lib.book.getHtmNR(2).find("hidden"), std::string::npos);
    EXPECT_EQ(lib.book.getHtmNR(3), "");
    EXPECT_TRUE(lib.book.HtmToTxt(2));
    EXPECT_EQ(lib.book.gsByid(2), "txt");
    EXPECT_NE(lib.book.getTextNR(2).find("Hello world"), std::string::npos);
    EXPECT_FALSE(lib.book.HtmToTxt(3));
    unsetenv("VYNE_HOME");
}

}  // namespace
