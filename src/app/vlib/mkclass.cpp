// vlib mkclass: a class path.
#include <cstdio>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runMkclass(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {"under"}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "mkclass needs FILE and PATH");
    store::ctreebook book;
    int code = Ok;
    if (!openForEditing(book, args.positional[0], code)) return code;
    const int32_t under = args.has("under") ? resolveClass(book, args.value("under")) : 1;
    if (under == 0) return Failed;
    const int32_t id = book.insertPath(args.positional[1], under);
    if (id == 0) return fail(Failed, refusedChange(book, "cannot make " + args.positional[1]));
    std::printf("%d\t%s\n", id, book.BTByID(id).c_str());
    return Ok;
}

const Command command(
    "mkclass", "mkclass FILE PATH [--under CLASS]",
    "Makes the classes of PATH (titles separated by \"/\") where they are missing, below the\n"
    "root or below CLASS, and prints the id and title of the last one.",
    runMkclass);

}  // namespace
}  // namespace vlib
