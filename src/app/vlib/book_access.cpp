#include "app/vlib/book_access.h"

#include <charconv>

#include "app/vlib/command.h"

namespace vlib {

bool openLibrary(const std::string& file, store::ctreebook& book) {
    if (std::string problem = store::ctreebook::libraryProblem(file); !problem.empty()) {
        fail(Failed, file + " is not a book library: " + problem);
        return false;
    }
    book.setReadOnlyOpen(true);
    if (!book.openDB(file)) {
        fail(Failed, file + " could not be opened");
        return false;
    }
    return true;
}

bool parseId(const std::string& text, int32_t& id) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, id);
    if (ec != std::errc() || ptr != end || id < 1) {
        fail(Usage, "'" + text + "' is not a record id (a whole number from 1)");
        return false;
    }
    return true;
}

int openFileAndId(const std::vector<std::string>& raw, const std::string& usage, store::ctreebook& book,
                  int32_t& id) {
    Args args;
    if (!parseArgs(raw, {}, {}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, usage);
    if (!parseId(args.positional[1], id)) return Usage;
    return openLibrary(args.positional[0], book) ? Ok : Failed;
}

bool recordExists(store::ctreebook& book, int32_t id) { return book.getRecByID(id); }

}  // namespace vlib
