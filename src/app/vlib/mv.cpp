// vlib mv: records into another class.
#include <cstdio>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runMv(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {}, args)) return Usage;
    if (args.positional.size() < 3) return fail(Usage, "mv needs FILE, at least one record and a class");
    store::ctreebook book;
    int code = Ok;
    if (!openForEditing(book, args.positional[0], code)) return code;
    const int32_t target = resolveClass(book, args.positional.back());
    if (target == 0) return Failed;
    for (size_t i = 1; i + 1 < args.positional.size(); ++i) {
        const int32_t id = resolveRecord(book, args.positional[i]);
        if (id == 0) {
            code = Failed;
        } else if (id == 1 || id == target || book.isMyChild(target, id)) {
            code = fail(Failed, "cannot move " + args.positional[i] + " into itself");
        } else if (!book.changePid(id, target)) {
            code = fail(Failed, refusedChange(book, "cannot move " + args.positional[i]));
        }
    }
    return code;
}

const Command command("mv", "mv FILE RECORD... CLASS",
                      "Moves records (ids, or titles separated by \"/\") into CLASS. A class cannot\n"
                      "be moved into itself or below itself; the root stays where it is.",
                      runMv);

}  // namespace
}  // namespace vlib
