// Content search over a class tree of 20,000 text documents (about 154 MB of content) against
// a plain loop that only inflates the same stored streams and scans them with memmem; and the
// memory one search needs above what the process held before it, against a budget of 64 MB.
#include <malloc.h>
#include <sqlite3.h>
#include <zlib.h>

#include <cstring>
#include <fstream>

#include <benchmark/benchmark.h>

#include "store/memory_controls.h"
#include "store_library.h"
#include "util/codepage.h"

namespace {

constexpr int kClasses = 10, kSubClasses = 20, kDocsPerClass = 100;

const engine::Bytes& key() {
    static const engine::Bytes k = util::utf8ToAnsi("目录书签");
    return k;
}

std::string libraryFile() {
    return bench_store::library("content.mdb", [](bench_store::LibraryWriter& w) {
        bench_store::TextMaker text;
        int32_t id = 1;
        int docs = 0;
        for (int c = 0; c < kClasses; ++c) {
            const int32_t cls = ++id;
            w.addClass(cls, 1, "class " + std::to_string(c));
            for (int s = 0; s < kSubClasses; ++s) {
                const int32_t sub = ++id;
                w.addClass(sub, cls, "sub " + std::to_string(s));
                for (int d = 0; d < kDocsPerClass; ++d, ++docs) {
                    engine::Bytes content = text.make(5000 + text.random.below(5400));
                    // One document in 200 holds the key, late in its text, at a character start.
                    if (docs % 200 == 0) {
                        size_t at = 0;
                        while (at < content.size() - 200) at += content[at] >= 0x81 && content[at] <= 0xFE ? 2 : 1;
                        std::copy(key().begin(), key().end(), content.begin() + static_cast<long>(at));
                    }
                    w.addDoc(++id, sub, "doc " + std::to_string(docs), std::move(content));
                }
            }
        }
    });
}

store::ctreebook& book() {
    static store::ctreebook b;
    if (!b.openOK()) b.openDB(libraryFile());
    return b;
}

int32_t ourSearch() {
    store::MemoryList list;
    int32_t root = 1;
    return book().searchKeyToLVWNR(util::ansiToUtf8(key()), list, root, "txt");
}

// Reads every stored stream, inflates it and looks for the key.
int baseline() {
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        sqlite3_open_v2(libraryFile().c_str(), &d, SQLITE_OPEN_READONLY, nullptr);
        return d;
    }();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT nr, size FROM nr WHERE gs = 'txt'", -1, &st, nullptr);
    std::vector<uint8_t> out;
    int found = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const auto* stream = static_cast<const Bytef*>(sqlite3_column_blob(st, 0));
        const uLong streamLen = static_cast<uLong>(sqlite3_column_bytes(st, 0));
        uLongf len = static_cast<uLongf>(sqlite3_column_int(st, 1)) + 1;
        out.resize(len);
        if (uncompress(out.data(), &len, stream, streamLen) != Z_OK) continue;
        if (memmem(out.data(), len, key().data(), key().size())) ++found;
    }
    sqlite3_finalize(st);
    return found;
}

constexpr double kMemoryBudgetMb = 64;

// Peak memory during one search in MB, above what the process held just before it. Freed heap
// is first given back, or a search after the first would reuse pages still held and show
// nothing; writing 5 to clear_refs resets the peak to the present size.
double searchMemoryMb() {
    malloc_trim(0);
    const long before = bench_store::statusKb("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";
    benchmark::DoNotOptimize(ourSearch());
    return static_cast<double>(std::max(0L, bench_store::statusKb("VmHWM:") - before)) / 1024.0;
}

void checkSearchesAgree() {
    book();
    if (ourSearch() != baseline()) throw std::runtime_error("the two searches disagree");
}

}  // namespace

void registerBenchmarks() {
    bench::pair(
        "content_search", [] { benchmark::DoNotOptimize(ourSearch()); }, [] { benchmark::DoNotOptimize(baseline()); },
        checkSearchesAgree);
    // The library is built by the first figure's setup, or else by this one's warm-up call.
    bench::sampled("content_search_memory_mb", searchMemoryMb, [] { return kMemoryBudgetMb; });
}
