// Listing a class of 10,000 documents into a list control against one SQLite query that
// reads the same fields of the same rows.
#include <sqlite3.h>

#include "store/memory_controls.h"
#include "store_library.h"

namespace {

constexpr int32_t kClass = 2;
constexpr int kDocs = 10000;

std::string libraryFile() {
    return bench_store::library("list.mdb", [](bench_store::LibraryWriter& w) {
        bench_store::TextMaker text;
        w.addClass(kClass, 1, "big class");
        w.addClass(3, 1, "other class");
        for (int d = 0; d < kDocs; ++d) {
            w.addDoc(10 + 2 * d, kClass, "文档 " + std::to_string(d) + " Doc", text.make(100 + text.random.below(2000)),
                     d % 10 ? "txt" : "htm");
            w.addDoc(11 + 2 * d, 3, "other " + std::to_string(d), text.make(50));
        }
    });
}

class Icons : public store::IconProvider {
public:
    std::string iconKey(const std::string& format) override { return "icon:" + format; }
};

store::ctreebook& book() {
    static Icons small, large;
    static store::ctreebook b;
    if (!b.openOK()) {
        b.openDB(libraryFile());
        b.addImgList(16, &small, "", 0);
        b.addImgList(32, &large, "", 0);
    }
    return b;
}

struct Row {
    int id, size, nrSize;
    bool path, readed, zed;
    double dt;
    std::string bt, gs;
};

size_t baseline() {
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        sqlite3_open_v2(libraryFile().c_str(), &d, SQLITE_OPEN_READONLY, nullptr);
        return d;
    }();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT t.id, t.bt, t.path, t.size, t.dt, t.readed, n.gs, n.size, n.zed "
                       "FROM tree t LEFT JOIN nr n ON n.id = t.id WHERE t.pid = ? ORDER BY t.id",
                       -1, &st, nullptr);
    sqlite3_bind_int(st, 1, kClass);
    std::vector<Row> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        auto text = [&](int c) {
            const unsigned char* t = sqlite3_column_text(st, c);
            return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
        };
        rows.push_back({sqlite3_column_int(st, 0), sqlite3_column_int(st, 3), sqlite3_column_int(st, 7),
                        sqlite3_column_int(st, 2) != 0, sqlite3_column_int(st, 5) != 0,
                        sqlite3_column_int(st, 8) != 0, sqlite3_column_double(st, 4), text(1), text(6)});
    }
    sqlite3_finalize(st);
    return rows.size();
}

}  // namespace

void registerBenchmarks() {
    bench::pair(
        "list_class",
        [] {
            store::MemoryList list;
            benchmark::DoNotOptimize(book().btToListView(list, kClass, false));
            benchmark::DoNotOptimize(list.items.data());
        },
        [] { benchmark::DoNotOptimize(baseline()); },
        [] {
            store::MemoryList list;
            if (book().btToListView(list, kClass, false) != static_cast<int32_t>(baseline()))
                throw std::runtime_error("the two listings disagree");
        });
}
