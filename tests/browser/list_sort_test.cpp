#include "browser/list_sort.h"
#include "browser/selection_ring.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

using browser::SortKind;

TEST(ListSort, CellsCompareByTheirColumnKind) {
    struct Case {
        const char* a;
        const char* b;
        SortKind kind;
        bool descending;
        int expected;
    };
    const Case cases[] = {
        {"10", "9", SortKind::Text, false, -1},   // text: "10" before "9"
        {"10", "9", SortKind::Number, false, 1},  // number: 9 before 10
        {"10K", "9K", SortKind::Number, false, 1},
        {"10", "9", SortKind::Number, true, -1},
        {"1.0", "1", SortKind::Number, false, 1},  // different texts of one value never compare equal
        {"abc", "abc", SortKind::Number, false, 0},
        {"abc", "12", SortKind::Number, false, 0},  // not a number: equal
        {"2024/1/5 9:3", "2023/12/31 23:59", SortKind::Date, false, 1},
        {"2024/1/5 9:3", "2023/12/31 23:59", SortKind::Date, true, -1},
        {"yesterday", "2023/12/31 23:59", SortKind::Date, false, 0},
        {"B", "a", SortKind::Text, false, -1},  // case-sensitive, by character code
    };
    for (const Case& c : cases)
        EXPECT_EQ(browser::compareCells(c.a, c.b, c.kind, c.descending), c.expected) << c.a << " vs " << c.b;
}

TEST(ListSort, RowsAreReorderedByOneColumn) {
    QTreeWidget list;
    list.setColumnCount(2);
    for (const char* size : {"10", "9", "x", "100"}) {
        auto* row = new QTreeWidgetItem(&list);
        row->setText(1, size);
    }
    browser::sortRows(&list, 1, SortKind::Number, false);
    QStringList order;
    for (int i = 0; i < list.topLevelItemCount(); ++i) order << list.topLevelItem(i)->text(1);
    // "x" converts to nothing and stays where the stable merge leaves it.
    EXPECT_EQ(order.indexOf("9") < order.indexOf("10"), true);
    EXPECT_EQ(order.indexOf("10") < order.indexOf("100"), true);
    EXPECT_EQ(order.size(), 4);
}

TEST(SelectionRing, RollsBackAndWrapsAfterTwentySlots) {
    browser::SelectionRing ring;
    ring.push(5, 0);
    EXPECT_FALSE(ring.rollBack()) << "one selection only";
    ring.push(6, 10);
    ring.recordPosition(6, 33);
    auto slot = ring.rollBack();
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot->id, 5);
    slot = ring.rollBack();  // before the first comes the last filled slot
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot->id, 6);
    EXPECT_EQ(slot->position, 33);

    browser::SelectionRing full;
    for (int id = 1; id <= 21; ++id) full.push(id, 0);
    EXPECT_EQ(full.currentId(), 21);  // slot 1 again: the oldest was overwritten
    slot = full.rollBack();
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot->id, 20);  // before slot 1 comes slot 20
}
