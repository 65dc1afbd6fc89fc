// vlib add: single files (or folders) into a class.
#include <cstdio>
#include <filesystem>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runAdd(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"link"}, {"format"}, args)) return Usage;
    if (args.positional.size() < 3) return fail(Usage, "add needs FILE, a class and at least one file");
    store::ctreebook book;
    int code = Ok;
    if (!openForEditing(book, args.positional[0], code)) return code;
    const int32_t pid = resolveClass(book, args.positional[1]);
    if (pid == 0) return Failed;
    for (size_t i = 2; i < args.positional.size(); ++i) {
        const std::string& name = args.positional[i];
        std::error_code ec;
        int32_t id = 0;
        std::vector<store::ctreebook::ImportProblem> problems;
        if (std::filesystem::is_directory(name, ec) && !args.has("link"))
            id = book.loadFromFileLX(name, pid, &problems);
        else
            id = book.insertFile(pid, name, args.value("format"), args.has("link"));
        for (const auto& p : problems) std::fprintf(stderr, "vlib: skipped %s: %s\n", p.path.c_str(), p.reason.c_str());
        if (id == 0) {
            code = fail(Failed, std::filesystem::exists(name, ec) ? refusedChange(book, "cannot add " + name)
                                                                  : name + ": no such file");
            continue;
        }
        if (!problems.empty()) code = Failed;
        std::printf("%d\t%s\n", id, book.BTByID(id).c_str());
    }
    return code;
}

const Command command(
    "add", "add FILE CLASS FILE... [--format GS] [--link]",
    "Adds files as documents to CLASS (an id, or titles separated by \"/\"), each titled after\n"
    "its file name; prints the id and title of each. A folder is added as a class with\n"
    "everything in it.\n"
    "\n"
    "  --format GS  store with this format instead of the file's extension\n"
    "  --link       store a link to the file (format \"lnk\") instead of its content",
    runAdd);

}  // namespace
}  // namespace vlib
