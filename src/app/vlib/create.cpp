// vlib create: a new, empty book library.
#include <cstdio>
#include <filesystem>

#include "app/vlib/command.h"
#include "store/ctreebook.h"

namespace vlib {
namespace {

int run(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"force"}, {}, args)) return Usage;
    if (args.positional.size() != 1) return fail(Usage, "create needs one FILE");
    const std::string& file = args.positional[0];
    std::error_code ec;
    if (std::filesystem::exists(file, ec) && !args.has("force"))
        return fail(Failed, file + " exists already (--force replaces it)");
    store::ctreebook book;
    book.seams.askYesNo = [](const std::string&) { return true; };
    if (!book.createBookMDB(file)) return fail(Failed, "could not create " + file);
    // Opening once adds the root class, titled with the file's title.
    if (!book.openDB(file)) return fail(Failed, "created " + file + " but could not open it");
    book.closeDB();
    std::printf("created %s\n", file.c_str());
    return Ok;
}

const Command command("create", "create FILE [--force]",
                      "Creates a new, empty book library (tables tree, nr and note) with its root class.\n"
                      "An existing FILE is replaced only with --force; a folder never is.",
                      run);

}  // namespace
}  // namespace vlib
