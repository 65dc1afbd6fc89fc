// vlib rename: a new title for a record.
#include <cstdio>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runRename(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {}, args)) return Usage;
    if (args.positional.size() != 3) return fail(Usage, "rename needs FILE, a record and a title");
    const std::string title = clsFilePath::trim(args.positional[2]);
    if (title.empty()) return fail(Usage, "a title cannot be empty");
    store::ctreebook book;
    int code = Ok;
    if (!openForEditing(book, args.positional[0], code)) return code;
    const int32_t id = resolveRecord(book, args.positional[1]);
    if (id == 0) return Failed;
    if (!book.changeBT(id, title)) return fail(Failed, refusedChange(book, "cannot rename"));
    if (book.BTByID(id) != title)
        std::fprintf(stderr, "vlib: the title was cut to %d characters\n", book.titleLimit());
    std::printf("%d\t%s\n", id, book.BTByID(id).c_str());
    return Ok;
}

const Command command("rename", "rename FILE RECORD TITLE",
                      "Gives the record (an id, or titles separated by \"/\") a new title. A title\n"
                      "longer than the library allows is cut, and vlib says so.",
                      runRename);

}  // namespace
}  // namespace vlib
