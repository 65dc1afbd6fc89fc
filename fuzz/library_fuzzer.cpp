// libFuzzer harness over native library files (SQLite): the input is a library file, which is
// identified, opened for reading and walked as the browser walks it: the class tree, the lists
// of the root and of its first classes, title searches for classes and documents, and a content
// search. Reading never changes the file.
#include "fuzz_support.h"
#include "store/ctreebook.h"
#include "store/memory_controls.h"

#include <algorithm>

namespace {
// The lists of this many classes are filled; more only repeats the same reading.
constexpr size_t kClassesListed = 8;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = fuzz::writeScratch("library.mdb", data, size);
    // Jet files are read by their own harness (jet_read_fuzzer), without a child process.
    if (engine::detectFormat(file) != engine::Format::Sqlite) return 0;
    const std::string before = fuzz::readScratch(file);

    store::ctreebook::libraryProblem(file);
    store::ctreebook::isTreeBookDB(file);
    store::ctreebook book;
    book.setReadOnlyOpen(true);
    if (book.openDB(file)) {
        store::MemoryTree tree;
        book.zlxTVW(tree);
        book.book2TVWsub(tree, store::ctreebook::KeyById(1), true);
        store::MemoryList list;
        book.btToListView(list, 1, false);
        std::vector<int32_t> classes;
        book.getLXSubID(1, classes);
        for (size_t i = 0; i < std::min(classes.size(), kClassesListed); ++i) book.btToListView(list, classes[i], false);
        book.searchKeyToLVW("a", list, true);
        book.searchKeyToLVW("a", list, false);
        int32_t root = 1;
        book.searchKeyToLVWNR("a", list, root, "txt");
        book.closeDB();
    }
    FUZZ_REQUIRE(fuzz::readScratch(file) == before);
    return 0;
}
