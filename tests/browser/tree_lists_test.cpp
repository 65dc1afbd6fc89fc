// The class tree, the document lists and the search results as a user drives them: real mouse
// and key events, locked classes, no library at all and empty classes.
#include "window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <functional>

using namespace browser_test;

namespace {

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The events of a double click as the window system delivers them.
void doubleClick(QTreeWidget* view, QTreeWidgetItem* item) {
    const QPoint at = view->visualItemRect(item).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        sendMouse(view->viewport(), type, at);
}

void pressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

QTreeWidgetItem* rowTitled(QTreeWidget* list, const QString& title) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == title) return list->topLevelItem(i);
    return nullptr;
}

}  // namespace

class TreeListsTest : public WindowTest {
protected:
    // Alpha gets the password "pw"; the window's password box answers `answer` and counts.
    browser::MainWindow& openWithLockedAlpha() {
        {
            store::ctreebook book;
            EXPECT_TRUE(book.openDB(library));
            EXPECT_TRUE(book.putPasswd("pw", ids["Alpha"]));
        }
        auto& w = open(QString::fromStdString(library));
        prompts.clear();
        w.cbook.passwordPrompts.askPassword = [this](const std::string& prompt) {
            prompts.push_back(prompt);
            return answer;
        };
        return w;
    }

    std::vector<std::string> prompts;
    std::string answer;
};

// Every way into a locked class asks its password once: refused, the class stays closed;
// given, it opens and is not asked again.
TEST_F(TreeListsTest, LockedClassIsAskedForWhereverItIsOpened) {
    struct Case {
        const char* way;
        std::function<void(browser::MainWindow&)> open;
    };
    const std::vector<Case> cases = {
        {"click", [this](browser::MainWindow&) { click("Alpha"); }},
        {"expander", [this](browser::MainWindow&) { node("Alpha")->setExpanded(true); }},
        {"refresh after a right click",
         [this](browser::MainWindow& w) {
             w.tvw1->setCurrentItem(node("Alpha"));
             w.refreshSelectedNode();
         }},
        {"walk to a search result", [this](browser::MainWindow& w) { w.selectDocById(ids["Deep"]); }},
        {"previous document from the next class",
         [this](browser::MainWindow& w) {
             click("Beta");
             click("Second");
             w.goNextPrevDoc(0);
         }},
    };
    for (const Case& c : cases) {
        auto& w = openWithLockedAlpha();
        answer = "wrong";
        c.open(w);
        EXPECT_EQ(prompts.size(), 1u) << c.way;
        EXPECT_EQ(node("Alpha")->childCount(), 0) << c.way;
        EXPECT_FALSE(node("Alpha")->isExpanded()) << c.way;
        EXPECT_EQ(w.statusText(1), "Password Not Correct!") << c.way;

        answer = "pw";
        c.open(w);
        EXPECT_EQ(prompts.size(), 2u) << c.way;
        ASSERT_EQ(prompts.back(), "Please input password for Class <Alpha>: ") << c.way;
        EXPECT_GT(node("Alpha")->childCount(), 0) << c.way;
        click("Alpha");
        EXPECT_EQ(prompts.size(), 2u) << c.way << ": asked again";
        EXPECT_TRUE(w.ListView1->isVisible()) << c.way;
        window.reset();
        settings.reset();  // no reading position to restore into the next window
    }
}

TEST_F(TreeListsTest, DoubleClickOnASearchResultWalksOnce) {
    auto& w = openWithLockedAlpha();
    answer = "wrong";
    w.Text1->setText("Story");
    w.runSearch();
    ASSERT_EQ(w.ListView2->topLevelItemCount(), 1);
    doubleClick(w.ListView2, w.ListView2->topLevelItem(0));
    EXPECT_EQ(prompts.size(), 1u);
    EXPECT_EQ(node("Story"), nullptr);

    answer = "pw";
    doubleClick(w.ListView2, w.ListView2->topLevelItem(0));
    EXPECT_EQ(w.selectedNode(), node("Story"));
    EXPECT_TRUE(w.ListView2->isVisible()) << "the result is selected, not shown";
    EXPECT_FALSE(w.rt1->isVisible());
    EXPECT_EQ(w.statusText(1), "Alpha/Story");
}

// The first click of a double click on a class row enters the class; the second lands on the
// new list and must not open whatever row now lies under the pointer.
TEST_F(TreeListsTest, DoubleClickOnAClassRowOnlyEntersTheClass) {
    auto& w = open(QString::fromStdString(library));
    w.selectAndShow(w.nodeByKey("1id"));
    QTreeWidgetItem* alphaRow = rowTitled(w.ListView1, "Alpha");
    ASSERT_NE(alphaRow, nullptr);
    ASSERT_EQ(w.ListView1->indexOfTopLevelItem(alphaRow), 0);
    doubleClick(w.ListView1, alphaRow);
    EXPECT_EQ(w.selectedNode(), node("Alpha"));
    EXPECT_EQ(w.listedClassId(), ids["Alpha"]);
    EXPECT_TRUE(w.ListView1->isVisible());
    EXPECT_FALSE(w.rt1->isVisible()) << "Story, the first row of Alpha, was opened";

    // A double click on a document row still shows it.
    doubleClick(w.ListView1, rowTitled(w.ListView1, "Story"));
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.selectedNode(), node("Story"));
}

// A double click on a class not opened yet opens it and leaves it unfolded; on an open class
// it folds and unfolds.
TEST_F(TreeListsTest, DoubleClickOnAClassNodeOpensItThenToggles) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    doubleClick(w.tvw1, node("Inner"));
    EXPECT_TRUE(node("Inner")->isExpanded());
    EXPECT_NE(node("Deep"), nullptr);
    EXPECT_EQ(w.listedClassId(), ids["Inner"]);
    doubleClick(w.tvw1, node("Inner"));
    EXPECT_FALSE(node("Inner")->isExpanded());
    doubleClick(w.tvw1, node("Inner"));
    EXPECT_TRUE(node("Inner")->isExpanded());
}

TEST_F(TreeListsTest, AnotherLibraryStartsWithoutTheOldSelectionsAndRows) {
    // The same records under the same ids: rows and selections of one would open the other's.
    const std::string other = dir.file("other.mdb");
    makeLibrary(other);
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    w.Text1->setText("e");
    w.runSearch();
    ASSERT_GT(w.ListView2->topLevelItemCount(), 0);
    ASSERT_TRUE(w.openBookLib(QString::fromStdString(other)));
    w.showBookListView();  // Ctrl+Insert
    EXPECT_EQ(w.ListView1->topLevelItemCount(), 0);
    w.showSearchListView();  // Shift+Insert
    EXPECT_EQ(w.ListView2->topLevelItemCount(), 0);
    click("Beta");
    w.rollBackSelection();
    EXPECT_EQ(w.selectedNode(), node("Beta")) << "rolled back to a selection made in the other library";
}

TEST_F(TreeListsTest, KeysOpenWhatTheMouseOpens) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");

    // Enter shows the node on its press; the release of an Enter pressed elsewhere (the one
    // that closed a password box) shows nothing.
    w.tvw1->setCurrentItem(node("Story"));
    QKeyEvent strayRelease(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w.tvw1, &strayRelease);
    EXPECT_FALSE(w.rt1->isVisible());
    EXPECT_TRUE(w.ListView1->isVisible());
    pressKey(w.tvw1, Qt::Key_Return);
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.rt1->toPlainText(), "你好世界 hello");

    // Left on a document goes up to its class and lists it.
    pressKey(w.tvw1, Qt::Key_Left);
    EXPECT_EQ(w.selectedNode(), node("Alpha"));
    EXPECT_TRUE(w.ListView1->isVisible());
    EXPECT_EQ(w.listedClassId(), ids["Alpha"]);
    // Left on the open class only folds it.
    pressKey(w.tvw1, Qt::Key_Left);
    EXPECT_FALSE(node("Alpha")->isExpanded());
    EXPECT_EQ(w.selectedNode(), node("Alpha"));

    // Right on a class not opened yet unfolds it with its children.
    node("Alpha")->setExpanded(true);
    w.tvw1->setCurrentItem(node("Inner"));
    pressKey(w.tvw1, Qt::Key_Right);
    EXPECT_TRUE(node("Inner")->isExpanded());
    EXPECT_NE(node("Deep"), nullptr);
    pressKey(w.tvw1, Qt::Key_Right);
    EXPECT_EQ(w.selectedNode(), node("Deep"));
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.rt1->toPlainText(), "text of the deep class");

    // Enter on a list row: a class is entered, a document shown.
    click("Alpha");
    w.ListView1->setFocus();
    w.ListView1->setCurrentItem(rowTitled(w.ListView1, "Inner"));
    pressKey(w.ListView1, Qt::Key_Return);
    EXPECT_EQ(w.listedClassId(), ids["Inner"]);
    EXPECT_EQ(w.selectedNode(), node("Inner"));
    w.ListView1->setCurrentItem(rowTitled(w.ListView1, "Deep"));
    pressKey(w.ListView1, Qt::Key_Enter);
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.selectedNode(), node("Deep"));

    // Enter on a search result walks the tree to it.
    w.Text1->setText("Second");
    w.runSearch();
    ASSERT_EQ(w.ListView2->topLevelItemCount(), 1);
    w.ListView2->setFocus();
    w.ListView2->setCurrentItem(w.ListView2->topLevelItem(0));
    pressKey(w.ListView2, Qt::Key_Return);
    EXPECT_EQ(w.selectedNode(), node("Second"));
    EXPECT_TRUE(w.ListView2->isVisible());
}

// Every menu command, key and search with no library, an empty library and an empty class:
// nothing breaks, and the password commands say why they cannot run.
TEST_F(TreeListsTest, CommandsWithoutALibraryOrOnAnEmptyClass) {
    const std::string bare = dir.file("bare.mdb");
    {
        store::ctreebook book;
        ASSERT_TRUE(book.createBookMDB(bare));
        ASSERT_TRUE(book.openDB(bare));
        store::ctreebook fixture;
        ASSERT_TRUE(fixture.openDB(library));
        ids["Void"] = fixture.insertPathBT("Void", ids["Beta"]);
    }
    struct Case {
        const char* state;
        std::string library;
        std::function<void(browser::MainWindow&)> select;
        QString classPasswordStatus, libraryPasswordStatus;
    };
    const QString notLoaded = "Lib not loaded yet or Class not selected!";
    const std::vector<Case> cases = {
        {"no library", "", [](browser::MainWindow&) {}, notLoaded, "Lib not loaded yet !"},
        {"library with the root only", bare,
         [](browser::MainWindow& w) { w.selectAndShow(w.nodeByKey("1id")); }, "Password changing canceled!",
         "Password changing canceled!"},
        {"empty class", library,
         [this](browser::MainWindow&) {
             click("Beta");
             click("Void");
         },
         "Password changing canceled!", "Password changing canceled!"},
        {"document", library,
         [this](browser::MainWindow&) {
             click("Beta");
             click("Second");
         },
         notLoaded, "Password changing canceled!"},
    };
    const char* const commands[] = {"menu_去上级目录", "menu_去下一目录",   "menu_标为已读",       "menu_标为未读",
                                    "menu_刷新节点",   "menu_全屏幕浏览",   "menu_用notepad打开",  "menu_列表选定类型tvw1",
                                    "menu_打开书库文件", "menu_showBookListView", "menu_showSearchListView",
                                    "menu_undo1",      "menu_usermanual",  "menu_设置参数",       "menu_小号"};
    for (const Case& c : cases) {
        auto& w = open(QString::fromStdString(c.library));
        w.cbook.passwordPrompts = {};  // every password box is cancelled
        c.select(w);
        for (const char* name : commands) {
            auto* action = w.pmenu->findChild<QAction*>(name);
            ASSERT_NE(action, nullptr) << name;
            c.select(w);
            action->trigger();
        }
        for (int key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Return, Qt::Key_End})
            pressKey(w.tvw1, key);
        for (QTreeWidget* list : {w.ListView1, w.ListView2}) pressKey(list, Qt::Key_Return);
        for (int column = 0; column < 4; ++column) w.sortListView(column);
        w.Text1->setText("x");
        for (int mode = 0; mode < w.Combo4->count(); ++mode) {
            w.Combo4->setCurrentIndex(mode);
            w.runSearch();
        }

        c.select(w);
        w.findChild<QAction*>("menu_更改当前书类口令")->trigger();
        EXPECT_EQ(w.statusText(1), c.classPasswordStatus) << c.state;
        w.findChild<QAction*>("menu_更改书库口令")->trigger();
        EXPECT_EQ(w.statusText(1), c.libraryPasswordStatus) << c.state;
        window.reset();
        settings.reset();
    }
}

TEST_F(TreeListsTest, DownOnTheLastNodeShowsItAgain) {
    auto& w = open(QString::fromStdString(library));
    click("Beta");
    click("Second");
    w.showBookListView();
    pressKey(w.tvw1, Qt::Key_Down);
    EXPECT_EQ(w.selectedNode(), node("Second"));
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.rt1->toPlainText(), "second text");
}

TEST_F(TreeListsTest, ChoosingAModeSearchesEachTime) {
    auto& w = open(QString::fromStdString(library));
    w.Text1->setText("nothing like it");
    emit w.Combo4->activated(0);
    EXPECT_TRUE(w.ListView2->isVisible());
    EXPECT_EQ(w.ListView2->topLevelItemCount(), 0);
    EXPECT_EQ(w.statusText(1), "0 records found.");
    // The same mode again searches again, with the key word now in the box.
    w.Text1->setText("Story");
    emit w.Combo4->activated(0);
    EXPECT_EQ(w.ListView2->topLevelItemCount(), 1);
    EXPECT_EQ(w.statusText(1), "1 records found.");
}

// The password commands re-key the selected class or the library (the root) with their own
// prompts, and say how it went.
TEST_F(TreeListsTest, PasswordCommandsReKeyTheClassOrTheLibrary) {
    struct Case {
        const char* command;
        std::string answer;
        int32_t keyed;  // the record whose password is then `answer`; 0: none changed
        std::string prompt;
        QString status;
    };
    const std::vector<Case> cases = {
        {"menu_更改当前书类口令", "new", ids["Alpha"], "Please input password for Class <Alpha>: ",
         "Changing Password OK!"},
        {"menu_更改当前书类口令", "cancel", 0, "Please input password for Class <Alpha>: ",
         "Password changing canceled!"},
        {"menu_更改书库口令", "libpw", 1, "Please input password for Lib <books>: ", "Lib Password Changed!"},
        {"menu_更改书库口令", "cancel", 0, "Please input password for Lib <books>: ", "Password changing canceled!"},
    };
    for (const Case& c : cases) {
        auto& w = open(QString::fromStdString(library));
        std::vector<std::string> asked;
        w.cbook.passwordPrompts.changePassword = [&](const std::string&, const std::string& prompt) {
            asked.push_back(prompt);
            return c.answer;
        };
        click("Alpha");
        w.findChild<QAction*>(c.command)->trigger();
        ASSERT_EQ(asked.size(), 1u) << c.command;
        EXPECT_EQ(asked[0], c.prompt);
        EXPECT_EQ(w.statusText(1), c.status) << c.prompt;
        window.reset();
        settings.reset();
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(library));
        for (int32_t id : {int32_t(1), ids["Alpha"]})
            EXPECT_EQ(book.getPasswd(id), id == c.keyed ? c.answer : "ok") << c.prompt << " record " << id;
        if (c.keyed) EXPECT_TRUE(book.putPasswd("ok", c.keyed));
    }
}

// The tree's popup menu, item by item in order: caption, name, shortcut; submenu items are
// indented. The icon-size submenu is there but hidden.
TEST_F(TreeListsTest, PopupMenuHasEveryItemInOrder) {
    auto& w = open("");
    QStringList shown;
    const std::function<void(QMenu*, const QString&)> list = [&](QMenu* menu, const QString& indent) {
        for (QAction* action : menu->actions()) {
            QMenu* sub = action->menu();
            const QString caption = action->isSeparator() ? "-" : action->text();
            const QString name = sub ? sub->objectName() : action->objectName();
            shown << indent + caption + "|" + name + "|" + action->shortcut().toString() +
                         (action->isVisible() ? "" : "|hidden");
            if (sub && name != "menu_选择书库文件") list(sub, indent + "... ");
        }
    };
    list(w.pmenu, "");
    const QStringList expected = {
        "Go Parent Node|menu_去上级目录|Ctrl+S",
        "Go Parent Next|menu_去下一目录|Ctrl+X",
        "Mark Me Readed|menu_标为已读|Ctrl+R",
        "Mark Me Not Readed|menu_标为未读|Ctrl+T",
        "Refresh Selected Node|menu_刷新节点|Ctrl+U",
        "Full Screen Show|menu_全屏幕浏览|Ctrl+F",
        "Open Me With OS |menu_用notepad打开|Ctrl+W",
        "List Selected Class|menu_列表选定类型tvw1|",
        "-|menu_dsf89sd8fg9|",
        "Change Library Password|menu_更改书库口令|Ctrl+L",
        "Change Class Passwd|menu_更改当前书类口令|Ctrl+P",
        "Open A Book Lib|menu_打开书库文件|Ctrl+O",
        "Select Book Lib|menu_选择书库文件|",
        "Show ListView|menu_showListview|",
        "... Show Book Doc ListView|menu_showBookListView|Ctrl+Ins",
        "... Show Search Doc ListView|menu_showSearchListView|Shift+Ins",
        "Roll Back Selection|menu_undo1|Ctrl+Z",
        "User Manual|menu_usermanual|",
        "Options|menu_设置参数|",
        "&Quit|menu_QuitAll|",
        "图标大小|menu_图标大小zz||hidden",
        "... 小号|menu_小号|",
        "... 中号|menu_中号|",
        "... 大号|menu_大号|",
    };
    EXPECT_EQ(shown, expected);
}
