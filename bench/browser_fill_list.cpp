// Listing a class of 10,000 documents in ListView1 against inserting 10,000 prepared rows of
// the same texts into the same widget. Both sides end once the list is on screen (pending
// events run), as a user sees it.
#include "browser_support.h"
#include "support/bench.h"

#include "platform/pump.h"

#include <QTreeWidget>

#include <stdexcept>

namespace {

// Left to the end of the process: the window outlives the benchmark runs.
browser::MainWindow* window = nullptr;
int32_t classId = 0;
std::vector<QStringList> rows;

void setUp() {
    setenv("VYNE_HOME", bench::scratchDir().c_str(), 1);
    const std::string library = bench::scratchDir() + "/list.mdb";
    {
        store::ctreebook book;
        if (!book.createBookMDB(library) || !book.openDB(library)) throw std::runtime_error("no library");
        classId = book.insertPathBT("Many", 1);
        const store::Bytes content(300, 'a');
        for (int i = 0; i < 10000; ++i)
            if (book.insertRec(classId, "Document " + std::to_string(i), "txt", content) == 0)
                throw std::runtime_error("insert failed");
    }
    window = browser_bench::windowOn(library).release();
    window->showBookClass(classId);
    if (window->ListView1->topLevelItemCount() != 10000) throw std::runtime_error("list not filled");
    for (int i = 0; i < window->ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = window->ListView1->topLevelItem(i);
        rows.push_back({row->text(0), row->text(1), row->text(2), row->text(3), row->text(4)});
    }
}

void insertPrepared() {
    QTreeWidget* list = window->ListView1;
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows.size()));
    for (const QStringList& texts : rows) items.push_back(new QTreeWidgetItem(texts));
    list->addTopLevelItems(items);
    platform::yield(0);
    benchmark::DoNotOptimize(list->topLevelItemCount());
}

}  // namespace

void registerBenchmarks() {
    bench::pair(
        "fill_list",
        [] {
            window->showBookClass(classId);
            benchmark::DoNotOptimize(window->ListView1->topLevelItemCount());
        },
        insertPrepared, setUp);
}
