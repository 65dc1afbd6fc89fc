#include "platform/dialogs.h"
#include "platform/icons.h"
#include "platform/pump.h"
#include "platform/qt_controls.h"

#include <QComboBox>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

store::TreeNode treeNode(const std::string& parent, const std::string& key, const std::string& tag = "lx") {
    store::TreeNode node;
    node.parentKey = parent;
    node.key = key;
    node.text = key;
    node.tag = tag;
    node.imageKey = "path";
    node.colour = 255;
    return node;
}

}  // namespace

TEST(QtControls, KeysGiveTheirLeadingNumber) {
    const std::pair<const char*, int32_t> cases[] = {{"1id", 1}, {"12id", 12}, {"id", 0}, {"", 0},
                                                     {"0id", 0}, {"99999999999id", 0}, {"7", 7}};
    for (const auto& [key, id] : cases) EXPECT_EQ(platform::idOfKey(key), id) << key;
    EXPECT_EQ(platform::keyOfId(5), "5id");
}

TEST(QtControls, TreeKeepsItsKeyIndexTrue) {
    platform::MimeIconProvider icons;
    QTreeWidget widget;
    platform::QtTreeControl tree(&widget, &icons);
    EXPECT_TRUE(tree.addNode(treeNode("", "1id", "zlx")));
    EXPECT_FALSE(tree.addNode(treeNode("", "1id"))) << "a key exists only once";
    EXPECT_FALSE(tree.addNode(treeNode("9id", "2id"))) << "the parent must exist";
    EXPECT_TRUE(tree.addNode(treeNode("1id", "2id")));
    EXPECT_TRUE(tree.addNode(treeNode("2id", "3id", "nr")));
    EXPECT_EQ(tree.childCount("1id"), 1);
    QTreeWidgetItem* item = tree.item("3id");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(platform::tagOf(item), "nr");
    EXPECT_EQ(platform::idOf(item), 3);
    EXPECT_EQ(item->foreground(0).color(), QColor(255, 0, 0));  // red in the low byte

    tree.removeChildren(tree.item("1id"));
    EXPECT_FALSE(tree.nodeExists("2id"));
    EXPECT_FALSE(tree.nodeExists("3id")) << "grandchildren leave the index too";
    EXPECT_TRUE(tree.addNode(treeNode("1id", "2id")));
    tree.clear();
    EXPECT_FALSE(tree.nodeExists("1id"));
    EXPECT_EQ(widget.topLevelItemCount(), 0);
}

TEST(QtControls, ListRowsArriveTogether) {
    platform::MimeIconProvider icons;
    QTreeWidget widget;
    widget.setColumnCount(1);
    platform::QtListControl list(&widget, &icons);
    list.addColumn("Title", 100);
    EXPECT_EQ(list.columnCount(), 2);
    EXPECT_EQ(widget.headerItem()->text(1), "Title");
    store::ListItem row;
    row.key = "4id";
    row.text = "Four";
    row.tag = "nr";
    row.smallIcon = icons.iconKey("TXT");
    row.subItems = {"1K", "txt", "2024/1/2 3:4", "No"};
    list.addItem(row);
    list.addItem(row);
    EXPECT_EQ(list.count(), 2);
    list.flush();
    ASSERT_EQ(widget.topLevelItemCount(), 2);
    EXPECT_EQ(widget.topLevelItem(0)->text(2), "txt");
    EXPECT_EQ(platform::keyOf(widget.topLevelItem(0)), "4id");
    list.addItem(row);
    platform::yield(0);  // rows not flushed reach the widget once events run
    EXPECT_EQ(widget.topLevelItemCount(), 3);
    list.addItem(row);
    list.clear();
    platform::yield(0);
    EXPECT_EQ(list.count(), 0);
    list.setClassTag("12");
    EXPECT_EQ(list.classTag(), "12");
}

TEST(QtControls, ListRowsAnswerEveryRoleAndTakeChanges) {
    QTreeWidget widget;
    widget.setColumnCount(5);
    platform::QtListControl list(&widget, nullptr);
    struct Case {
        std::string key, tooltip;
    } cases[] = {{"7id", "Seven"}, {"07id", "Seven"}, {"7idx", "other tip"}, {"-7id", "Seven"}, {"", "Seven"}};
    for (const Case& c : cases) {
        store::ListItem row;
        row.key = c.key;
        row.text = "Seven";
        row.tooltip = c.tooltip;
        row.tag = "nr";
        row.subItems = {"1K", "txt", "2024/1/2 3:4", "No"};
        list.addItem(row);
    }
    list.flush();
    ASSERT_EQ(widget.topLevelItemCount(), int(std::size(cases)));
    for (int i = 0; i < widget.topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = widget.topLevelItem(i);
        EXPECT_EQ(platform::keyOf(row).toStdString(), cases[i].key);
        EXPECT_EQ(row->toolTip(0).toStdString(), cases[i].tooltip);
        EXPECT_EQ(row->text(4), "No");
        EXPECT_TRUE(row->icon(0).isNull());
        EXPECT_FALSE(row->data(0, Qt::DecorationRole).isValid()) << "no image, no room kept for one";
    }

    QTreeWidgetItem* row = widget.topLevelItem(0);
    row->setText(0, "Renamed");
    row->setText(3, "2025/1/1 0:0");
    row->setData(0, platform::kKeyRole, QString("9id"));
    row->setToolTip(1, "column one");
    row->setForeground(2, Qt::red);
    EXPECT_EQ(row->text(0), "Renamed");
    EXPECT_EQ(row->toolTip(0), "Renamed") << "a tooltip that was the text follows it";
    EXPECT_EQ(row->text(3), "2025/1/1 0:0");
    EXPECT_EQ(platform::idOf(row), 9);
    EXPECT_EQ(row->toolTip(1), "column one");
    EXPECT_EQ(row->foreground(2).color(), QColor(Qt::red));
    widget.sortItems(0, Qt::AscendingOrder);
    EXPECT_EQ(widget.topLevelItem(0)->text(0), "Renamed");
}

TEST(QtControls, ComboShowsTheTextGiven) {
    QComboBox widget;
    platform::QtComboControl combo(&widget);
    combo.addItem("Alpha", 2);
    combo.addItem("All", 0);
    combo.setText("All");
    EXPECT_EQ(widget.currentText(), "All");
    EXPECT_EQ(widget.currentData().toInt(), 0);
    EXPECT_EQ(combo.itemText(0), "Alpha");
}

TEST(Pump, YieldRunsPendingEventsAndTimers) {
    int posted = 0, timed = 0;
    QTimer::singleShot(0, [&] { ++posted; });
    platform::yield(0);
    EXPECT_EQ(posted, 1);
    QTimer::singleShot(platform::kYieldSliceMs, [&] { ++timed; });
    platform::yield(3);
    EXPECT_EQ(timed, 1) << "a timer due within the pause fires during it";
}

TEST(Dialogs, UnansweredDialogsCountAsCancelledOffscreen) {
    platform::dialogAnswers() = {};
    EXPECT_TRUE(platform::pickOpenFile(nullptr, "t", "*.mdb", "").isEmpty());
    EXPECT_FALSE(platform::askQuestion(nullptr, "t", "q?"));
    EXPECT_FALSE(platform::pickColour(nullptr, "t", Qt::red));
    EXPECT_FALSE(platform::showMessageOfferingSilence(nullptr, "t", "m"));
    platform::dialogAnswers().question = [](const QString&, const QString&) { return true; };
    EXPECT_TRUE(platform::askQuestion(nullptr, "t", "q?"));
    platform::dialogAnswers() = {};
}
