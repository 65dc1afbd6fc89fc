// vlib dup: a copy of a library, record by record.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runDup(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "dup needs FILE and NEWFILE");
    std::error_code ec;
    if (std::filesystem::exists(args.positional[1], ec)) return fail(Failed, args.positional[1] + ": exists already");
    store::ctreebook book;
    if (!openLibrary(args.positional[0], book)) return Failed;
    bool copied = false;
    {
        // Every main row, then every content row, is one step.
        long rows = 0;
        try {
            rows = book.myRS()->recordCount() + book.nrRS()->recordCount();
        } catch (const std::exception&) {
        }
        StoreProgress progress(book, "Copying", uint64_t(std::max(rows, 0L)), false);
        copied = book.dupicateDB(args.positional[1]);
    }
    if (!copied) return fail(Failed, "cannot write " + args.positional[1]);
    std::printf("%s copied to %s\n", args.positional[0].c_str(), args.positional[1].c_str());
    return Ok;
}

const Command command(
    "dup", "dup FILE NEWFILE",
    "Copies the library FILE into a new native library NEWFILE record by record, with the same\n"
    "ids, contents as stored, passwords and notes. Also makes a writable copy of a Jet library.",
    runDup);

}  // namespace
}  // namespace vlib
