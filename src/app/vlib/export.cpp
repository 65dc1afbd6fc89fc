// vlib export: documents to files, classes to folder trees.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runExport(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"force", "v", "verbose"}, {}, args)) return Usage;
    if (args.positional.size() != 3) return fail(Usage, "export needs FILE, a record and DIR");
    const std::string& dir = args.positional[2];
    store::ctreebook book;
    if (!openLibrary(args.positional[0], book)) return Failed;
    const int32_t id = resolveRecord(book, args.positional[1]);
    if (id == 0) return Failed;
    std::error_code ec;
    namespace fs = std::filesystem;
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) return fail(Failed, dir + ": not a folder");
    if (fs::is_directory(dir, ec) && !fs::is_empty(dir, ec) && !args.has("force"))
        return fail(Failed, dir + ": the folder is not empty (--force writes into it)");
    const bool isClass = book.pathByid(id);
    const int32_t expected = isClass ? book.countPid(id, true) : 1;
    int32_t written = 0;
    {
        StoreProgress progress(book, "Exporting", uint64_t(std::max(expected, 0)), args.has("v") || args.has("verbose"));
        written = book.saveToFileLX(id, dir);
    }
    std::printf("%d documents exported to %s\n", written, dir.c_str());
    if (written < expected) return fail(Failed, std::to_string(expected - written) + " documents could not be written");
    return Ok;
}

const Command command(
    "export", "export FILE RECORD DIR [--force] [-v]",
    "Writes a record (an id, or titles separated by \"/\") into the folder DIR, made when\n"
    "missing: a document as one file named title.format, a class as a folder tree holding its\n"
    "documents and classes (the root exports the whole library). Text documents are written\n"
    "as stored, in code page 936; links as shortcut files. Names that would clash get \" (2)\"...\n"
    "Class passwords are not asked: vlib is the library owner's tool.\n"
    "\n"
    "  --force        write into a folder that is not empty (files of the same name are replaced)\n"
    "  -v, --verbose  print one line per document",
    runExport);

}  // namespace
}  // namespace vlib
