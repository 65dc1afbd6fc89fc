// vlib import: a folder tree into a library.
#include <cstdio>
#include <filesystem>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runImport(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"verbose", "v"}, {"under"}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "import needs FILE and FOLDER");
    const std::string& file = args.positional[0];
    const std::string& folder = args.positional[1];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return fail(Failed, folder + ": not a folder");
    store::ctreebook book;
    int code = Ok;
    if (!openOrCreateLibrary(book, file, code)) return code;
    int32_t pid = 1;
    if (args.has("under")) {
        pid = book.insertPath(args.value("under"), 1);
        if (pid == 0) return fail(Failed, refusedChange(book, "cannot make the class " + args.value("under")));
    }
    showProgress(book, args.has("verbose") || args.has("v"));
    std::vector<store::ctreebook::ImportProblem> problems;
    const int32_t count = book.insertOrUpdateDirs(folder, pid, &problems);
    endProgress();
    for (const auto& p : problems) std::fprintf(stderr, "vlib: skipped %s: %s\n", p.path.c_str(), p.reason.c_str());
    if (count < 0) return fail(Failed, refusedChange(book, "nothing was imported"));
    std::printf("%d documents imported from %s", count, folder.c_str());
    if (!problems.empty()) std::printf(", %zu skipped", problems.size());
    std::printf("\n");
    return problems.empty() ? Ok : Failed;
}

const Command command(
    "import", "import FILE FOLDER [--under PATH] [-v]",
    "Imports the folder tree FOLDER into the library FILE (made when it does not exist): every\n"
    "folder becomes a class, every file a document titled after its name, with its extension\n"
    "as format. Text files in UTF-8 or UTF-16 are stored in code page 936. A document that is\n"
    "there already (same class, title and format) is rewritten, so importing again updates.\n"
    "Hidden files and folders (names starting with \".\") are left out.\n"
    "\n"
    "The whole import is one transaction: when it is interrupted the library stays as it was.\n"
    "Files that cannot be read (no permission, broken links, devices, links that lead back to a\n"
    "folder already imported) are listed and skipped; the exit status is then 1.\n"
    "\n"
    "  --under PATH   import below the class PATH (titles separated by \"/\"), made when missing\n"
    "  -v, --verbose  print one line per file",
    runImport);

}  // namespace
}  // namespace vlib
