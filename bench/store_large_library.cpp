// A library of 1,000,000 records: opening it against opening one of 1,000, and a title
// search against sqlite3 running the equivalent LIKE query on the same file.
#include <sqlite3.h>

#include <cstdio>

#include "store/memory_controls.h"
#include "store_library.h"

namespace {

// Root, classes of 10,000 documents each; titles "文档 <n> Doc".
std::string libraryOf(int records) {
    return bench_store::library("records" + std::to_string(records) + ".mdb", [records](bench_store::LibraryWriter& w) {
        const engine::Bytes content{'t', 'e', 'x', 't'};
        int32_t id = 1, cls = 0;
        char title[64];
        for (int r = 1; r < records; ++r) {
            if ((r - 1) % 10001 == 0) {
                cls = ++id;
                w.addClass(cls, 1, "类 " + std::to_string(cls));
                continue;
            }
            std::snprintf(title, sizeof title, "文档 %07d Doc", r);
            w.addDoc(++id, cls, title, content);
        }
    });
}

void openAndClose(const std::string& file) {
    store::ctreebook book;
    if (!book.openDB(file) || book.lastID() < 1) throw std::runtime_error("cannot open " + file);
    book.closeDB();
}

const char* const kKey = "99999";

int32_t ourTitleSearch() {
    static store::ctreebook book;
    if (!book.openOK()) book.openDB(libraryOf(1000000));
    store::MemoryList list;
    return book.searchKeyToLVW(kKey, list, false);
}

int baseTitleSearch() {
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        sqlite3_open_v2(libraryOf(1000000).c_str(), &d, SQLITE_OPEN_READONLY, nullptr);
        return d;
    }();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT id, bt, pid FROM tree WHERE path = 0 AND bt LIKE ?", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, (std::string("%") + kKey + "%").c_str(), -1, SQLITE_TRANSIENT);
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        benchmark::DoNotOptimize(sqlite3_column_int(st, 0));
        benchmark::DoNotOptimize(sqlite3_column_text(st, 1));
        benchmark::DoNotOptimize(sqlite3_column_int(st, 2));
        ++rows;
    }
    sqlite3_finalize(st);
    return rows;
}

}  // namespace

void registerBenchmarks() {
    bench::pair(
        "open_scaling", [] { openAndClose(libraryOf(1000000)); }, [] { openAndClose(libraryOf(1000)); },
        [] {
            libraryOf(1000);
            libraryOf(1000000);
        });
    bench::pair(
        "title_search", [] { benchmark::DoNotOptimize(ourTitleSearch()); },
        [] { benchmark::DoNotOptimize(baseTitleSearch()); },
        [] {
            if (ourTitleSearch() != baseTitleSearch()) throw std::runtime_error("the two searches disagree");
        });
}
