#include "util/codepage.h"
#include "util/file_path.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes repeat(const Bytes& unit, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) out = out + unit;
    return out;
}
std::string asString(const Bytes& b) { return std::string(b.begin(), b.end()); }

TEST(CharsetDetection, Utf8SamplingRule) {
    const Bytes gbk = util::utf8ToAnsi("中文内容，这是一个测试");
    const Bytes utf8 = bytesOf("中文内容，这是一个测试");
    struct Case {
        const char* what;
        Bytes bytes;
        bool isUtf8;
    } cases[] = {
        {"pure ASCII", bytesOf(std::string(2000, 'a')), true},
        {"UTF-8 Chinese", utf8 + utf8 + utf8, true},
        {"code page 936 Chinese", gbk + gbk + gbk, false},
        // The first high byte lies beyond the sample's middle: reported without checking.
        {"600 ASCII bytes, then code page 936", bytesOf(std::string(600, 'a')) + repeat(gbk, 40), true},
        {"short ASCII lead, then code page 936", bytesOf(std::string(100, 'a')) + repeat(gbk, 40), false},
        // Lead bytes E0..EF in more than 90 % of the steps before another high byte.
        {"code page 936 with E0..EF leads", repeat({0xE0, 0xA1, 0x20}, 30) + Bytes{0xD6, 0xD0} + bytesOf(std::string(1000, 'x')), true},
        {"no bytes", {}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(clsFilePath::binIsUTF8(c.bytes), c.isUtf8) << c.what;
}

TEST(CharsetDetection, ByteOrderMarksInTheHead) {
    const Bytes filler = bytesOf(std::string(20, 'a'));
    struct Case {
        const char* what;
        Bytes bytes;
        bool utf8Mark, utf16Mark;
    } cases[] = {
        {"UTF-8 mark first", Bytes{0xEF, 0xBB, 0xBF} + filler, true, false},
        {"UTF-16 mark first", Bytes{0xFF, 0xFE} + filler, false, true},
        {"marks in a short file are not seen", Bytes{0xEF, 0xBB, 0xBF, 'a', 'b'}, false, false},
        {"marks after the head", bytesOf(std::string(900, 'a')) + Bytes{0xEF, 0xBB, 0xBF, 0xFF, 0xFE} + filler, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clsFilePath::binIsUTF8_3(c.bytes), c.utf8Mark) << c.what;
        EXPECT_EQ(clsFilePath::binIsUnicode(c.bytes), c.utf16Mark) << c.what;
    }
}

TEST(CharsetConversion, ToCodePageBytes) {
    Bytes ascii = bytesOf("plain text");
    EXPECT_EQ(clsFilePath::UTF82ANSI(ascii), 10);
    EXPECT_EQ(ascii, bytesOf("plain text"));

    Bytes utf8 = bytesOf(std::string("中文\0tail", 10));
    EXPECT_EQ(clsFilePath::UTF82ANSI(utf8), 4);  // stops at the zero byte
    EXPECT_EQ(utf8, (Bytes{0xD6, 0xD0, 0xCE, 0xC4}));

    Bytes utf16 = {0xFF, 0xFE, 0x2D, 0x4E, 'a', 0};
    EXPECT_EQ(clsFilePath::unicode2ANSI(utf16), 3);
    EXPECT_EQ(utf16, (Bytes{0xD6, 0xD0, 'a'}));

    Bytes noMark = {'x', 0, 'a', 0};  // the first character goes whatever it is
    clsFilePath::unicode2ANSI(noMark);
    EXPECT_EQ(noMark, bytesOf("a"));
}

TEST(TextFiles, LoadingDetectsTheCharacterSet) {
    TempDir dir;
    const std::string text = "中文内容abc";
    const Bytes utf16 = {0xFF, 0xFE, 0x2D, 0x4E, 0x87, 0x65, 0x85, 0x51, 0xB9, 0x5B, 'a', 0, 'b', 0, 'c', 0};
    writeFile(dir.file("ansi.txt"), asString(util::utf8ToAnsi(text)));
    writeFile(dir.file("utf8.txt"), text);
    writeFile(dir.file("utf16.txt"), asString(utf16));
    clsFilePath fp;
    for (const char* name : {"ansi.txt", "utf8.txt", "utf16.txt"}) EXPECT_EQ(fp.loadTxtFileWithConv(dir.file(name)), text) << name;
    EXPECT_EQ(fp.loadTxtFileWithConv(dir.file("missing.txt")), "");
    EXPECT_EQ(fp.loadTxtFile(dir.file("ansi.txt")), text);
}

TEST(TextFiles, BinaryFilesAreReadAndWrittenWhole) {
    TempDir dir;
    clsFilePath fp;
    const std::string file = dir.file("data.bin");
    writeFile(file, "keep");
    EXPECT_EQ(fp.saveBinFile(file, {}), 0);
    EXPECT_EQ(readFile(file), "keep");  // no bytes: the old file stays

    EXPECT_EQ(fp.saveBinFile(file, {1, 2, 3, 4, 5}), 1);
    Bytes back{9};
    EXPECT_EQ(fp.loadBinFile(file, back), 5);
    EXPECT_EQ(back, (Bytes{1, 2, 3, 4, 5}));

    std::vector<int32_t> values;
    fp.loadBinFileLong(file, values);
    EXPECT_EQ(values, (std::vector<int32_t>{0x04030201, 5}));

    writeFile(dir.file("empty"), "");
    EXPECT_EQ(fp.loadBinFile(dir.file("empty"), back), 0);
    EXPECT_EQ(back.size(), 5u);  // untouched
}

TEST(TextFiles, LineFilesUseCodePageAndCrLf) {
    TempDir dir;
    clsFilePath fp;
    const std::string file = dir.file("list.txt");
    fp.saveTxtListFile(file, {"第一", "two"});
    EXPECT_EQ(readFile(file), asString(util::utf8ToAnsi("第一\r\ntwo\r\n")));
    fp.appendToTxtFile(file, "三");
    EXPECT_EQ(fp.getFromTxtFile(file), "第一\r\ntwo\r\n三\r\n");

    writeFile(file, "  a  \r\n\r\n   \nb\rc");
    std::vector<std::string> lines;
    EXPECT_EQ(fp.loadTxtListFile(file, lines), 3);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c"}));

    writeFile(file, asString(util::utf8ToAnsi("x\r\n　　　\r\n \r\n y\r\n")));
    EXPECT_EQ(fp.delAllSpaceLines(file), "x\r\n y\r\n");
    EXPECT_EQ(fp.getFromTxtFile(file), "x\r\n　　　\r\n \r\n y\r\n");  // unchanged

    fp.saveTxtFile(file, "无终止");
    EXPECT_EQ(readFile(file), asString(util::utf8ToAnsi("无终止")));
}

TEST(TextWidth, CountsAndCutsCodePageBytes) {
    EXPECT_EQ(clsFilePath::ddStrlen("中文a"), 5);
    struct Case {
        std::string text;
        int n;
        std::string left, right;
    } cases[] = {
        {"中文a", 4, "中文", "?文a"},
        {"中文a", 3, "中?", "文a"},
        {"a中文", 3, "a中", "?文"},
        {"abc", 0, "", ""},
        {"abc", 10, "abc", "abc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clsFilePath::ddStrLeft(c.text, c.n), c.left) << c.text << c.n;
        EXPECT_EQ(clsFilePath::ddStrRight(c.text, c.n), c.right) << c.text << c.n;
    }
}

TEST(TextWidth, NullLines) {
    struct Case {
        std::string line;
        bool isNull;
    } cases[] = {{"", true}, {"　　　", true}, {std::string(" \0 ", 3), true}, {" a ", false}, {"\t", false}};
    for (const auto& c : cases) EXPECT_EQ(clsFilePath::isNullLine(c.line), c.isNull) << c.line;
}

TEST(SizeTexts, RoundUpToWholeUnits) {
    EXPECT_EQ(clsFilePath::lenKstr(1025, false), "2K");
    EXPECT_EQ(clsFilePath::lenKstr(1024, false), "1K");
    EXPECT_EQ(clsFilePath::lenKstr(0, true), "0");
    EXPECT_EQ(clsFilePath::lenKstrDbl(1.0, false), "1K");
    EXPECT_EQ(clsFilePath::lenMstr(1048576.0, false), "1M");
    EXPECT_EQ(clsFilePath::lenMstr(1048577.0, true), "2");
}

TEST(HtmlText, BodyTextWithoutScriptsAndStyles) {
    TempDir dir;
    clsFilePath fp;
    const std::string page =
        "<html><head><title>T</title><style>p{color:red}</style></head><body>"
        "<script>var x = 1;</script><h1>标题</h1><p>First   line<br>second &amp; more</p>"
        "<div>end</div></body></html>";
    writeFile(dir.file("utf8.htm"), page);
    writeFile(dir.file("ansi.htm"), asString(util::utf8ToAnsi(page)));
    for (const char* name : {"utf8.htm", "ansi.htm"})
        EXPECT_EQ(fp.loadHtmToTxt(dir.file(name)), "标题\r\nFirst line\r\nsecond & more\r\nend") << name;
    EXPECT_EQ(fp.loadHtmToTxt(dir.file("missing.htm")), "");
}

TEST(HtmlText, DeeplyNestedMarkupKeepsItsText) {
    TempDir dir;
    clsFilePath fp;
    std::string page;
    for (int i = 0; i < 20000; ++i) page += "<div><b>";
    page += "deep";
    writeFile(dir.file("deep.htm"), page);
    EXPECT_NE(fp.loadHtmToTxt(dir.file("deep.htm")).find("deep"), std::string::npos);
}

}  // namespace
