// Filling the tree, list and combo controls; id collectors and subtree sums.
#include <gtest/gtest.h>

#include <limits>

#include "recorders.h"
#include "util/file_path.h"

namespace {

using store::ctreebook;
using store::MemoryCombo;
using store::MemoryList;
using store::MemoryTree;
using store_test::RecordingIcons;
using store_test::TestLibrary;

std::vector<std::string> keys(const MemoryTree& t) { return store_test::each(t.nodes, &store::TreeNode::key); }
std::vector<std::string> keys(const MemoryList& l) { return store_test::each(l.items, &store::ListItem::key); }

// root 1: class 2 "Novels" (children 9, 4, 12 added in that order: doc 9, class 4, doc 12),
// class 4 holds doc 20; doc 3 in the root.
class Tree : public ::testing::Test {
protected:
    void SetUp() override {
        lib.book.addImgList(16, &small, "icon16", 0);
        lib.book.addImgList(32, &large, "icon32", 0);
        lib.addClass(2, 1, "Novels");
        lib.addDoc(9, 2, "Nine", std::string(1500, 'n'), "TXT");
        lib.addClass(4, 2, "Four", true);
        lib.addDoc(12, 2, "Twelve", "12", "jpg");
        lib.addDoc(20, 4, "Twenty", std::string(3000, 't'));
        lib.addDoc(3, 1, "Three", "333");
    }
    TestLibrary lib;
    RecordingIcons small{"s"}, large{"l"};
};

TEST_F(Tree, ChildrenComeInIdOrder) {
    std::vector<int32_t> ids;
    EXPECT_EQ(lib.book.getSubID(2, ids), 3);
    EXPECT_EQ(ids, (std::vector<int32_t>{4, 9, 12}));
    EXPECT_EQ(lib.book.getLXSubID(2, ids), 1);
    EXPECT_EQ(ids, (std::vector<int32_t>{4}));
    EXPECT_EQ(lib.book.getNRSubID(2, ids), 2);
    EXPECT_EQ(ids, (std::vector<int32_t>{9, 12}));
    EXPECT_EQ(lib.book.getNRSubID(2, ids, "jpg"), 1);
    EXPECT_EQ(ids, (std::vector<int32_t>{12}));
    EXPECT_EQ(lib.book.getAllSubID(1, ids), 6);
    EXPECT_EQ(ids, (std::vector<int32_t>{2, 3, 4, 9, 12, 20}));
    EXPECT_EQ(lib.book.getAllNRSubID(2, ids), 3);
    EXPECT_EQ(ids, (std::vector<int32_t>{9, 12, 20}));
    EXPECT_EQ(lib.book.getAllNRID(ids), 4);
    EXPECT_EQ(ids, (std::vector<int32_t>{3, 9, 12, 20}));
}

TEST_F(Tree, SizesAndCountsOfAClass) {
    EXPECT_EQ(lib.book.sizePid(2, false), 1502);
    EXPECT_EQ(lib.book.sizePid(2, true), 4502);
    EXPECT_EQ(lib.book.countPid(2, false), 2);
    EXPECT_EQ(lib.book.countPid(1, true), 4);
    EXPECT_EQ(lib.book.sizePid(9, true), 0);  // not a class
    EXPECT_EQ(lib.book.countPid(9, true), 0);
}

TEST_F(Tree, TopLevelAndOneLevelBelow) {
    MemoryTree tree;
    tree.addNode({"", "stale", "", "", "", false, 0});
    ASSERT_TRUE(lib.book.zlxTVW(tree));
    ASSERT_EQ(keys(tree), (std::vector<std::string>{"1id"}));
    EXPECT_EQ(tree.nodes[0].tag, "zlx");
    EXPECT_TRUE(tree.nodes[0].bold);
    EXPECT_EQ(tree.nodes[0].colour, 0xFFFFC0u);
    EXPECT_EQ(tree.nodes[0].imageKey, "s:path");
    EXPECT_EQ(tree.nodes[0].text, "lib");

    EXPECT_EQ(lib.book.book2TVWsub(tree, "1id", true), 2);
    EXPECT_EQ(lib.book.book2TVWsub(tree, "2id", false), 1);
    EXPECT_EQ(keys(tree), (std::vector<std::string>{"1id", "2id", "3id", "4id"}));
    const store::TreeColours colours;
    const auto* novels = tree.node("2id");
    EXPECT_EQ(novels->tag, "lx");
    EXPECT_EQ(novels->colour, colours.zlx);
    EXPECT_TRUE(novels->bold);
    const auto* three = tree.node("3id");
    EXPECT_EQ(three->tag, "nr");
    EXPECT_FALSE(three->bold);
    EXPECT_EQ(three->colour, colours.nr);
    EXPECT_EQ(three->imageKey, "s:txt");
    EXPECT_EQ(tree.node("4id")->colour, colours.readed);
    EXPECT_EQ(tree.node("4id")->parentKey, "2id");

    // Classes below the root's children take the deeper colour.
    lib.addClass(30, 4, "Deep");
    EXPECT_EQ(lib.book.book2TVWsub(tree, "4id", true), 2);
    EXPECT_EQ(tree.node("30id")->colour, colours.lx);
    EXPECT_FALSE(lib.book.addNode(tree, 0, true, "1id", "x", false));
    EXPECT_FALSE(lib.book.addNode(tree, 5, true, "0id", "x", false));
    EXPECT_EQ(lib.book.book2TVWzlx(tree, 2) ? tree.nodes.size() : 0u, 3u);
    EXPECT_EQ(tree.nodes[0].tag, "lx");
    EXPECT_EQ(tree.nodes[1].tag, "nr");
}

TEST_F(Tree, ListRowsShowSizeFormatDateAndCompression) {
    MemoryList list;
    EXPECT_EQ(lib.book.btToListView(list, 2, false), 3);
    ASSERT_EQ(keys(list), (std::vector<std::string>{"4id", "9id", "12id"}));
    EXPECT_EQ(list.classTag(), "2");
    const store::ListItem& cls = list.items[0];
    EXPECT_EQ(cls.text, "Four");
    EXPECT_EQ(cls.tooltip, "Four");
    EXPECT_EQ(cls.tag, "lx");
    EXPECT_EQ(cls.icon, "l:path");
    EXPECT_EQ(cls.smallIcon, "s:path");
    EXPECT_EQ(cls.subItems[0], "3K");
    const store::ListItem& nine = list.items[1];
    EXPECT_EQ(nine.tag, "nr");
    EXPECT_EQ(nine.icon, "l:txt");
    EXPECT_EQ(nine.subItems[0], "2K");
    EXPECT_EQ(nine.subItems[1], "txt");
    EXPECT_EQ(nine.subItems[3], "Yes");
    EXPECT_EQ(list.items[2].subItems[3], "No");
    EXPECT_EQ(list.items[2].subItems[1], "jpg");

    // The date column: "YYYY/M/D H:M".
    engine::Recordset& rs = *lib.book.myRS();
    rs.setIndex("primaryKey");
    rs.seek("=", engine::Value(int32_t{9}));
    rs.edit();
    rs.setField("dt", engine::Value(engine::Date{43834.0 + (3 * 60 + 7) / 1440.0}));  // 2020-01-04 03:07
    rs.update();
    lib.book.btToListView(list, 2, false);
    EXPECT_EQ(list.items[1].subItems[2], "2020/1/4 3:7");

    // Appending keeps the rows there.
    EXPECT_EQ(lib.book.btToListView(list, 4, true), 1);
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.classTag(), "4");
}

// A damaged file may hold any number as a date: the row is still listed, with an empty date.
TEST_F(Tree, ListRowWithANumberThatIsNoDateShowsNoDate) {
    const double kNoDates[] = {-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                               1e300, -4e6};
    engine::Recordset& rs = *lib.book.myRS();
    for (double days : kNoDates) {
        SCOPED_TRACE(days);
        rs.setIndex("primaryKey");
        rs.seek("=", engine::Value(int32_t{9}));
        rs.edit();
        rs.setField("dt", engine::Value(engine::Date{days}));
        rs.update();
        MemoryList list;
        ASSERT_EQ(lib.book.btToListView(list, 2, false), 3);
        EXPECT_EQ(list.items[1].subItems[2], "");
    }
}

TEST_F(Tree, AClassKeepsItsComputedSize) {
    EXPECT_EQ(lib.book.sizeByid(4), 0);
    MemoryList list;
    lib.book.btToListView(list, 2, false);
    EXPECT_EQ(lib.book.sizeByid(4), 3000);
    // From now on the stored size is shown, even when contents change.
    lib.addDoc(21, 4, "More", std::string(5000, 'm'));
    lib.book.btToListView(list, 2, false);
    EXPECT_EQ(list.items[0].subItems[0], clsFilePath::lenKstr(3000, false));
}

TEST_F(Tree, ComboOfClasses) {
    MemoryCombo combo;
    EXPECT_EQ(lib.book.lxToCombo2(combo), 3);
    EXPECT_EQ(combo.items, (std::vector<std::pair<std::string, int32_t>>{{"Novels", 2}, {"Four", 4}, {"All", 0}}));
    EXPECT_EQ(combo.text, "Novels");

    TestLibrary bare("bare.mdb");
    EXPECT_EQ(bare.book.lxToCombo2(combo), 1);
    EXPECT_EQ(combo.items, (std::vector<std::pair<std::string, int32_t>>{{"All", 0}}));
    EXPECT_EQ(combo.text, "All");
}

TEST_F(Tree, OutlineIndentsEachLevelByEight) {
    std::string text;
    lib.book.listLX(2, 2, text);
    EXPECT_EQ(text,
              "  Novels\r\n"
              "          Four\r\n"
              "          Nine\r\n"
              "          Twelve\r\n"
              "          Four\r\n"
              "                  Twenty\r\n");
}

TEST_F(Tree, GotoSelectedIdWalksFromTheTopDown) {
    lib.addClass(7, 4, "Seven");
    std::vector<std::string> raised;
    lib.book.events.changeSelectID = [&](store::TreeControl&, std::string& key, bool& answer) {
        EXPECT_FALSE(answer);
        raised.push_back(key);
    };
    MemoryTree tree;
    lib.book.gotoSelectedID(tree, 7);
    EXPECT_EQ(raised, (std::vector<std::string>{"1id", "2id", "4id", "7id"}));
}

TEST_F(Tree, ChainOfThreeGivesOneThreeSeven) {
    lib.addClass(7, 3, "Seven");
    lib.addClass(13, 13, "Self");
    std::vector<std::string> raised;
    lib.book.events.changeSelectID = [&](store::TreeControl&, std::string& key, bool&) { raised.push_back(key); };
    MemoryTree tree;
    lib.book.gotoSelectedID(tree, 7);
    EXPECT_EQ(raised, (std::vector<std::string>{"1id", "3id", "7id"}));
    raised.clear();
    lib.book.gotoSelectedID(tree, 13);
    EXPECT_EQ(raised, (std::vector<std::string>{"13id"}));
}

TEST_F(Tree, SubtreeWalksStopAtLoops) {
    // 40 and 41 are each other's parent; 42 is its own parent. Neither hangs a walk.
    lib.addClass(40, 41, "a");
    lib.addClass(41, 40, "b");
    lib.addDoc(43, 41, "doc", "12345");
    lib.addClass(42, 42, "self");
    std::vector<int32_t> ids;
    EXPECT_EQ(lib.book.getAllSubID(40, ids), 3);
    EXPECT_EQ(lib.book.sizePid(40, true), 5);
    EXPECT_EQ(lib.book.countPid(42, true), 0);
    std::string text;
    lib.book.listLX(42, 0, text);
    EXPECT_EQ(text, "self\r\n        self\r\n");
    MemoryTree tree;
    lib.book.gotoSelectedID(tree, 40);
}

TEST_F(Tree, IconRegistry) {
    EXPECT_EQ(lib.book.iconIndex("pdf"), "s:pdf");
    EXPECT_EQ(lib.book.iconIndex("pdf", 32), "l:pdf");
    EXPECT_EQ(lib.book.iconIndex("pdf", 48), "");
    EXPECT_EQ(lib.book.getImgList(32), &large);
    EXPECT_EQ(lib.book.imgPath32(), "icon32");
    lib.book.useImgSize(32);
    EXPECT_EQ(lib.book.iconIndex("pdf"), "l:pdf");
    EXPECT_EQ(lib.book.addImgList(24, &small, "icon24", 1), 2);
}

TEST(TreeClosed, NothingHappensWithoutALibrary) {
    ctreebook book;
    MemoryTree tree;
    MemoryList list;
    MemoryCombo combo;
    EXPECT_FALSE(book.zlxTVW(tree));
    EXPECT_EQ(book.btToListView(list, 1, false), 0);
    EXPECT_EQ(book.lxToCombo2(combo), 0);
    std::vector<int32_t> ids{5};
    EXPECT_EQ(book.getAllNRID(ids), 0);
    EXPECT_TRUE(ids.empty());
}

}  // namespace
