// vlib index: builds or updates the content index of a library in the cache folder.
#include <cstdio>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"
#include "app/vlib/progress.h"
#include "content_index/content_index.h"

namespace vlib {
namespace {

int run(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {}, args)) return Usage;
    if (args.positional.size() != 1) return fail(Usage, "index needs one FILE");
    const std::string& file = args.positional[0];
    {
        store::ctreebook book;
        if (!openLibrary(file, book)) return Failed;
    }
    ProgressBar bar("Indexing", 0);
    cindex::BuildOptions options;
    options.progress = [&bar](uint64_t done, uint64_t total) {
        bar.setTotal(total);
        bar.update(done);
    };
    const cindex::Ensured ensured = cindex::ensureIndex(file, "tree", "nr", options);
    bar.finish();
    switch (ensured.result) {
    case cindex::BuildResult::Built:
        std::fprintf(stderr, "%s: %zu documents, %llu index bytes%s\n",
                     cindex::indexFileFor(file, "nr").c_str(), ensured.index->documents().size(),
                     static_cast<unsigned long long>(ensured.index->fileSize()),
                     ensured.wasCurrent ? " (already current)" : "");
        return Ok;
    case cindex::BuildResult::Changed:
        return fail(Failed, file + " kept changing while it was indexed; try again");
    default:
        return fail(Failed, "the index of " + file + " could not be written in " + cindex::cacheFolder());
    }
}

const Command command(
    "index", "index FILE",
    "Builds the content index of FILE, or brings it up to date when the library changed since\n"
    "it was made, so that searches in contents (--text, --all) answer at once. The index lives\n"
    "in $XDG_CACHE_HOME/vyne-browser (~/.cache/vyne-browser); the library is not written.\n"
    "A damaged or foreign index file is ignored and made anew.",
    run);

}  // namespace
}  // namespace vlib
