// The window indexes an opened library's contents on a worker thread; content searches give
// the scan's rows before, while and after it, also after the window itself wrote the library.
#include "platform/viewer_test_support.h"
#include "window_fixture.h"

#include "content_index/content_index.h"
#include "store/memory_controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

#include <filesystem>

namespace {

using browser_test::WindowTest;
namespace fs = std::filesystem;

class ContentIndexWindow : public WindowTest {
protected:

    // The rows (title and parent path) of a content search in the window.
    std::vector<std::pair<QString, QString>> windowSearch(const QString& key, const char* mode) {
        window->Text1->setText(key);
        window->Combo4->setCurrentText(mode);
        window->runSearch();
        std::vector<std::pair<QString, QString>> rows;
        for (int i = 0; i < window->ListView2->topLevelItemCount(); ++i)
            rows.emplace_back(window->ListView2->topLevelItem(i)->text(0), window->ListView2->topLevelItem(i)->text(1));
        return rows;
    }
    // The same search by scan in a store of its own.
    std::vector<std::pair<QString, QString>> scan(const std::string& key, int32_t start, const std::string& format) {
        store::ctreebook book;
        book.setReadOnlyOpen(true);
        book.openDB(library);
        store::MemoryList list;
        book.searchKeyToLVWNR(key, list, start, format);
        std::vector<std::pair<QString, QString>> rows;
        for (const store::ListItem& item : list.items)
            rows.emplace_back(QString::fromStdString(item.text), QString::fromStdString(item.subItems[0]));
        return rows;
    }
    bool indexReady() {
        return waitUntil([this] { return window->contentIndex() && window->contentIndex()->current(); }, 20000);
    }

    std::string cache = home.file("cache");  // the fixture's XDG_CACHE_HOME
};

TEST_F(ContentIndexWindow, IndexIsMadeInTheBackgroundAndSearchesKeepTheScansRows) {
    auto& w = open(QString::fromStdString(library));
    ASSERT_TRUE(indexReady());
    EXPECT_EQ(w.statusText(4), "Contents indexed.");
    EXPECT_TRUE(fs::exists(cindex::indexFileFor(library, "nr")));

    click("Alpha");
    for (const auto& [key, mode, format] :
         {std::tuple{"hello", "Search TextDoc", "txt"}, {"text", "Search AllDoc", ""}, {"你好", "Search AllDoc", ""},
          {"hi", "Search AllDoc", ""}, {"nowhere at all", "Search TextDoc", "txt"}}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(windowSearch(QString::fromUtf8(key), mode), scan(key, ids["Alpha"], format));
    }
    EXPECT_EQ(windowSearch("hello", "Search TextDoc").size(), 1u);

    // The window writes the library (a read mark): the index no longer answers, the search
    // scans and a new index is made behind it.
    click("Story");
    w.markRead(true);
    EXPECT_FALSE(w.contentIndex()->current());
    click("Alpha");
    EXPECT_EQ(windowSearch("hello", "Search TextDoc"), scan("hello", ids["Alpha"], "txt"));
    ASSERT_TRUE(indexReady());

    // Another program adds a document while the window is open.
    {
        store::ctreebook other;
        ASSERT_TRUE(other.openDB(library));
        other.insertNRBT(ids["Alpha"], "Later", "hello again");
    }
    const auto rows = windowSearch("hello", "Search TextDoc");
    EXPECT_EQ(rows, scan("hello", ids["Alpha"], "txt"));
    EXPECT_EQ(rows.size(), 2u);
    ASSERT_TRUE(indexReady());
    EXPECT_EQ(windowSearch("hello", "Search TextDoc"), rows);
}

TEST_F(ContentIndexWindow, ClosingTheWindowWhileIndexingLeavesNoHalfIndex) {
    open(QString::fromStdString(library));
    window->shutdown();
    window.reset();  // joins the stopped worker
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(cache + "/vyne-browser", ec))
        EXPECT_EQ(entry.path().extension(), ".vcix") << entry.path();
    // Whatever is there is whole.
    if (fs::exists(cindex::indexFileFor(library, "nr"))) EXPECT_TRUE(cindex::openCurrentIndex(library, "nr", true));
}

}  // namespace
