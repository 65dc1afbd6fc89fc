// vlib explain: the word explanation as the tool tip shows it.
#include <cstdio>

#include "aids/explain_module.h"
#include "aids/explain_text.h"
#include "app/vlib/command.h"
#include "util/text.h"

namespace vlib {
namespace {

int run(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {"caret", "mode"}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "explain needs DICT and TEXT");
    const std::optional<int32_t> mode = util::readLong(args.value("mode", "2"));
    if (!mode) return fail(Usage, "--mode is 1 (spelling only), 2 (detail) or 0 (off)");
    std::optional<int32_t> caret;
    if (args.has("caret")) {
        caret = util::readLong(args.value("caret"));
        if (!caret || *caret < 0) return fail(Usage, "--caret is a character position from 0");
    }
    aids::ExplainModule module;
    if (!module.openDictionaryFile(args.positional[0]))
        return fail(Failed, args.positional[0] + " is no dictionary (tables hz, ci, 成语 and english, each with "
                                                  "the index primaryKey)");
    const std::string& text = args.positional[1];
    const std::string key = caret ? aids::wordAtCaret(text, size_t(*caret)) : text;
    if (*mode == aids::kExplainOff) return Ok;  // explanations off: no tip at all
    const std::string shown = aids::shownText(module.explain(key, *mode), *mode);
    if (!shown.empty()) std::printf("%s\n", shown.c_str());
    return Ok;
}

const Command command("explain", "explain DICT TEXT [--caret N] [--mode M]",
                      "Prints the word explanation the tool tip would show: for TEXT as a selection, or with\n"
                      "--caret N for the word at character N (from 0) of TEXT, as a click there would take it.\n"
                      "M is the explain mode: 1 a plain tip (a character shows its spelling only), 2 a balloon\n"
                      "(the default), 0 off. Nothing is printed when the tip would show nothing. Exit status 1 when\n"
                      "DICT is no dictionary.",
                      run);

}  // namespace
}  // namespace vlib
