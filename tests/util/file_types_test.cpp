#include "util/codepage.h"
#include "util/file_path.h"
#include "util/hooks.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

TEST(FileTypes, FamiliesTakeAnExtensionInAnyCase) {
    struct Case {
        std::string ext;
        bool media, html, text, picture, document, link;
    } cases[] = {
        {"txt", false, false, true, false, false, false},  {"TXT", false, false, true, false, false, false},
        {"a.txt", false, false, false, false, false, false}, {"frm", false, true, true, false, false, false},
        {"Mp3", true, false, false, false, false, false},  {"html", false, true, false, false, false, false},
        {"png", false, false, false, true, false, false},  {"pdf", false, false, false, false, true, false},
        {"lnk", false, false, false, false, false, true},  {"", false, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clsFilePath::isWMPLiked(c.ext), c.media) << c.ext;
        EXPECT_EQ(clsFilePath::isHtmLiked(c.ext), c.html) << c.ext;
        EXPECT_EQ(clsFilePath::isTxtLiked(c.ext), c.text) << c.ext;
        EXPECT_EQ(clsFilePath::isJpgLiked(c.ext), c.picture) << c.ext;
        EXPECT_EQ(clsFilePath::isDocLiked(c.ext), c.document) << c.ext;
        EXPECT_EQ(clsFilePath::isLinked(c.ext), c.link) << c.ext;
    }
    EXPECT_TRUE(clsFilePath::isURL("see HTTP://example.org"));
    EXPECT_FALSE(clsFilePath::isURL("https://example.org"));
}

TEST(Scrambling, DecodeReversesEncode) {
    for (std::string text : std::vector<std::string>{"A", "Hello, world!", "中文内容：第一章", "mixed 文字 123", std::string(300, 'z')}) {
        std::string encoded = clsFilePath::Encode(text);
        EXPECT_EQ(encoded.size(), util::utf8ToAnsi(text).size() * 8) << text;
        EXPECT_EQ(encoded.find_first_not_of("0123456789"), std::string::npos) << text;
        EXPECT_EQ(clsFilePath::Decode(encoded), text) << text;
    }
    EXPECT_EQ(clsFilePath::Encode(""), "");
}

TEST(Scrambling, ByteLayout) {
    // Byte 65 with salt 0 is "D" "I", with salt 3 "E" "L"; every salt decodes to the same byte.
    EXPECT_EQ(clsFilePath::Decode("00680073"), "A");
    EXPECT_EQ(clsFilePath::Decode("  00690076 "), "A");
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) seen.insert(clsFilePath::Encode("A"));
    EXPECT_EQ(seen.size(), 6u);  // one form per salt 0 ... 5
    EXPECT_TRUE(seen.count("00680073"));
    EXPECT_TRUE(seen.count("00690076"));
}

TEST(Scrambling, MalformedTextDecodesToNothing) {
    for (const char* bad : {"0068007", "0068x073", "00330073", "01280073"}) EXPECT_EQ(clsFilePath::Decode(bad), "") << bad;
}

struct NullableText {
    bool null;
    std::string text;
    bool isNull() const { return null; }
    int32_t toLong() const { return std::stoi(text); }
    std::string toText() const { return text; }
};

TEST(Conversions, NullValuesGiveEmptyResults) {
    EXPECT_EQ(clsFilePath::convTnum(NullableText{true, ""}), 0);
    EXPECT_EQ(clsFilePath::convTnum(NullableText{false, "42"}), 42);
    EXPECT_EQ(clsFilePath::convTnum(NullableText{false, "x"}), 0);
    EXPECT_EQ(clsFilePath::convTx(NullableText{true, ""}), "");
    EXPECT_EQ(clsFilePath::convTx(NullableText{false, "  title "}), "title");
}

TEST(Desktop, FilesAndTextsOpenThroughTheHook) {
    testing_support::TempDir dir;
    setenv("VYNE_HOME", dir.path().c_str(), 1);
    std::string openedFile, openedFolder;
    util::setOpenFileHook([&](const std::string& file, const std::string& folder) {
        openedFile = file;
        openedFolder = folder;
        return true;
    });
    clsFilePath fp;
    EXPECT_TRUE(fp.shellShowFile("/books/a.pdf"));
    EXPECT_EQ(openedFolder, "/books/");
    EXPECT_TRUE(fp.shellShowText("说明"));
    EXPECT_EQ(openedFile, dir.path() + "/tmp/tmp4301.txt");
    EXPECT_EQ(testing_support::readFile(openedFile), "\xCB\xB5\xC3\xF7");  // code page 936
    util::setOpenFileHook({});
    EXPECT_FALSE(fp.shellShowFile("/books/a.pdf"));
    unsetenv("VYNE_HOME");
}

}  // namespace
