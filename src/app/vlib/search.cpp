// vlib search: titles, classes or contents.
#include <cstdio>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"
#include "content_index/content_index.h"
#include "store/memory_controls.h"

namespace vlib {
namespace {

int run(const std::vector<std::string>& raw) {
    Args args;
    const std::vector<std::string> modes{"title", "class", "text", "all"};
    if (!parseArgs(raw, {"no-index"}, {"title", "class", "text", "all", "under"}, args)) return Usage;
    if (args.positional.size() != 1) return fail(Usage, "search needs one FILE");
    std::string mode;
    for (const std::string& m : modes)
        if (args.has(m)) {
            if (!mode.empty()) return fail(Usage, "give one of --title, --class, --text, --all");
            mode = m;
        }
    if (mode.empty()) return fail(Usage, "give one of --title, --class, --text, --all");
    const bool inContent = mode == "text" || mode == "all";
    if (args.has("under") && !inContent) return fail(Usage, "--under goes with --text or --all");
    int32_t under = 1;
    if (args.has("under") && !parseId(args.value("under"), under)) return Usage;
    const std::string key = args.value(mode);

    store::ctreebook book;
    if (!openLibrary(args.positional[0], book)) return Failed;
    store::MemoryList list;
    int32_t found = 0;
    if (inContent) {
        if (!recordExists(book, under) || !book.pathByid(under))
            return fail(Failed, "record " + std::to_string(under) + " is no class");
        // A current index narrows the documents read; the answer is the scan's either way.
        if (!args.has("no-index")) cindex::attach(book, cindex::openCurrentIndex(args.positional[0], "nr"));
        found = book.searchKeyToLVWNR(key, list, under, mode == "text" ? "txt" : "");
    } else {
        found = book.searchKeyToLVW(key, list, mode == "class");
    }
    for (const store::ListItem& item : list.items)
        std::printf("%s\t%s\t%s\n", item.tag.c_str(), item.text.c_str(), item.subItems[0].c_str());
    std::fprintf(stderr, "%d found\n", found);
    return Ok;
}

const Command command(
    "search",
    "search FILE --title KEY | --class KEY | --text KEY [--under ID] [--no-index] | --all KEY [--under ID] [--no-index]",
    "Finds documents by title (--title), classes by title (--class), or documents whose content\n"
    "holds KEY: text documents (--text) or documents of any format (--all), in class ID (the root\n"
    "by default) and below. Titles match as Jet's LIKE '*KEY*' does (* ? # [...] are wildcards,\n"
    "letters in any case); contents match KEY's code page 936 bytes exactly. A content search\n"
    "reads only the documents the library's current index (vlib index) proposes; --no-index\n"
    "reads every document. Prints\n"
    "id<TAB>title<TAB>parent class path, and the number found on standard error.",
    run);

}  // namespace
}  // namespace vlib
