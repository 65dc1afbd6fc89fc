// vlib rm: deleting records.
#include <cstdio>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runRm(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"r", "recursive"}, {}, args)) return Usage;
    if (args.positional.size() < 2) return fail(Usage, "rm needs FILE and at least one record");
    const bool recursive = args.has("r") || args.has("recursive");
    store::ctreebook book;
    int code = Ok;
    if (!openForEditing(book, args.positional[0], code)) return code;
    for (size_t i = 1; i < args.positional.size(); ++i) {
        const std::string& name = args.positional[i];
        const int32_t id = resolveRecord(book, name);
        if (id == 0) {
            code = Failed;
            continue;
        }
        if (id == 1) {
            code = fail(Failed, "the root of the library cannot be deleted");
            continue;
        }
        const bool isClass = book.pathByid(id);
        std::vector<int32_t> children;
        if (isClass && !recursive && book.getSubID(id, children) > 0) {
            code = fail(Failed, name + " is a class that is not empty (-r deletes it with everything below it)");
            continue;
        }
        if (!(isClass ? book.deletePath(id) : book.deleteRec(id)))
            code = fail(Failed, refusedChange(book, "cannot delete " + name));
    }
    return code;
}

const Command command("rm", "rm FILE RECORD... [-r]",
                      "Deletes documents, and classes that are empty (ids, or titles separated by\n"
                      "\"/\"). The root cannot be deleted.\n"
                      "\n"
                      "  -r, --recursive  delete classes with everything below them",
                      runRm);

}  // namespace
}  // namespace vlib
