#include "window_fixture.h"

#include "browser/picture_pane.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QWheelEvent>
#include <QPlainTextEdit>
#include <QTreeWidget>

using namespace browser_test;

TEST_F(WindowTest, ControlsCarryTheirDesignNames) {
    auto& w = open("");
    for (const char* name : {"tvw1", "ListView1", "ListView2", "rt1", "Picture1", "Picture2", "Picture3", "Text1",
                             "Combo1", "Combo4", "Command1", "Command2", "Command3", "Command4", "Command5",
                             "Command6", "CommResize", "Frame1", "Text2", "Frame3", "Timer1", "StatusBar1",
                             "WebBrowser1", "WMP1", "PDF1", "FramerControl1"})
        EXPECT_NE(w.findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(w.windowTitle(), "VYNE Browser");
    EXPECT_EQ(w.Combo4->count(), 4);
    EXPECT_EQ(w.Combo4->currentText(), "Search Title");
    EXPECT_FALSE(w.Frame1->isVisible());
    // Every item of the tree's popup menu is there with its shortcut.
    const std::vector<std::pair<const char*, const char*>> items = {
        {"menu_去上级目录", "Ctrl+S"}, {"menu_去下一目录", "Ctrl+X"},      {"menu_标为已读", "Ctrl+R"},
        {"menu_标为未读", "Ctrl+T"},   {"menu_刷新节点", "Ctrl+U"},        {"menu_全屏幕浏览", "Ctrl+F"},
        {"menu_用notepad打开", "Ctrl+W"}, {"menu_更改书库口令", "Ctrl+L"}, {"menu_更改当前书类口令", "Ctrl+P"},
        {"menu_打开书库文件", "Ctrl+O"}, {"menu_undo1", "Ctrl+Z"},         {"menu_showBookListView", "Ctrl+Ins"},
        {"menu_showSearchListView", "Shift+Ins"}, {"menu_usermanual", ""}, {"menu_QuitAll", ""}};
    for (const auto& [name, keys] : items) {
        auto* action = w.pmenu->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->shortcut().toString(), keys) << name;
    }
}

TEST_F(WindowTest, CommandLineLibraryIsOpenedAndAddedToHistory) {
    const std::string other = dir.file("other.mdb");
    makeLibrary(other);
    browser::BrowserSettings initial;
    initial.myDBName = other;
    auto& w = open(QString::fromStdString(library), initial);
    EXPECT_EQ(w.windowTitle(), "VYNE Browser -- " + QString::fromStdString(library));
    ASSERT_EQ(w.history().size(), 1u);
    EXPECT_EQ(w.history()[0], library);
    EXPECT_EQ(w.Combo1->currentText(), "books.mdb");
    ASSERT_NE(w.nodeByKey("1id"), nullptr);
    EXPECT_TRUE(w.nodeByKey("1id")->isExpanded());
    EXPECT_NE(node("Alpha"), nullptr);
}

TEST_F(WindowTest, LastLibraryOpensWithoutTouchingHistory) {
    browser::BrowserSettings initial;
    initial.myDBName = library;
    auto& w = open("", initial);
    EXPECT_EQ(w.windowTitle(), "VYNE Browser -- " + QString::fromStdString(library));
    EXPECT_TRUE(w.history().empty());
}

TEST_F(WindowTest, LastLibraryThatIsNoLibraryIsReported) {
    const std::string bogus = dir.file("notes.mdb");
    testing_support::writeFile(bogus, "plain text, not a database");
    browser::BrowserSettings initial;
    initial.myDBName = bogus;
    auto& w = open("", initial);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Note|File " + QString::fromStdString(bogus) + " isn't a book lib!, can't load in.");
    EXPECT_EQ(w.tvw1->topLevelItemCount(), 0);
}

TEST_F(WindowTest, NonLibraryIsRefusedAndTheShownLibraryStays) {
    auto& w = open(QString::fromStdString(library));
    const std::string bogus = dir.file("picture.mdb");
    testing_support::writeFile(bogus, "GIF89a");
    EXPECT_FALSE(w.openBookLib(QString::fromStdString(bogus)));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Note|File " + QString::fromStdString(bogus) +
                               " is not a book Library!, can't load into the browser.");
    EXPECT_EQ(w.windowTitle(), "VYNE Browser -- " + QString::fromStdString(library));
    EXPECT_NE(node("Alpha"), nullptr);
    EXPECT_EQ(w.history().size(), 1u);
}

TEST_F(WindowTest, OpenButtonOpensTheChosenLibrary) {
    auto& w = open("");
    fileAnswer = "";
    w.command1Click();
    EXPECT_EQ(w.windowTitle(), "VYNE Browser");
    fileAnswer = QString::fromStdString(library);
    w.command1Click();
    EXPECT_EQ(w.windowTitle(), "VYNE Browser -- " + fileAnswer);
    EXPECT_EQ(w.settings().currWorkPath, library);
    // Opening it again with other letter case adds no history entry.
    EXPECT_TRUE(w.openBookLib(fileAnswer));
    EXPECT_EQ(w.history().size(), 1u);
}

TEST_F(WindowTest, ClassListsItsDocumentsAndLoadsItsChildren) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    EXPECT_TRUE(w.ListView1->isVisible());
    EXPECT_EQ(w.ListView1->topLevelItemCount(), 11);
    EXPECT_EQ(w.listedClassId(), ids["Alpha"]);
    EXPECT_EQ(w.Text1->text(), "Alpha");
    EXPECT_TRUE(w.statusText(1).startsWith("Alpha/11 Docs("));
    EXPECT_NE(node("Inner"), nullptr);
    EXPECT_TRUE(node("Alpha")->isExpanded());
}

// One row per family: what a click on the document shows.
TEST_F(WindowTest, DocumentsGoToTheViewerOfTheirFormat) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    const QString tmp = QString::fromStdString(home.path()) + "/tmp/";
    struct Case {
        std::string title;
        QString viewer;  // what a viewer (or the OS) was given; empty: nothing
        QString status;
    };
    const std::vector<Case> cases = {
        {"Manual", "pdf:" + tmp + "Manual.pdf", "Alpha(pdf/1K)"},
        {"Page", "web:" + tmp + "Page.htm", "Alpha(htm/1K)"},
        {"Site", "web:http://example.org/", "Alpha(url/1K)"},
        {"Letter", "office:" + tmp + "Letter.doc", "Alpha(doc/1K)"},
        {"Movie", "os:" + tmp + "Movie.swf", "Alpha(swf/1K)  Movie.swf was handed to the operating system."},
        {"Nowhere", "", "Alpha(url/0K)"},
    };
    for (const Case& c : cases) {
        viewerLog().clear();
        handedToOS.clear();
        click(c.title);
        QString shown;
        if (!viewerLog().empty()) shown = viewerLog().back();
        if (!handedToOS.empty()) shown = "os:" + handedToOS.back();
        EXPECT_EQ(shown, c.viewer) << c.title;
        EXPECT_EQ(w.statusText(1), c.status) << c.title;
        EXPECT_FALSE(w.ListView1->isVisible()) << c.title;
    }
}

TEST_F(WindowTest, TextAndPicturesAreShownInTheWindow) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.rt1->toPlainText(), "你好世界 hello");
    EXPECT_EQ(w.rt1->textCursor().selectionEnd(), 2);
    EXPECT_EQ(w.Text1->text(), "Story");
    EXPECT_GT(w.cbook.sizeByid(ids["Story"]), 0);

    click("Empty");
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_TRUE(w.rt1->toPlainText().isEmpty());
    EXPECT_EQ(w.cbook.sizeByid(ids["Empty"]), 0) << "an empty document's size is not stored";

    click("Red");
    EXPECT_TRUE(w.Picture1->isVisible());
    EXPECT_FALSE(w.rt1->isVisible());
    EXPECT_EQ(w.Picture1->picture().size(), QSize(40, 30));

    // "Picture Original Size" redraws the shown picture at its own size and back.
    auto* ownSize = w.findChild<QAction*>("menu_图像扩展");
    ASSERT_NE(ownSize, nullptr);
    ownSize->toggle();
    EXPECT_TRUE(w.Picture1->hasPicture());
    EXPECT_EQ(w.Picture1->size(), QSize(40, 30));
    ownSize->toggle();
    EXPECT_TRUE(w.Picture1->hasPicture());
    EXPECT_GT(w.Picture1->width(), 40);
}

TEST_F(WindowTest, NextAndPreviousWalkTheClass) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    w.goNextPrevDoc(1);
    EXPECT_EQ(w.selectedNode(), node("Empty"));
    w.goNextPrevDoc(0);
    EXPECT_EQ(w.selectedNode(), node("Story"));
    EXPECT_EQ(w.showNextNR(1), "");  // Empty: a text document without content
    // From the last child of Alpha the walk enters Beta at its first child.
    click("Inner");
    click("Deep");
    EXPECT_EQ(w.selectedNode(), node("Deep"));
    w.goNextPrevDoc(1);
    EXPECT_EQ(w.selectedNode(), node("Deep")) << "Inner has no next sibling";
    w.selectAndShow(node("Inner"));
    EXPECT_EQ(w.showNextNR(1), "second text");
    EXPECT_EQ(w.selectedNode(), node("Second"));
}

TEST_F(WindowTest, RollBackReturnsToThePreviousSelection) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    w.rollBackSelection();
    EXPECT_EQ(w.selectedNode(), node("Alpha")) << "one selection: nothing to roll back to";
    click("Story");
    click("Beta");
    w.rollBackSelection();
    EXPECT_EQ(w.selectedNode(), node("Story"));
    EXPECT_TRUE(w.rt1->isVisible());
    w.rollBackSelection();
    EXPECT_EQ(w.selectedNode(), node("Alpha"));
}

TEST_F(WindowTest, ReadMarksRecolourTheSubtree) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Inner");
    w.selectAndShow(node("Alpha"));
    const char* const subtree[] = {"Alpha", "Story", "Inner", "Deep"};
    std::map<std::string, QColor> before;
    for (const char* title : subtree) before[title] = node(title)->foreground(0).color();
    w.markRead(true);
    const QColor green(0, 255, 0);
    for (const char* title : subtree) EXPECT_EQ(node(title)->foreground(0).color(), green) << title;
    EXPECT_NE(node("Beta")->foreground(0).color(), green);
    w.markRead(false);
    // Unmarked, every node wears the colour the tree gave it when it was filled.
    for (const char* title : subtree) EXPECT_EQ(node(title)->foreground(0).color(), before[title]) << title;
    EXPECT_NE(before["Alpha"], before["Inner"]) << "a class below the root has the top-level colour";
    EXPECT_EQ(node("Story")->foreground(0).color(), QColor(0, 0, 0));
    EXPECT_FALSE(w.cbook.currRec().readed);
}

TEST_F(WindowTest, RefreshReloadsAClassAndLeavesADocument) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    w.refreshSelectedNode();
    EXPECT_EQ(node("Alpha")->childCount(), 11);
    EXPECT_NE(node("Story"), nullptr);
    click("Story");
    w.refreshSelectedNode();
    EXPECT_EQ(node("Story")->childCount(), 0);
}

TEST_F(WindowTest, ListRowsEnterClassesAndShowDocuments) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    QTreeWidgetItem* innerRow = nullptr;
    QTreeWidgetItem* storyRow = nullptr;
    for (int i = 0; i < w.ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = w.ListView1->topLevelItem(i);
        if (row->text(0) == "Inner") innerRow = row;
        if (row->text(0) == "Story") storyRow = row;
    }
    ASSERT_TRUE(innerRow && storyRow);
    emit w.ListView1->itemDoubleClicked(storyRow, 0);
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.selectedNode(), node("Story"));
    w.showBookListView();
    emit w.ListView1->itemClicked(innerRow, 0);
    EXPECT_EQ(w.selectedNode(), node("Inner"));
    EXPECT_EQ(w.listedClassId(), ids["Inner"]);
}

TEST_F(WindowTest, SearchModesReportTheirCounts) {
    auto& w = open(QString::fromStdString(library));
    w.Text1->setText("   ");
    w.runSearch();
    EXPECT_EQ(w.statusText(1), "Please input the key word you search in the left text box.");

    w.Text1->setText(" e ");
    w.Combo4->setCurrentText("Search Title");
    w.runSearch();
    EXPECT_TRUE(w.ListView2->isVisible());
    EXPECT_EQ(w.statusText(1), QString::number(w.ListView2->topLevelItemCount()) + " records found.");
    EXPECT_GT(w.ListView2->topLevelItemCount(), 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "e");

    w.Text1->setText("zzz-nothing");
    w.runSearch();
    EXPECT_EQ(w.statusText(1), "0 records found.");

    w.Text1->setText("Inner");
    w.Combo4->setCurrentText("Search Class");
    w.runSearch();
    EXPECT_EQ(w.statusText(1), "1 records found.");

    // Content searches start at the selected node.
    w.tvw1->setCurrentItem(nullptr);
    w.showStatus("before", 1);
    w.Text1->setText("text");
    w.Combo4->setCurrentText("Search TextDoc");
    w.runSearch();
    EXPECT_EQ(w.statusText(1), "before");
    EXPECT_EQ(w.ListView2->topLevelItemCount(), 0);
    click("Alpha");  // the class's title goes to Text1
    w.Text1->setText("text");
    w.runSearch();
    EXPECT_EQ(w.statusText(1), "1 records found.");  // Deep, in Inner below Alpha

    // A double click on a result walks the tree to it without showing it.
    emit w.ListView2->itemDoubleClicked(w.ListView2->topLevelItem(0), 0);
    EXPECT_EQ(w.selectedNode(), node("Deep"));
    EXPECT_TRUE(w.ListView2->isVisible());
}

TEST_F(WindowTest, SplitterMovesWithinItsLimits) {
    auto& w = open(QString::fromStdString(library));
    const int start = w.tvw1->width();
    const int splitterLeft = w.CommResize->x();
    w.startSplitterDrag(2);
    w.dropSplitter(splitterLeft + 2 + 50);
    EXPECT_EQ(w.tvw1->width(), start + 50);
    EXPECT_EQ(w.CommResize->x(), splitterLeft + 50);

    // Too far right: less than the minimum would remain; nothing moves.
    w.startSplitterDrag(2);
    w.dropSplitter(w.width() - 2);
    EXPECT_EQ(w.tvw1->width(), start + 50);

    // Far left: the tree keeps a usable width.
    w.startSplitterDrag(2);
    w.dropSplitter(0);
    EXPECT_EQ(w.tvw1->width(), browser::MainWindow::kMinTreeWidth);
    EXPECT_EQ(w.ListView1->x(), w.CommResize->x() + w.CommResize->width());
}

TEST_F(WindowTest, ShutdownEmptiesTheTemporaryFolderAndKeepsTheLibrary) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Manual");
    const QDir tmp(QString::fromStdString(home.path()) + "/tmp");
    EXPECT_FALSE(tmp.entryList(QDir::Files).isEmpty());
    w.close();
    EXPECT_TRUE(tmp.entryList(QDir::Files).isEmpty());
    EXPECT_EQ(settings->load().myDBName, library);
    EXPECT_EQ(settings->load().history.size(), 1u);
}

TEST_F(WindowTest, ReadOnlyLibraryIsSaidOnce) {
    const std::string jet = dir.file("old.mdb");
    std::filesystem::copy_file(testing_support::jetFixturePath("library_basic.mdb"), jet);
    auto& w = open(QString::fromStdString(jet));
    ASSERT_TRUE(w.cbook.openOK());
    EXPECT_TRUE(w.statusText(3).contains("vlib convert"));
    EXPECT_TRUE(w.openBookLib(QString::fromStdString(library)));
    EXPECT_TRUE(w.statusText(3).isEmpty());
}

TEST_F(WindowTest, WheelOverAPictureStepsThroughTheClass) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Red");
    const auto wheel = [&w](int delta) {
        QWheelEvent event(QPointF(5, 5), w.Picture1->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.Picture1, &event);
    };
    wheel(-120);
    EXPECT_EQ(w.selectedNode(), node("Blue"));
    EXPECT_TRUE(w.Picture1->isVisible());
    wheel(-120);
    EXPECT_EQ(w.selectedNode(), node("Letter")) << "selected, but not a picture: not shown";
    EXPECT_TRUE(w.Picture1->isVisible());
    wheel(120);
    EXPECT_EQ(w.selectedNode(), node("Blue"));
}

TEST_F(WindowTest, PictureDroppedFromAnotherProgramIsShown) {
    auto& w = open("");
    QMimeData data;
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    data.setImageData(image);
    w.showPicBytes({}, false);
    EXPECT_TRUE(w.Picture1->takeDrop(&data));
    EXPECT_EQ(w.Picture1->picture().size(), QSize(12, 8));
    QMimeData text;
    text.setText("not a picture");
    EXPECT_FALSE(w.Picture1->takeDrop(&text));
    EXPECT_EQ(w.Picture1->picture().size(), QSize(12, 8));
}

TEST_F(WindowTest, KeyboardAndRightClickOnTheTree) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    w.tvw1->setCurrentItem(node("Story"));
    QKeyEvent down(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(w.tvw1, &down);
    EXPECT_TRUE(w.rt1->isVisible()) << "releasing the arrow key shows the current node";
    EXPECT_EQ(w.Text1->text(), "Story");

    // A right click selects the node under the pointer without showing it.
    const QRect row = w.tvw1->visualItemRect(node("Manual"));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(row.center()), w.tvw1->viewport()->mapToGlobal(QPointF(row.center())),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(w.tvw1->viewport(), &press);
    EXPECT_EQ(w.selectedNode(), node("Manual"));
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_TRUE(viewerLog().empty());
    w.pmenu->close();
}

TEST_F(WindowTest, TitlesNeverLeaveTheTemporaryFolder) {
    {
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(library));
        ids["Escape"] = book.insertRec(ids["Beta"], "../../escape", "dat", bytesOf("data"));
    }
    open(QString::fromStdString(library));
    click("Beta");
    click("Escape");
    ASSERT_EQ(handedToOS.size(), 1u);
    const QString tmp = QString::fromStdString(home.path()) + "/tmp/";
    EXPECT_TRUE(handedToOS[0].startsWith(tmp)) << handedToOS[0].toStdString();
    EXPECT_FALSE(handedToOS[0].mid(tmp.size()).contains('/'));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home.path()) + "/../escape.dat"));
}

TEST_F(WindowTest, HeaderClicksSortTheDocumentList) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    const auto column = [&w](int c) {
        QStringList cells;
        for (int i = 0; i < w.ListView1->topLevelItemCount(); ++i) cells << w.ListView1->topLevelItem(i)->text(c);
        return cells;
    };
    w.sortListView(0);  // the first click turns the ascending list descending
    QStringList titles = column(0);
    QStringList expected = titles;
    std::sort(expected.begin(), expected.end(), std::greater<QString>());
    EXPECT_EQ(titles, expected);
    EXPECT_FALSE(w.ListView1->headerItem()->icon(0).isNull());
    EXPECT_TRUE(w.ListView1->headerItem()->icon(1).isNull());

    w.sortListView(1);  // ascending by number
    const QStringList sizes = column(1);
    const auto kilobytes = [](QString cell) { return cell.remove('K').toInt(); };
    EXPECT_GT(kilobytes(sizes.back()), 0);
    for (int i = 1; i < sizes.size(); ++i)
        EXPECT_LE(kilobytes(sizes[i - 1]), kilobytes(sizes[i])) << sizes.join(",").toStdString();
    EXPECT_TRUE(w.ListView1->headerItem()->icon(0).isNull());
    EXPECT_FALSE(w.ListView1->headerItem()->icon(1).isNull());
    w.sortListView(3);
    EXPECT_EQ(w.ListView1->topLevelItemCount(), 11);
}

TEST_F(WindowTest, UserManualShowsTheWordFormOrElseTheHtml) {
    auto& w = open(QString::fromStdString(library));
    w.showUserManual();
    EXPECT_TRUE(viewerLog().empty());
    EXPECT_EQ(w.statusText(1), "VYNEBrowser_UserManual.doc not found.");

    const std::string html = home.file("VYNEBrowser_UserManual.html");
    testing_support::writeFile(html, "<h1>Manual</h1>");
    w.showUserManual();
    ASSERT_FALSE(viewerLog().empty());
    EXPECT_EQ(viewerLog().back(), "web:" + QString::fromStdString(html));

    const std::string doc = home.file("VYNEBrowser_UserManual.doc");
    testing_support::writeFile(doc, "not really a doc");
    w.showUserManual();
    EXPECT_EQ(viewerLog().back(), "office:" + QString::fromStdString(doc));
}
