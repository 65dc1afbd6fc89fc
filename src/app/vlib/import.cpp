// vlib import: a folder tree into a library.
#include <cstdio>
#include <filesystem>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"
#include "app/vlib/interrupt.h"

namespace vlib {
namespace {

// The files an import of folder will read, for the progress bar: a count that stops at a
// bound (the bar then simply fills early), hidden names left out as the import leaves them out.
uint64_t countFiles(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    constexpr uint64_t kMostCounted = 10'000'000;
    uint64_t files = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end && files < kMostCounted; it.increment(ec)) {
        if (it->path().filename().string().starts_with(".")) {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        std::error_code typeError;
        if (!it->is_directory(typeError)) ++files;
    }
    return files;
}

int runImport(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"verbose", "v"}, {"under"}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "import needs FILE and FOLDER");
    const std::string& file = args.positional[0];
    const std::string& folder = args.positional[1];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return fail(Failed, folder + ": not a folder");
    const bool existed = std::filesystem::exists(file, ec);
    store::ctreebook book;
    int code = Ok;
    if (!openOrCreateLibrary(book, file, code)) return code;
    std::vector<store::ctreebook::ImportProblem> problems;
    int32_t count = -1;
    bool classMade = true;
    {
        InterruptGuard interruptible;
        StoreProgress progress(book, "Importing", countFiles(folder), args.has("verbose") || args.has("v"));
        // The class named by --under and the files are one transaction: kept or undone together.
        book.inTransaction([&] {
            int32_t pid = 1;
            if (args.has("under") && (pid = book.insertPath(args.value("under"), 1)) == 0) {
                classMade = false;
                return false;
            }
            count = book.insertOrUpdateDirs(folder, pid, &problems);
            return count >= 0;
        });
    }
    if (InterruptGuard::requested() && count < 0) {
        std::clearerr(stderr);  // a progress line cut short by the signal
        if (!existed) {
            book.closeDB();
            std::filesystem::remove(file, ec);
            return fail(Interrupted, "interrupted: nothing was imported, and the new library was not kept");
        }
        return fail(Interrupted, "interrupted: nothing was imported, the library is as it was");
    }
    if (!classMade) return fail(Failed, refusedChange(book, "cannot make the class " + args.value("under")));
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
    "The whole import is one transaction: when it is interrupted (Ctrl-C) the library stays as\n"
    "it was, and the exit status is 130. A progress bar is drawn on stderr when it is a terminal.\n"
    "Files that cannot be read (no permission, broken links, devices, links that lead back to a\n"
    "folder already imported) are listed and skipped; the exit status is then 1.\n"
    "\n"
    "  --under PATH   import below the class PATH (titles separated by \"/\"), made when missing\n"
    "  -v, --verbose  print one line per file",
    runImport);

}  // namespace
}  // namespace vlib
