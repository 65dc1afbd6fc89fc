// Title search by Jet's LIKE, content search by bytes at character starts, exact look-ups.
#include <gtest/gtest.h>

#include "recorders.h"
#include "util/codepage.h"

namespace {

using store::ctreebook;
using store::MemoryList;
using store_test::TestLibrary;
using engine::Bytes;

std::vector<std::string> texts(const MemoryList& l) { return store_test::each(l.items, &store::ListItem::text); }

class Search : public ::testing::Test {
protected:
    void SetUp() override {
        lib.addClass(2, 1, "Books");
        lib.addClass(3, 2, "About classes");
        lib.addRow(4, 2, "Cab", false, "txt", util::utf8ToAnsi("中文"));
        lib.addRow(5, 2, "ABC", false, "txt", util::utf8ToAnsi("a中"));
        lib.addRow(6, 3, "about", false, "txt", util::utf8ToAnsi("ab中 cat"));
        lib.addRow(7, 3, "x1y", false, "htm", util::utf8ToAnsi("<b>中</b>"));
        lib.addClass(8, 1, "Empty");
    }
    TestLibrary lib;
    MemoryList list;
};

TEST_F(Search, TitlesMatchLikeCaseInsensitivelyWithWildcards) {
    struct Case {
        const char* key;
        bool classes;
        std::vector<std::string> found;
    } cases[] = {
        {"ab", false, {"Cab", "ABC", "about"}},
        {"AB", false, {"Cab", "ABC", "about"}},
        {"a?c", false, {"ABC"}},
        {"x#y", false, {"x1y"}},
        {"[o]u", false, {"about"}},
        {"", false, {"Cab", "ABC", "about", "x1y"}},
        {"about", true, {"About classes"}},
        {"zzz", false, {}},
        {"a'b", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(lib.book.searchKeyToLVW(c.key, list, c.classes), static_cast<int32_t>(c.found.size()));
        EXPECT_EQ(texts(list), c.found);
        EXPECT_EQ(list.columns[0].title, c.classes ? "book class" : "Title");
    }
}

TEST_F(Search, ResultRowsAndColumns) {
    list.pixelWidth = 900;
    lib.book.searchKeyToLVW("about", list, false);
    ASSERT_EQ(list.columns.size(), 2u);
    EXPECT_EQ(list.columns[0].width, 300);
    EXPECT_EQ(list.columns[1].title, "Parent class");
    EXPECT_EQ(list.columns[1].width, 600);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.items[0].key, "6id");
    EXPECT_EQ(list.items[0].tag, "6");
    EXPECT_EQ(list.items[0].subItems[0], "Books/About classes");
}

TEST_F(Search, ContentMatchesStartAtCharacterBoundaries) {
    struct Case {
        const char* key;
        std::string format;
        std::vector<std::string> found;
    } cases[] = {
        {"中", "", {"Cab", "ABC", "about", "x1y"}},  // at offsets 0, 1, 2 and 3
        {"中", "txt", {"Cab", "ABC", "about"}},
        {"形", "", {}},                              // D0 CE lies across 中文
        {"t", "", {"about"}},                        // a one-byte key counts whole
        {"Cat", "", {}},                             // case-sensitive
        {"中文", "", {"Cab"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        int32_t classId = 2;
        EXPECT_EQ(lib.book.searchKeyToLVWNR(c.key, list, classId, c.format), static_cast<int32_t>(c.found.size()));
        EXPECT_EQ(texts(list), c.found);
    }
    EXPECT_EQ(list.columns[0].title, "Title");
}

TEST(CharBoundary, ByteRules) {
    struct Case {
        Bytes content, key;
        bool found;
    } cases[] = {
        {{0xD6, 0xD0, 0xCE, 0xC4}, {0xD0, 0xCE}, false},
        {{0x41, 0xD6, 0xD0}, {0xD6, 0xD0}, true},
        {{0x81, 0x40, 0x40}, {0x40}, true},         // the second 0x40 is a character of its own
        {{0x81, 0x40}, {0x40}, false},              // a trail byte is no character start
        {{0xFF, 0xD6, 0xD0}, {0xD6, 0xD0}, true},   // 0xFF is one character
        {{0xB0, 0xB0, 0xB0}, {0xB0, 0xB0}, true},
        {{0xB0, 0x41, 0xB0, 0xB0}, {0x41, 0xB0}, false},
        {{}, {0x41}, false},
        {{0x41}, {}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(ctreebook::containsAtCharBoundary(c.content, c.key), c.found);
}

TEST_F(Search, ContentSearchOfAnEmptyClassOrNoClass) {
    int32_t classId = 8;
    list.addItem({});
    EXPECT_EQ(lib.book.searchKeyToLVWNR("中", list, classId, ""), 0);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.columnCount(), 2);

    MemoryList untouched;
    untouched.addItem({});
    classId = 0;
    EXPECT_EQ(lib.book.searchKeyToLVWNR("中", untouched, classId, ""), 0);
    EXPECT_EQ(untouched.count(), 1);
    EXPECT_EQ(untouched.columnCount(), 0);

    int32_t count = 5;
    classId = 3;
    EXPECT_EQ(lib.book.searchKeyToLVWNR2("中", list, classId, "", count), 7);
}

TEST_F(Search, ContentSearchRightAfterADeletionInTheSameStore) {
    // The deletion leaves the content cursor without a current row; the next search still
    // reads every document.
    ASSERT_TRUE(lib.book.deleteRec(4));
    int32_t classId = 2;
    EXPECT_EQ(lib.book.searchKeyToLVWNR("中", list, classId, "txt"), 2);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"ABC", "about"}));
}

TEST_F(Search, Reports) {
    EXPECT_EQ(lib.book.searchKeyPath("about"),
              "          Parent Class                                       Class \r\n" + std::string(66, '-') +
                  "\r\nBooks             About classes\r\n");
    EXPECT_EQ(lib.book.searchKeyNR("Cab"),
              "         Parent Class                                Doc\r\n" + std::string(57, '-') +
                  "\r\nBooks             Cab\r\n");
}

TEST_F(Search, ExactLookUps) {
    lib.addClass(9, 2, "Cab");
    ctreebook& b = lib.book;
    EXPECT_EQ(b.findPidPath(2, "Cab"), 9);
    EXPECT_EQ(b.findNrBT(2, "Cab", ""), 4);
    EXPECT_EQ(b.findNrBT(2, "Cab", "txt"), 4);
    EXPECT_EQ(b.findNrBT(2, "Cab", "htm"), 0);
    EXPECT_EQ(b.findPidBT(2, "Cab"), 4);
    EXPECT_EQ(b.findPidBT(2, "cab"), 0);
    EXPECT_EQ(b.findbtlx2(2, "ABC"), 5);
    EXPECT_EQ(b.findPidPath(2, "ABC"), 0);
    EXPECT_EQ(b.findNrBT(2, "About classes", ""), 0);
    b.closeDB();
    EXPECT_EQ(b.findPidBT(2, "Cab"), 0);
}

}  // namespace
