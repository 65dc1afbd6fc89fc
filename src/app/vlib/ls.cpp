// vlib ls: the records of a class, one a line.
#include <cstdio>
#include <set>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"

namespace vlib {
namespace {

void printRecord(store::ctreebook& book, int32_t id, int depth) {
    const bool isClass = book.pathByid(id);
    const int32_t size = isClass ? book.sizePid(id, true) : book.sizeByidNR(id);
    std::printf("%d\t%s\t%s\t%d\t%s%s\n", id, isClass ? "class" : "doc", book.gsByid(id).c_str(), size,
                std::string(static_cast<size_t>(depth) * 2, ' ').c_str(), book.BTByID(id).c_str());
}

// The children of pid, and with recursive their subtrees, each record once.
void listChildren(store::ctreebook& book, int32_t pid, bool recursive, int depth, std::set<int32_t>& seen) {
    std::vector<int32_t> ids;
    book.getSubID(pid, ids);
    for (int32_t id : ids) {
        if (!seen.insert(id).second) continue;
        printRecord(book, id, depth);
        if (recursive && book.pathByid(id)) listChildren(book, id, true, depth + 1, seen);
    }
}

int run(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"R"}, {}, args)) return Usage;
    if (args.positional.empty() || args.positional.size() > 2) return fail(Usage, "ls needs FILE [ID]");
    int32_t id = 1;
    if (args.positional.size() == 2 && !parseId(args.positional[1], id)) return Usage;
    store::ctreebook book;
    if (!openLibrary(args.positional[0], book)) return Failed;
    if (!recordExists(book, id)) return fail(Failed, "there is no record " + std::to_string(id));
    if (!book.pathByid(id)) {
        printRecord(book, id, 0);
        return Ok;
    }
    std::set<int32_t> seen{id};
    listChildren(book, id, args.has("R"), 0, seen);
    return Ok;
}

const Command command("ls", "ls FILE [ID] [-R]",
                      "Lists the records of class ID (the root, 1, by default) in id order:\n"
                      "id<TAB>kind<TAB>format<TAB>size<TAB>title, kind being class or doc; the size of a\n"
                      "class is the content size of all documents below it. -R lists the whole subtree,\n"
                      "titles indented by two spaces a level.",
                      run);

}  // namespace
}  // namespace vlib
