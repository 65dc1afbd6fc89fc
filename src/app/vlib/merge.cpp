// vlib merge: every class and document of another library into this one.
#include <cstdio>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"
#include "app/vlib/progress.h"

namespace vlib {
namespace {

int runMerge(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {"under"}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "merge needs FILE and OTHER");
    store::ctreebook book, other;
    int code = Ok;
    if (!openForEditing(book, args.positional[0], code)) return code;
    if (!openLibrary(args.positional[1], other)) return Failed;
    if (book.myDBName() == other.myDBName()) return fail(Usage, "a library cannot be merged into itself");
    int32_t pid = 1;
    if (args.has("under") && (pid = book.insertPath(args.value("under"), 1)) == 0)
        return fail(Failed, refusedChange(book, "cannot make the class " + args.value("under")));
    int32_t count = -1;
    {
        ProgressBar bar("Merging", 0);
        other.events.copyProgress = [&bar](uint64_t done, uint64_t total) {
            bar.setTotal(total);
            bar.update(done);
        };
        count = other.mergeBookTo(book, pid);
        other.events.copyProgress = nullptr;
    }
    if (count < 0) return fail(Failed, refusedChange(book, "nothing was merged"));
    std::printf("%s\n", other.Msg().c_str());
    return Ok;
}

const Command command(
    "merge", "merge FILE OTHER [--under PATH]",
    "Copies every class and document of the library OTHER into FILE, below its root or below\n"
    "the class PATH (titles separated by \"/\", made when missing). Contents are copied as\n"
    "stored; class passwords come along. OTHER is not changed.",
    runMerge);

}  // namespace
}  // namespace vlib
