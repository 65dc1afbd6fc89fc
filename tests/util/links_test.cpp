#include "util/file_path.h"
#include "util/shell_link.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<uint8_t>;
using testing_support::TempDir;

TEST(Links, LinkTextSplitsAtTheFirstNul) {
    clsFilePath fp;
    std::string folder = "stale";
    EXPECT_EQ(fp.getLinkPath("c:\\a.exe", folder), "c:\\a.exe");
    EXPECT_EQ(folder, "");
    EXPECT_EQ(fp.getLinkPath(std::string("c:\\a.exe\0c:\\work\0x", 18), folder), "c:\\a.exe");
    EXPECT_EQ(folder, std::string("c:\\work\0x", 9));
}

TEST(Links, ShortcutsRoundTrip) {
    TempDir dir;
    clsFilePath fp;
    struct Case {
        std::string file, kind, text, readBack;
    } cases[] = {
        {"web.url", "url", "http://example.org/书", "http://example.org/书"},
        {"doc.lnk", "lnk", std::string("/home/u/书籍/a.txt\0/home/u/书籍", 36), std::string("/home/u/书籍/a.txt\0/home/u/书籍", 36)},
        {"bare.lnk", "lnk", "C:\\Books\\b.mdb", std::string("C:\\Books\\b.mdb\0", 15)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(fp.createPathLink(dir.file(c.file), c.kind, c.text)) << c.file;
        EXPECT_EQ(fp.getPathLink(dir.file(c.file)), c.readBack) << c.file;
    }
    testing_support::writeFile(dir.file("other.txt"), "x");
    EXPECT_EQ(fp.getPathLink(dir.file("other.txt")), "");
    EXPECT_EQ(fp.getPathLink(dir.file("missing.lnk")), "");
}

TEST(Links, InternetShortcutWrittenElsewhere) {
    TempDir dir;
    testing_support::writeFile(dir.file("a.url"),
                               "[DEFAULT]\r\nBASEURL=http://wrong/\r\n[InternetShortcut]\r\nIconIndex=0\r\nurl=http://right/\r\n");
    EXPECT_EQ(clsFilePath().getPathLink(dir.file("a.url")), "http://right/");
}

// A link as Windows writes one: an item-id list, a LinkInfo without Unicode paths, and
// code-page strings for the relative path and the working folder.
Bytes windowsStyleLink() {
    Bytes b(0x4C, 0);
    b[0] = 0x4C;
    const uint8_t clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    std::copy(clsid, clsid + 16, b.begin() + 4);
    b[20] = 0x1 | 0x2 | 0x8 | 0x10;  // id list, link info, relative path, working folder
    auto u16 = [&](uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u16(6);  // id list: one 4-byte item and the terminator
    u16(4), u16(0xABCD), u16(0);
    const std::string base = "C:\\Books", suffix = "\xCA\xE9.txt";  // 书.txt in code page 936
    const uint32_t volume = 0x1C, local = volume + 0x11, suffixAt = local + uint32_t(base.size()) + 1;
    u32(suffixAt + uint32_t(suffix.size()) + 1), u32(0x1C), u32(1), u32(volume), u32(local), u32(0), u32(suffixAt);
    u32(0x11), u32(3), u32(0), u32(0x10), b.push_back(0);
    for (char c : base) b.push_back(uint8_t(c));
    b.push_back(0);
    for (char c : suffix) b.push_back(uint8_t(c));
    b.push_back(0);
    for (std::string s : {"..\\x", "C:\\Work"}) {
        u16(uint32_t(s.size()));
        for (char c : s) b.push_back(uint8_t(c));
    }
    u32(0);
    return b;
}

TEST(Links, ReadsLinksMadeOnWindows) {
    auto link = util::readShellLink(windowsStyleLink());
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, "C:\\Books\\书.txt");
    EXPECT_EQ(link->workingFolder, "C:\\Work");
}

TEST(Links, MalformedLinksGiveNothing) {
    Bytes good = windowsStyleLink();
    for (size_t cut = 0; cut < good.size() - 4; ++cut)
        EXPECT_FALSE(util::readShellLink(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)))) << cut;
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        Bytes damaged = good;
        for (int k = 0; k < 4; ++k) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
        util::readShellLink(damaged);  // any result, but within bounds
    }
}

}  // namespace
