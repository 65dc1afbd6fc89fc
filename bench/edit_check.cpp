// Checking every document of a library of 2,000 text documents (104 MB) against inflating the
// same stored streams held in memory.
#include <zlib.h>

#include "edit_fixture.h"
#include "store/ctreebook.h"

namespace {

std::string library;
struct Stream {
    store::Bytes packed;
    int32_t size;
};
std::vector<Stream> streams;

void setUp() {
    library = bench::scratchDir() + "/check.mdb";
    store::ctreebook book;
    if (!book.createBookMDB(library) || !book.openDB(library) ||
        book.insertOrUpdateDirs(edit_bench::makeFolder(), 1) != edit_bench::kFiles)
        throw std::runtime_error("import failed");
    std::vector<int32_t> ids;
    book.getAllNRID(ids);
    for (int32_t id : ids)
        if (book.getRecByID2(id)) streams.push_back({book.currNR().nr, book.currNR().size});
}

void checkLibrary() {
    store::ctreebook book;
    book.setReadOnlyOpen(true);
    if (!book.openDB(library)) throw std::runtime_error("cannot open");
    std::vector<int32_t> ids;
    book.getAllNRSubID(1, ids);
    for (int32_t id : ids)
        if (!book.checkNR(id).empty()) throw std::runtime_error("check failed");
}

void inflateStreams() {
    std::vector<Bytef> out;
    for (const Stream& s : streams) {
        out.resize(static_cast<size_t>(s.size) + 1);
        uLongf size = out.size();
        if (uncompress(out.data(), &size, s.packed.data(), s.packed.size()) != Z_OK)
            throw std::runtime_error("inflate failed");
        benchmark::DoNotOptimize(out.data());
    }
}

}  // namespace

void registerBenchmarks() { bench::pair("check", checkLibrary, inflateStreams, setUp); }
